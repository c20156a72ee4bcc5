#include "TestDatabase.h"
#include "Alias.h"
#include "Database.h"
#include "SchemaBuilder.h"

#include <QDir>
#include <QStringList>
#include <sqlite3.h>

namespace orvelan {

TestDatabase::TestDatabase(bool createTables)
{
    Database::closeAll();
    qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/data")).toUtf8());
    QDir().mkpath(m_dir.path() + QStringLiteral("/data/Orvelan"));
    if (createTables) {
        m_db = Database::openFile(Alias::defaultDatabaseFile(), true);
        createAllTables(*m_db);
    }
}

TestDatabase::~TestDatabase()
{
    m_db.reset();
    Database::closeAll();
}

QString TestDatabase::path() const { return Alias::defaultDatabaseFile(); }

Database &TestDatabase::db()
{
    if (!m_db)
        m_db = Database::openFile(path(), true);
    return *m_db;
}

void TestDatabase::exec(const QString &sql) { db().exec(sql); }

QString TestDatabase::scalar(const QString &sql)
{
    Statement st(db().handle(), sql);
    return st.step() ? st.column(0).toString() : QString();
}

QString TestDatabase::rows(const QString &sql)
{
    Statement st(db().handle(), sql);
    QStringList lines;
    while (st.step()) {
        QStringList cols;
        for (int i = 0; i < st.columnCount(); ++i)
            cols << st.column(i).toString();
        lines << cols.join(QLatin1Char('|'));
    }
    return lines.join(QLatin1Char('\n'));
}



QString TestDatabase::onDisk(const QString &sql)
{
    sqlite3 *h = nullptr;
    if (sqlite3_open_v2(path().toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(h);
        return QStringLiteral("<cannot open>");
    }
    sqlite3_stmt *st = nullptr;
    QStringList lines;
    if (sqlite3_prepare_v2(h, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW) {
            QStringList cols;
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(st, i));
                cols << (t ? QString::fromUtf8(t) : QString());
            }
            lines << cols.join(QLatin1Char('|'));
        }
    } else {
        lines << QStringLiteral("<error: %1>").arg(QString::fromUtf8(sqlite3_errmsg(h)));
    }
    sqlite3_finalize(st);
    sqlite3_close(h);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace orvelan
