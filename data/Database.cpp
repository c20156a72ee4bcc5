#include "Database.h"
#include "Alias.h"
#include "EngineError.h"
#include "FieldValue.h"
#include "Schema.h"
#include "SqlLike.h"

#include <QFileInfo>
#include <QMap>
#include <sqlite3.h>

namespace orvelan {

namespace {
QMap<QString, std::weak_ptr<Database>> &openDatabases()
{
    static QMap<QString, std::weak_ptr<Database>> map;
    return map;
}
}  // namespace

QString sqliteMessage(sqlite3 *db, int rc)
{
    const QString detail = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("База данных занята другим процессом (%1)").arg(detail);
    case SQLITE_CONSTRAINT:
        return QStringLiteral("Нарушение ключа (%1)").arg(detail);
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return QStringLiteral("Файл базы данных повреждён или не является базой данных (%1)").arg(detail);
    case SQLITE_READONLY:
        return QStringLiteral("База данных открыта только для чтения (%1)").arg(detail);
    case SQLITE_FULL:
        return QStringLiteral("Нет места на диске (%1)").arg(detail);
    default:
        return QStringLiteral("Ошибка базы данных: %1").arg(detail);
    }
}

Statement::Statement(sqlite3 *db, const QString &sql) : m_db(db)
{
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_stmt, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = sqliteMessage(db, rc);
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw EngineError(msg);
    }
    if (!m_stmt)
        throw EngineError(QStringLiteral("Пустой текст SQL"));
}

Statement::~Statement() { sqlite3_finalize(m_stmt); }

int Statement::parameterCount() const { return sqlite3_bind_parameter_count(m_stmt); }

void Statement::bind(int index, const QVariant &value)
{
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
            break;
        case QMetaType::QDate:
            // isoDate also writes years before 1, which Qt's ISO format leaves empty.
            rc = sqlite3_bind_text(m_stmt, index, isoDate(value.toDate()).toUtf8().constData(), -1, SQLITE_TRANSIENT);
            break;
        default: {
            const QByteArray t = value.toString().toUtf8();
            rc = sqlite3_bind_text(m_stmt, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK)
        throw EngineError(sqliteMessage(m_db, rc));
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const QString msg = sqliteMessage(m_db, rc);
    sqlite3_reset(m_stmt);
    throw EngineError(msg);
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int Statement::columnCount() const { return sqlite3_column_count(m_stmt); }

QString Statement::columnName(int i) const { return QString::fromUtf8(sqlite3_column_name(m_stmt, i)); }

QVariant Statement::column(int i) const
{
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_INTEGER: return QVariant(qlonglong(sqlite3_column_int64(m_stmt, i)));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(m_stmt, i));
    case SQLITE_NULL: return QVariant();
    default: {
        const char *p = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i));
        return QVariant(QString::fromUtf8(p, sqlite3_column_bytes(m_stmt, i)));
    }
    }
}

bool Statement::isReadOnly() const { return sqlite3_stmt_readonly(m_stmt) != 0; }

Database::Database(const QString &path, bool create) : m_path(path)
{
    if (!create && !QFileInfo::exists(path))
        throw EngineError(QStringLiteral("Нет файла базы данных: %1").arg(path));
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString msg = sqliteMessage(m_db, rc);
        sqlite3_close(m_db);
        m_db = nullptr;
        throw EngineError(QStringLiteral("Не удалось открыть базу данных %1: %2").arg(path, msg));
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, 2000);
    try {
        // Reading the schema first makes a file that is no database fail here, not later.
        exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
        // WAL with full sync: a posted row is on disk when post returns.
        exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        exec(QStringLiteral("PRAGMA synchronous=FULL"));
    } catch (const EngineError &e) {
        sqlite3_close(m_db);
        m_db = nullptr;
        throw EngineError(QStringLiteral("Не удалось открыть базу данных %1: %2").arg(path, e.message()));
    }
    installCaseFoldingLike(m_db);
}

Database::~Database() { sqlite3_close_v2(m_db); }

std::shared_ptr<Database> Database::open(const QString &alias) { return openFile(Alias::resolve(alias)); }

std::shared_ptr<Database> Database::openFile(const QString &path, bool create)
{
    const QString key = QFileInfo(path).absoluteFilePath();
    if (auto existing = openDatabases().value(key).lock())
        return existing;
    std::shared_ptr<Database> db(new Database(key, create));
    openDatabases().insert(key, db);
    return db;
}

void Database::closeAll()
{
    openDatabases().clear();
}

void Database::exec(const QString &sql)
{
    Statement st(m_db, sql);
    while (st.step()) {
    }
}

qint64 Database::lastInsertId() const { return sqlite3_last_insert_rowid(m_db); }

int Database::changes() const { return sqlite3_changes(m_db); }

bool Database::hasTable(const QString &sqlName)
{
    Statement st(m_db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE"));
    st.bind(1, sqlName);
    return st.step();
}

bool Database::hasIndex(const QString &sqlName)
{
    Statement st(m_db, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='index' AND name=?1 COLLATE NOCASE"));
    st.bind(1, sqlName);
    return st.step();
}

QStringList Database::tableNames()
{
    Statement st(m_db, QStringLiteral(
                           "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%' ORDER BY name"));
    QStringList out;
    while (st.step())
        out << st.column(0).toString();
    return out;
}

std::vector<FieldDef> Database::storedFields(const QString &sqlName)
{
    Statement st(m_db, QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?1)"));
    st.bind(1, sqlName);
    std::vector<FieldDef> out;
    while (st.step()) {
        const QString type = st.column(1).toString().toUpper();
        FieldDef f{st.column(0).toString(), FieldKind::Text, 0};
        if (type.startsWith(QLatin1String("INTEGER")))
            f.kind = st.column(2).toInt() ? FieldKind::AutoInc : FieldKind::Integer;
        else if (type.startsWith(QLatin1String("TEXT")) || type.startsWith(QLatin1String("VARCHAR"))) {
            f.kind = FieldKind::Text;
            const int open = type.indexOf(QLatin1Char('('));
            f.width = open < 0 ? 0 : type.mid(open + 1, type.indexOf(QLatin1Char(')')) - open - 1).toInt();
        } else if (type.startsWith(QLatin1String("DATE")))
            f.kind = FieldKind::Date;
        else if (type.startsWith(QLatin1String("REAL")) || type.startsWith(QLatin1String("FLOAT")) ||
                 type.startsWith(QLatin1String("DOUBLE")) || type.startsWith(QLatin1String("NUMERIC")))
            f.kind = FieldKind::Number;
        else if (type.startsWith(QLatin1String("CLOB")) || type.startsWith(QLatin1String("MEMO")))
            f.kind = FieldKind::Memo;
        out.push_back(f);
    }
    return out;
}

QStringList Database::indexFields(const QString &sqlIndexName)
{
    Statement st(m_db, QStringLiteral("SELECT name FROM pragma_index_info(?1) ORDER BY seqno"));
    st.bind(1, sqlIndexName);
    QStringList out;
    while (st.step())
        out << st.column(0).toString();
    return out;
}

}  // namespace orvelan
