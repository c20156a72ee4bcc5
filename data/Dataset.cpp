#include "Dataset.h"
#include "Database.h"
#include "EngineError.h"
#include "FieldValue.h"
#include "SqlTranslator.h"

#include <algorithm>

namespace orvelan {

namespace {

bool sameValue(const QVariant &a, const QVariant &b)
{
    const bool an = !a.isValid() || a.isNull();
    const bool bn = !b.isValid() || b.isNull();
    if (an || bn)
        return an == bn;
    return a == b;
}

// Distinct named parameters of a local SQL text in order of first appearance, as SQLite
// numbers them; quoted text is skipped.
QStringList namedParameters(const QString &sql)
{
    QStringList names;
    QChar quote;
    for (int i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char(':') && i + 1 < sql.size() &&
                   (sql[i + 1].isLetterOrNumber() || sql[i + 1] == QLatin1Char('_'))) {
            int j = i + 1;
            while (j < sql.size() && (sql[j].isLetterOrNumber() || sql[j] == QLatin1Char('_')))
                ++j;
            const QString name = sql.mid(i + 1, j - i - 1).toUpper();
            if (!names.contains(name))
                names << name;
            i = j - 1;
        }
    }
    return names;
}

QString col(const QString &name) { return QStringLiteral("t.") + quoteIdent(name); }

}  // namespace

Dataset::Dataset(QObject *parent) : QObject(parent) {}

Dataset::~Dataset()
{
    if (m_master)
        std::erase(m_master->m_details, this);
    for (Dataset *d : m_details)
        d->m_master = nullptr;
}

void Dataset::setTableName(const QString &fileName)
{
    m_tableFile = fileName;
    m_localSql.clear();
}

void Dataset::setSql(const QString &localSql)
{
    m_localSql = localSql;
    m_tableFile.clear();
    m_params.assign(size_t(namedParameters(localSql).size()), QVariant());
}

void Dataset::addField(const FieldDef &field) { m_declared.push_back(field); }

void Dataset::addLookup(const LookupDef &lookup) { m_lookups.push_back(lookup); }

void Dataset::setMasterSource(Dataset *master)
{
    if (m_master)
        std::erase(m_master->m_details, this);
    m_master = master;
    if (master)
        master->m_details.push_back(this);
}

int Dataset::paramCount() const { return int(m_params.size()); }

void Dataset::setParam(int index, const QVariant &value)
{
    if (index < 0 || index >= paramCount())
        throw EngineError(QStringLiteral("Нет параметра с номером %1 (параметров: %2)").arg(index).arg(paramCount()));
    m_params[size_t(index)] = value;
}

bool Dataset::canModify() const { return isActive() && !m_isMaterialized; }

void Dataset::requireActive() const
{
    if (!isActive())
        throw EngineError(QStringLiteral("Набор данных «%1» закрыт").arg(m_tableFile.isEmpty() ? objectName() : m_tableFile));
}

void Dataset::requireWritable(const char *what) const
{
    requireActive();
    if (m_isMaterialized)
        throw EngineError(QStringLiteral("Результат запроса только для чтения: %1 невозможно").arg(QString::fromUtf8(what)));
}

// --- opening ---------------------------------------------------------------------------------

void Dataset::open()
{
    if (isActive())
        return;
    if (m_tableFile.isEmpty() && m_localSql.isEmpty())
        throw EngineError(QStringLiteral("Не задана таблица или текст запроса"));
    m_db = Database::open(m_alias);
    m_tableSql.clear();
    m_baseWhere.clear();
    m_isMaterialized = false;
    m_columns.clear();
    try {
        if (!m_localSql.isEmpty()) {
            Database &db = *m_db;
            const TranslatedSql tr = translateSql(m_localSql, [&db](const QString &table) {
                QStringList names;
                for (const FieldDef &f : db.storedFields(table))
                    names << f.name;
                return names;
            });
            if (m_live && tr.singleTableSelect) {
                m_tableSql = tr.tables.front();
                m_tableFile = m_tableSql + QStringLiteral(".db");
                m_baseWhere = tr.whereClause;
            } else {
                // A read-only result is held whole: it is what a grouped or joined query returns.
                Statement st(m_db->handle(), tr.sql);
                for (int i = 0; i < paramCount() && i < st.parameterCount(); ++i)
                    st.bind(i + 1, m_params[size_t(i)]);
                std::vector<bool> declared;
                for (int i = 0; i < st.columnCount(); ++i) {
                    Column c;
                    c.name = st.columnName(i);
                    c.def = {c.name, FieldKind::Memo, 0};
                    declared.push_back(false);
                    for (const FieldDef &d : m_declared)
                        if (d.name.compare(c.name, Qt::CaseInsensitive) == 0) {
                            c.def = d;
                            declared.back() = true;
                        }
                    m_columns.push_back(c);
                }
                for (const FieldDef &d : m_declared)
                    if (fieldIndex(d.name) < 0)
                        throw EngineError(QStringLiteral("Поле «%1» не найдено в результате запроса").arg(d.name));
                m_materialized.clear();
                qint64 n = 0;
                while (st.step()) {
                    Row r;
                    r.key = ++n;
                    // Undeclared result columns keep the type SQLite gives them (counts stay integers).
                    for (size_t i = 0; i < m_columns.size(); ++i)
                        r.values.push_back(declared[i] ? fromStorage(m_columns[i].def, st.column(int(i))) : st.column(int(i)));
                    m_materialized.push_back(std::move(r));
                }
                m_isMaterialized = true;
            }
        } else {
            m_tableSql = sqlTableName(m_tableFile);
        }
        if (!m_isMaterialized) {
            if (!m_db->hasTable(m_tableSql))
                throw EngineError(QStringLiteral("Таблица «%1» не найдена в базе данных «%2»").arg(m_tableFile, m_alias));
            m_linkField.clear();
            m_indexFields.clear();
            if (!m_indexName.isEmpty()) {
                const QString ix = sqlIndexName(m_tableFile, m_indexName);
                if (!m_db->hasIndex(ix))
                    throw EngineError(QStringLiteral("Индекс «%1» таблицы «%2» не найден").arg(m_indexName, m_tableFile));
                m_indexFields = m_db->indexFields(ix);
                m_linkField = m_indexFields.value(0);
            }
            bindFields();
            if (m_master) {
                if (m_linkField.isEmpty())
                    throw EngineError(QStringLiteral("Таблица «%1» связана с главной без индекса связи").arg(m_tableFile));
                if (m_master->isActive() && m_master->fieldIndex(m_masterField) < 0)
                    throw EngineError(QStringLiteral("Поле связи «%1» не найдено в главной таблице").arg(m_masterField));
            }
        }
    } catch (...) {
        m_columns.clear();
        m_db.reset();
        throw;
    }
    m_link = linkValue();
    m_state = State::Browse;
    resetRows();
    m_rec = recordCount() > 0 ? 0 : -1;
    loadCurrent();
    emit stateChanged();
    emit rowsReset();
    emit currentChanged();
    for (Dataset *d : m_details)
        d->followMaster();
}

void Dataset::bindFields()
{
    const std::vector<FieldDef> stored = m_db->storedFields(m_tableSql);
    auto findStored = [&](const QString &name) -> const FieldDef * {
        for (const FieldDef &f : stored)
            if (f.name.compare(name, Qt::CaseInsensitive) == 0)
                return &f;
        return nullptr;
    };
    const std::vector<FieldDef> &wanted = m_declared.empty() ? stored : m_declared;
    for (const FieldDef &f : wanted) {
        const FieldDef *s = findStored(f.name);
        if (!s)
            throw EngineError(QStringLiteral("Поле «%1» не найдено в таблице «%2»").arg(f.name, m_tableFile));
        if (s->kind != f.kind)
            throw EngineError(QStringLiteral("Поле «%1» таблицы «%2» имеет тип «%3», а ожидался «%4»")
                                  .arg(f.name, m_tableFile, fieldKindName(s->kind), fieldKindName(f.kind)));
        m_columns.push_back({s->name, {s->name, f.kind, f.width}, -1, -1});
    }
    // The link field is always bound: a new row must receive the master's key.
    if (!m_linkField.isEmpty() && fieldIndex(m_linkField) < 0)
        if (const FieldDef *s = findStored(m_linkField))
            m_columns.push_back({s->name, *s, -1, -1});
    m_dictionaryFiles.assign(m_lookups.size(), QString());
    for (size_t i = 0; i < m_lookups.size(); ++i) {
        const LookupDef &l = m_lookups[i];
        const int key = fieldIndex(l.keyField);
        if (key < 0)
            throw EngineError(QStringLiteral("Ключевое поле «%1» подстановки «%2» не найдено").arg(l.keyField, l.name));
        if (!l.lookupDataset || l.lookupDataset->tableName().isEmpty())
            throw EngineError(QStringLiteral("Для подстановки «%1» не задан справочник").arg(l.name));
        m_dictionaryFiles[i] = l.lookupDataset->tableName();
        const QString dict = sqlTableName(dictionaryOf(l));
        if (!m_db->hasTable(dict))
            throw EngineError(QStringLiteral("Справочник «%1» не найден").arg(dictionaryOf(l)));
        QStringList dictFields;
        for (const FieldDef &f : m_db->storedFields(dict))
            dictFields << f.name.toUpper();
        for (const QString &f : {l.lookupKeyField, l.resultField})
            if (!dictFields.contains(f.toUpper()))
                throw EngineError(QStringLiteral("Поле «%1» не найдено в справочнике «%2»").arg(f, dictionaryOf(l)));
        m_columns.push_back({l.name, {l.name, FieldKind::Text, l.width}, int(i), key});
    }
}

void Dataset::close()
{
    if (!isActive())
        return;
    checkBrowseMode();
    m_state = State::Inactive;
    m_pages.clear();
    m_materialized.clear();
    m_count = -1;
    m_rec = -1;
    m_key = 0;
    m_buffer.assign(m_columns.size(), QVariant());
    emit stateChanged();
    emit rowsReset();
    emit currentChanged();
}

// --- reading rows ----------------------------------------------------------------------------

QString Dataset::lookupExpression(const LookupDef &l, const QString &keyExpr) const
{
    return QStringLiteral("(SELECT substr(d.%1, 1, %2) FROM %3 AS d WHERE d.%4 = %5 LIMIT 1)")
        .arg(quoteIdent(l.resultField))
        .arg(l.width)
        .arg(quoteIdent(sqlTableName(dictionaryOf(l))), quoteIdent(l.lookupKeyField), keyExpr);
}

// A stored field is its column; a lookup is a subquery on its dictionary.
QString Dataset::columnExpression(const Column &c) const
{
    return c.lookup >= 0 ? lookupExpression(m_lookups[size_t(c.lookup)], col(m_columns[size_t(c.keyColumn)].name)) : col(c.name);
}

QString Dataset::selectList() const
{
    QStringList parts{QStringLiteral("t.rowid")};
    for (const Column &c : m_columns)
        parts << columnExpression(c);
    return parts.join(QLatin1String(", "));
}

QVariant Dataset::linkValue() const
{
    if (!m_master || !m_master->isActive() || m_master->m_rec < 0 || m_master->m_state == State::Insert)
        return {};
    return m_master->value(m_masterField);
}

// The visible rows: a live query's own condition first (its named parameters take the first
// numbers), then the master link and the value filters with numbers of their own.
QString Dataset::whereSql(std::vector<QVariant> &binds) const
{
    QStringList conds;
    if (!m_baseWhere.isEmpty())
        conds << QLatin1Char('(') + m_baseWhere + QLatin1Char(')');
    auto param = [&](const QVariant &v) {
        binds.push_back(v);
        return QStringLiteral("?%1").arg(paramCount() + int(binds.size()));
    };
    if (m_master) {
        if (m_link.isNull())
            conds << col(m_linkField) + QStringLiteral(" IS NULL");
        else
            conds << col(m_linkField) + QStringLiteral(" = ") + param(m_link);
    }
    for (const auto &[field, values] : m_filters) {
        const int c = fieldIndex(field);
        if (c < 0)
            continue;
        const Column &column = m_columns[size_t(c)];
        const QString expr = columnExpression(column);
        QStringList alts;
        QStringList in;
        for (const QVariant &v : values) {
            if (v.isNull())
                alts << expr + QStringLiteral(" IS NULL");
            else
                in << param(toStorage(column.def, v));
        }
        if (!in.isEmpty())
            alts << expr + QStringLiteral(" IN (") + in.join(QLatin1String(", ")) + QLatin1Char(')');
        conds << QLatin1Char('(') + alts.join(QLatin1String(" OR ")) + QLatin1Char(')');
    }
    return conds.isEmpty() ? QString() : QStringLiteral(" WHERE ") + conds.join(QLatin1String(" AND "));
}

QString Dataset::orderSql(bool reversed) const
{
    const char *asc = reversed ? " DESC" : " ASC";
    QString key = QStringLiteral("t.rowid") + QLatin1String(asc);
    const int c = m_sortField.isEmpty() ? -1 : fieldIndex(m_sortField);
    if (c < 0 && !inKeyOrder()) {  // the named index's order, then the key
        QStringList parts;
        const TableDef *def = findTable(m_tableFile);
        for (const QString &f : m_indexFields) {
            const IndexDef *ix = nullptr;
            if (def)
                for (const IndexDef &i : def->indexes)
                    if (i.name.compare(m_indexName, Qt::CaseInsensitive) == 0)
                        ix = &i;
            const FieldDef *fd = def ? def->field(f) : nullptr;
            const bool fold = ix && ix->caseInsensitive && fd && fd->kind == FieldKind::Text;
            parts << col(f) + (fold ? QStringLiteral(" COLLATE NOCASE") : QString()) + QLatin1String(asc);
        }
        return QStringLiteral(" ORDER BY ") + parts.join(QLatin1String(", ")) + QStringLiteral(", ") + key;
    }
    if (c < 0)
        return QStringLiteral(" ORDER BY ") + key;
    const Column &column = m_columns[size_t(c)];
    const QString expr = columnExpression(column);
    const bool up = m_sortAscending != reversed;
    return QStringLiteral(" ORDER BY ") + expr + (up ? QStringLiteral(" ASC, ") : QStringLiteral(" DESC, ")) + key;
}

// Rows come in key order unless a sort field is set or the named index orders them otherwise;
// under a master link the index's leading field is fixed, so a one-field index keeps key order.
bool Dataset::inKeyOrder() const
{
    if (!m_sortField.isEmpty())
        return false;
    return m_indexFields.isEmpty() || (m_master && m_indexFields.size() == 1);
}

int Dataset::recordCount()
{
    if (!isActive())
        return 0;
    if (m_isMaterialized)
        return int(m_materialized.size());
    if (m_count < 0) {
        std::vector<QVariant> binds;
        const QString where = whereSql(binds);
        const QString table = quoteIdent(m_tableSql);
        if (where.isEmpty() || !inKeyOrder()) {
            Statement st(m_db->handle(), QStringLiteral("SELECT count(*) FROM %1 AS t").arg(table) + where);
            bindAll(st, binds);
            st.step();
            m_count = st.column(0).toInt();
        } else {
            // One pass over the keys both counts the rows and finds where the first page ends,
            // so a search with a condition no index serves scans its table once, not twice.
            Statement st(m_db->handle(), QStringLiteral("SELECT t.rowid FROM %1 AS t").arg(table) + where +
                                             QStringLiteral(" ORDER BY t.rowid"));
            bindAll(st, binds);
            int n = 0;
            std::vector<qint64> firstPage;
            while (st.step()) {
                if (n < kPageSize)
                    firstPage.push_back(st.column(0).toLongLong());
                ++n;
            }
            m_count = n;
            if (n > 0)
                fetchPage(0, kPageSize, false, firstPage);
        }
    }
    return m_count;
}

void Dataset::bindAll(Statement &st, const std::vector<QVariant> &binds) const
{
    const int wanted = st.parameterCount();  // a statement by key has none
    for (int i = 0; i < paramCount() && i < wanted; ++i)
        st.bind(i + 1, m_params[size_t(i)]);
    for (size_t i = 0; i < binds.size(); ++i)
        st.bind(paramCount() + int(i) + 1, binds[i]);
}

void Dataset::resetRows()
{
    m_pages.clear();
    m_count = -1;
}

void Dataset::fetchPage(int page, int limit, bool fromEnd, const std::vector<qint64> &keys)
{
    const int begin = page * kPageSize;
    std::vector<QVariant> binds;
    QString where = whereSql(binds);
    int offset = fromEnd ? m_count - begin - limit : begin;
    if (!keys.empty()) {  // the page's keys are known: read just those rows
        QStringList list;
        for (qint64 k : keys)
            list << QString::number(k);  // our own integers, never user text
        where = QStringLiteral(" WHERE t.rowid IN (%1)").arg(list.join(QLatin1Char(',')));
        binds.clear();
        offset = 0;
    }
    Statement st(m_db->handle(), QStringLiteral("SELECT %1 FROM %2 AS t").arg(selectList(), quoteIdent(m_tableSql)) + where +
                                     orderSql(fromEnd) + QStringLiteral(" LIMIT %1 OFFSET %2").arg(limit).arg(offset));
    bindAll(st, binds);
    std::vector<Row> rows;
    rows.reserve(size_t(limit));
    while (st.step()) {
        Row r;
        r.key = st.column(0).toLongLong();
        r.values.reserve(m_columns.size());
        for (size_t i = 0; i < m_columns.size(); ++i)
            r.values.push_back(fromStorage(m_columns[i].def, st.column(int(i) + 1)));
        rows.push_back(std::move(r));
    }
    if (fromEnd)
        std::reverse(rows.begin(), rows.end());
    m_pages[page] = std::move(rows);
    // Too many pages: drop the one farthest from both the cursor and the page just read, so
    // a view scrolled far from the cursor keeps what it shows and what the cursor needs.
    const int here = std::max(m_rec, 0) / kPageSize;
    while (int(m_pages.size()) > kMaxPages) {
        auto distance = [&](int p) { return std::min(std::abs(p - here), std::abs(p - page)); };
        auto far = std::max_element(m_pages.begin(), m_pages.end(),
                                    [&](const auto &a, const auto &b) { return distance(a.first) < distance(b.first); });
        if (distance(far->first) == 0)
            break;
        m_pages.erase(far);
    }
}

const Dataset::Row *Dataset::rowAtIndex(int row)
{
    if (row < 0 || row >= recordCount())
        return nullptr;
    if (m_isMaterialized)
        return &m_materialized[size_t(row)];
    const int page = row / kPageSize;
    auto it = m_pages.find(page);
    if (it == m_pages.end()) {
        // Pages past the middle are read backwards from the end, so the last rows of a long
        // table cost no more than the first.
        const int begin = page * kPageSize;
        const int limit = std::min(begin + kPageSize, m_count) - begin;
        fetchPage(page, limit, begin > m_count / 2);
        it = m_pages.find(page);
    }
    const size_t inPage = size_t(row - page * kPageSize);
    return inPage < it->second.size() ? &it->second[inPage] : nullptr;
}

int Dataset::cachedRowCount() const
{
    if (m_isMaterialized)
        return int(m_materialized.size());
    int n = 0;
    for (const auto &[page, rows] : m_pages)
        n += int(rows.size());
    return n;
}

void Dataset::loadCurrent()
{
    const int count = recordCount();
    if (m_rec >= count)
        m_rec = count - 1;
    if (m_rec < 0 && count > 0)
        m_rec = 0;
    const Row *r = m_rec >= 0 ? rowAtIndex(m_rec) : nullptr;
    if (r) {
        m_key = r->key;
        m_buffer = r->values;
    } else {
        m_rec = -1;
        m_key = 0;
        m_buffer.assign(m_columns.size(), QVariant());
    }
    m_changed.assign(m_columns.size(), false);
    m_modified = false;
}

int Dataset::positionOfKey(qint64 key)
{
    std::vector<QVariant> binds;
    const QString where = whereSql(binds);
    QString sql;
    const QString table = quoteIdent(m_tableSql);
    if (inKeyOrder()) {
        // Key order: the position is the number of visible rows with a smaller key.
        sql = QStringLiteral("SELECT CASE WHEN EXISTS (SELECT 1 FROM %1 AS t%2%3 t.rowid = ?%4) "
                             "THEN (SELECT count(*) FROM %1 AS t%2%3 t.rowid < ?%4) ELSE -1 END")
                  .arg(table, where, where.isEmpty() ? QStringLiteral(" WHERE") : QStringLiteral(" AND"))
                  .arg(paramCount() + int(binds.size()) + 1);
    } else {
        sql = QStringLiteral("SELECT n FROM (SELECT t.rowid AS k, row_number() OVER (%1) - 1 AS n FROM %2 AS t%3) WHERE k = ?%4")
                  .arg(orderSql().trimmed(), table, where)
                  .arg(paramCount() + int(binds.size()) + 1);
    }
    Statement st(m_db->handle(), sql);
    bindAll(st, binds);
    st.bind(paramCount() + int(binds.size()) + 1, key);
    return st.step() ? st.column(0).toInt() : -1;
}

// --- moving ----------------------------------------------------------------------------------

void Dataset::mastersDetailsCheck()
{
    for (Dataset *d : m_details)
        if (d->isActive()) {
            d->mastersDetailsCheck();
            d->checkBrowseMode();
        }
}

void Dataset::afterMove()
{
    emit currentChanged();
    for (Dataset *d : m_details)
        d->followMaster();
}

void Dataset::moveTo(int row)
{
    requireActive();
    checkBrowseMode();
    const int count = recordCount();
    row = std::clamp(row, count > 0 ? 0 : -1, count - 1);
    if (row == m_rec && m_state == State::Browse)
        return;
    mastersDetailsCheck();
    m_rec = row;
    loadCurrent();
    afterMove();
}

qint64 Dataset::rowKey(int row)
{
    const Row *r = rowAtIndex(row);
    return r ? r->key : 0;
}

void Dataset::moveToKey(qint64 key)
{
    requireActive();
    checkBrowseMode();
    const int pos = key && !m_isMaterialized ? positionOfKey(key) : -1;
    if (pos >= 0)
        moveTo(pos);
}

void Dataset::first() { moveTo(0); }
void Dataset::prior() { moveTo(std::max(m_rec - 1, 0)); }
void Dataset::next() { moveTo(m_rec + 1); }
void Dataset::last() { moveTo(recordCount() - 1); }

bool Dataset::isLast() { return m_rec >= recordCount() - 1; }

void Dataset::followMaster()
{
    if (!isActive())
        return;
    const QVariant link = linkValue();
    if (sameValue(link, m_link))
        return;
    checkBrowseMode();
    m_link = link;
    resetRows();
    m_rec = recordCount() > 0 ? 0 : -1;
    loadCurrent();
    emit rowsReset();
    afterMove();
}

// --- editing ---------------------------------------------------------------------------------

void Dataset::setState(State s)
{
    if (m_state == s)
        return;
    m_state = s;
    emit stateChanged();
}

void Dataset::insert()
{
    requireWritable("добавление");
    checkBrowseMode();
    mastersDetailsCheck();
    m_insertReturnRow = m_rec;
    m_buffer.assign(m_columns.size(), QVariant());
    m_changed.assign(m_columns.size(), false);
    m_modified = false;
    m_key = 0;
    if (m_master) {
        const int link = fieldIndex(m_linkField);
        m_buffer[size_t(link)] = m_link;
        m_changed[size_t(link)] = true;
    }
    setState(State::Insert);
    afterMove();
}

void Dataset::edit()
{
    requireWritable("изменение");
    if (m_state != State::Browse)
        return;
    if (m_rec < 0) {
        insert();
        return;
    }
    m_changed.assign(m_columns.size(), false);
    m_modified = false;
    setState(State::Edit);
}

void Dataset::checkBrowseMode()
{
    if (m_state == State::Edit || (m_state == State::Insert && m_modified))
        post();
    else if (m_state == State::Insert)
        cancel();
}

void Dataset::post()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    const bool inserting = m_state == State::Insert;
    qint64 key = m_key;
    if (inserting || m_modified) {
        QStringList names, values;
        std::vector<QVariant> binds;
        for (size_t i = 0; i < m_columns.size(); ++i) {
            const Column &c = m_columns[i];
            if (c.lookup >= 0 || c.def.kind == FieldKind::AutoInc || !m_changed[i])
                continue;
            names << quoteIdent(c.name);
            binds.push_back(toStorage(c.def, m_buffer[i]));
            values << QStringLiteral("?%1").arg(binds.size());
        }
        const QString table = quoteIdent(m_tableSql);
        QString sql;
        if (inserting)
            sql = names.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)
                                  : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                        .arg(table, names.join(QLatin1String(", ")), values.join(QLatin1String(", ")));
        else {
            QStringList sets;
            for (int i = 0; i < names.size(); ++i)
                sets << names[i] + QStringLiteral(" = ") + values[i];
            sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3").arg(table, sets.join(QLatin1String(", "))).arg(binds.size() + 1);
            binds.push_back(key);
        }
        Statement st(m_db->handle(), sql);
        for (size_t i = 0; i < binds.size(); ++i)
            st.bind(int(i) + 1, binds[i]);
        st.step();  // a refusal throws here and leaves the buffer and state as they were
        if (inserting)
            key = m_db->lastInsertId();
    }
    setState(State::Browse);
    resetRows();
    const int pos = positionOfKey(key);
    m_rec = pos >= 0 ? pos : std::min(m_insertReturnRow >= 0 && inserting ? m_insertReturnRow : m_rec, recordCount() - 1);
    loadCurrent();
    emit rowsReset();
    afterMove();
    fire(m_afterPost);
}

void Dataset::cancel()
{
    if (m_state == State::Browse || m_state == State::Inactive)
        return;
    const bool inserting = m_state == State::Insert;
    if (inserting)
        m_rec = m_insertReturnRow;
    setState(State::Browse);
    loadCurrent();
    if (inserting)
        afterMove();
    else
        emit currentChanged();
}

void Dataset::deleteRecord()
{
    requireWritable("удаление");
    if (m_state == State::Insert) {  // a row never posted is only abandoned
        cancel();
        return;
    }
    if (m_state == State::Edit)
        cancel();
    if (m_rec < 0)
        throw EngineError(QStringLiteral("Нет записи для удаления"));
    mastersDetailsCheck();
    fire(m_beforeDelete);
    if (!isActive() || m_rec < 0)
        return;
    Statement st(m_db->handle(), QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(quoteIdent(m_tableSql)));
    st.bind(1, m_key);
    st.step();
    resetRows();
    loadCurrent();
    emit rowsReset();
    afterMove();
    fire(m_afterDelete);
}

void Dataset::refresh()
{
    requireActive();
    checkBrowseMode();
    if (m_isMaterialized) {
        emit rowsReset();
        return;
    }
    reloadKeepingCurrent(false);
}

// Re-reads the visible rows and finds the current row again by key; when it is gone the
// cursor goes to the first row, or stays at its place.
void Dataset::reloadKeepingCurrent(bool firstIfGone)
{
    const qint64 key = m_key;
    resetRows();
    const int pos = key ? positionOfKey(key) : -1;
    if (pos >= 0)
        m_rec = pos;
    else if (firstIfGone)
        m_rec = recordCount() > 0 ? 0 : -1;
    loadCurrent();
    emit rowsReset();
    afterMove();
}

void Dataset::fire(const std::vector<Handler> &handlers)
{
    for (const Handler &h : handlers)
        h(*this);
}

// --- fields ----------------------------------------------------------------------------------

QString Dataset::fieldName(int column) const
{
    return column >= 0 && column < fieldCount() ? m_columns[size_t(column)].name : QString();
}

int Dataset::fieldIndex(const QString &name) const
{
    for (size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

const FieldDef *Dataset::fieldDef(const QString &name) const
{
    const int c = fieldIndex(name);
    return c < 0 ? nullptr : &m_columns[size_t(c)].def;
}

const LookupDef *Dataset::lookupDef(const QString &name) const
{
    const int c = fieldIndex(name);
    return c < 0 || m_columns[size_t(c)].lookup < 0 ? nullptr : &m_lookups[size_t(m_columns[size_t(c)].lookup)];
}

bool Dataset::isLookup(int column) const { return column >= 0 && column < fieldCount() && m_columns[size_t(column)].lookup >= 0; }

QVariant Dataset::value(const QString &field) const
{
    const int c = fieldIndex(field);
    if (c < 0)
        throw EngineError(QStringLiteral("Поле «%1» не найдено").arg(field));
    return value(c);
}

QVariant Dataset::value(int column) const
{
    return column >= 0 && size_t(column) < m_buffer.size() ? m_buffer[size_t(column)] : QVariant();
}

QVariant Dataset::rowValue(int row, int column)
{
    // The row being edited shows its buffer; a row being inserted is not one of the stored rows.
    if (row == m_rec && m_state == State::Edit)
        return value(column);
    const Row *r = rowAtIndex(row);
    return r && column >= 0 && size_t(column) < r->values.size() ? r->values[size_t(column)] : QVariant();
}

void Dataset::setValue(const QString &field, const QVariant &input)
{
    requireWritable("изменение");
    const int c = fieldIndex(field);
    if (c < 0)
        throw EngineError(QStringLiteral("Поле «%1» не найдено").arg(field));
    const Column &column = m_columns[size_t(c)];
    if (column.lookup >= 0) {
        setLookupValue(field, input);
        return;
    }
    const QVariant v = toFieldValue(column.def, input);  // refuses before anything changes
    if (m_state == State::Browse)
        edit();
    if (sameValue(v, m_buffer[size_t(c)]) && m_state == State::Edit)
        return;
    m_buffer[size_t(c)] = v;
    m_changed[size_t(c)] = true;
    m_modified = true;
    if (m_lookupsWhileEditing)
        recomputeLookups(c);
    emit bufferChanged();
}

QVariant Dataset::lookupFor(const Column &c, const QVariant &key) const
{
    if (key.isNull())
        return {};
    const LookupDef &l = m_lookups[size_t(c.lookup)];
    Statement st(m_db->handle(), QStringLiteral("SELECT ") + lookupExpression(l, QStringLiteral("?1")));
    st.bind(1, toStorage(m_columns[size_t(c.keyColumn)].def, key));
    return st.step() ? st.column(0) : QVariant();
}

void Dataset::recomputeLookups(int changedColumn)
{
    for (size_t i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].lookup >= 0 && m_columns[i].keyColumn == changedColumn)
            m_buffer[i] = lookupFor(m_columns[i], m_buffer[size_t(changedColumn)]);
}

std::vector<LookupEntry> Dataset::lookupEntries(const QString &lookupField)
{
    requireActive();
    const LookupDef *l = lookupDef(lookupField);
    if (!l)
        throw EngineError(QStringLiteral("Поле «%1» не является подстановкой").arg(lookupField));
    Statement st(m_db->handle(), QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY rowid")
                                     .arg(quoteIdent(l->lookupKeyField), quoteIdent(l->resultField),
                                          quoteIdent(sqlTableName(dictionaryOf(*l)))));
    std::vector<LookupEntry> out;
    while (st.step())
        out.push_back({st.column(0), st.column(1).toString()});
    return out;
}

void Dataset::setLookupValue(const QString &lookupField, const QVariant &dictionaryKey)
{
    requireWritable("изменение");
    const int c = fieldIndex(lookupField);
    const LookupDef *l = lookupDef(lookupField);
    if (!l)
        throw EngineError(QStringLiteral("Поле «%1» не является подстановкой").arg(lookupField));
    const Column &column = m_columns[size_t(c)];
    const FieldDef &keyDef = m_columns[size_t(column.keyColumn)].def;
    QVariant key;
    QVariant shown;
    if (!dictionaryKey.isNull() && !(dictionaryKey.typeId() == QMetaType::QString && dictionaryKey.toString().isEmpty())) {
        Statement st(m_db->handle(), QStringLiteral("SELECT %1, substr(%2, 1, %3) FROM %4 WHERE %1 = ?1 LIMIT 1")
                                         .arg(quoteIdent(l->lookupKeyField), quoteIdent(l->resultField))
                                         .arg(l->width)
                                         .arg(quoteIdent(sqlTableName(dictionaryOf(*l)))));
        st.bind(1, dictionaryKey);
        if (!st.step())
            throw EngineError(QStringLiteral("Значения «%1» нет в справочнике «%2»")
                                  .arg(dictionaryKey.toString(), dictionaryOf(*l)));
        key = st.column(0);
        shown = st.column(1);
    }
    // The key goes in as the key field's kind: an entry's ID becomes decimal text in a text field.
    setValue(keyDef.name, keyDef.kind == FieldKind::Text && !key.isNull() ? QVariant(key.toString()) : key);
    m_buffer[size_t(c)] = shown;
    emit bufferChanged();
}

// --- ordering and filters --------------------------------------------------------------------

void Dataset::setSortField(const QString &field, bool ascending)
{
    if (isActive())
        checkBrowseMode();
    m_sortField = field;
    m_sortAscending = ascending;
    if (!isActive() || m_isMaterialized)
        return;
    reloadKeepingCurrent(true);
}

void Dataset::setValueFilter(const QString &field, const QVariantList &values)
{
    if (isActive())
        checkBrowseMode();
    if (values.isEmpty())
        m_filters.erase(field);
    else
        m_filters[field] = values;
    if (!isActive() || m_isMaterialized)
        return;
    reloadKeepingCurrent(true);
}

QVariantList Dataset::distinctValues(const QString &field)
{
    requireActive();
    const int c = fieldIndex(field);
    if (c < 0 || m_isMaterialized)
        return {};
    // The values offered are those of the rows the link shows, whatever other filters say.
    auto saved = std::move(m_filters);
    m_filters.clear();
    std::vector<QVariant> binds;
    const QString where = whereSql(binds);
    m_filters = std::move(saved);
    const Column &column = m_columns[size_t(c)];
    const QString expr = columnExpression(column);
    Statement st(m_db->handle(),
                 QStringLiteral("SELECT DISTINCT %1 FROM %2 AS t%3 ORDER BY 1").arg(expr, quoteIdent(m_tableSql), where));
    bindAll(st, binds);
    QVariantList out;
    while (st.step())
        out << fromStorage(column.def, st.column(0));
    return out;
}

}  // namespace orvelan
