#pragma once

#include "Schema.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace orvelan {

class Database;

// A computed, unstored field showing a dictionary row's text for a key field of the row.
struct LookupDef {
    QString name;
    int width = 0;
    QString keyField;                 // KeyFields
    class Dataset *lookupDataset = nullptr;  // LookupDataSet (names the dictionary table)
    QString lookupKeyField;           // LookupKeyFields
    QString resultField;              // LookupResultField
};

// One dictionary entry as a lookup column offers it.
struct LookupEntry {
    QVariant key;
    QString text;
};

// A cursor over one table (or one query result) of an alias, with the record buffer, states
// and events of a table object. It never holds a whole table: rows are read a page at a time
// through the table's key order or its link index, and pages far from the cursor are dropped.
class Dataset : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using Handler = std::function<void(Dataset &)>;

    explicit Dataset(QObject *parent = nullptr);
    ~Dataset() override;

    // --- configuration (while closed) ---
    void setDatabaseName(const QString &alias) { m_alias = alias; }
    void setTableName(const QString &fileName);  // a table object
    void setSql(const QString &localSql);         // a query object
    void setRequestLive(bool live) { m_live = live; }
    void addField(const FieldDef &field);         // a field object; none declared binds every stored field
    void addLookup(const LookupDef &lookup);
    void setIndexName(const QString &name) { m_indexName = name; }
    void setMasterSource(Dataset *master);
    void setMasterFields(const QString &field) { m_masterField = field; }
    // Whether lookups follow key changes while a row is edited (they always do on fetch).
    void setLookupsWhileEditing(bool on) { m_lookupsWhileEditing = on; }

    const QString &tableName() const { return m_tableFile; }
    const QString &indexName() const { return m_indexName; }
    Dataset *masterSource() const { return m_master; }

    // --- parameters of a query, by position (0 = first) ---
    int paramCount() const;
    void setParam(int index, const QVariant &value);

    // --- open and close ---
    void open();
    void close();
    bool isActive() const { return m_state != State::Inactive; }
    void setActive(bool on) { on ? open() : close(); }
    State state() const { return m_state; }
    bool canModify() const;

    // --- ordering and filtering of the visible rows (grids use these) ---
    // Sorts by a field or lookup field; the key order breaks ties. An empty name restores the
    // dataset's own order.
    void setSortField(const QString &field, bool ascending = true);
    const QString &sortField() const { return m_sortField; }
    bool sortAscending() const { return m_sortAscending; }
    // Keeps only the rows whose field holds one of the values (null stands for blank);
    // an empty list removes that field's filter.
    void setValueFilter(const QString &field, const QVariantList &values);
    QVariantList distinctValues(const QString &field);

    // --- cursor ---
    int recordCount();  // rows visible under the current link and filters
    int recNo() const { return m_rec; }  // 0-based; -1 when empty
    bool isEmpty() { return recordCount() == 0; }
    bool isFirst() const { return m_rec <= 0; }
    bool isLast();
    void first();
    void prior();
    void next();
    void last();
    void moveTo(int row);
    // The key of a visible row, and moving to a row by key: a row chosen while another is
    // edited stays the one chosen even when the post moves rows about.
    qint64 rowKey(int row);
    void moveToKey(qint64 key);

    // --- editing ---
    void insert();
    void edit();
    void post();
    void cancel();
    void deleteRecord();
    void refresh();
    // Posts a changed row, drops an untouched new one (before the cursor or a master moves).
    void checkBrowseMode();
    bool isModified() const { return m_modified; }

    // --- fields ---
    int fieldCount() const { return int(m_columns.size()); }
    QString fieldName(int column) const;
    int fieldIndex(const QString &name) const;  // -1 if unknown
    const FieldDef *fieldDef(const QString &name) const;
    const LookupDef *lookupDef(const QString &name) const;
    bool isLookup(int column) const;
    QVariant value(const QString &field) const;  // the current row (or the edit buffer)
    QVariant value(int column) const;
    void setValue(const QString &field, const QVariant &value);  // enters edit when browsing
    QVariant rowValue(int row, int column);  // any visible row, without moving the cursor
    qint64 currentKey() const { return m_key; }

    // Entries of a lookup field's dictionary, in key order, and choosing one of them.
    std::vector<LookupEntry> lookupEntries(const QString &lookupField);
    void setLookupValue(const QString &lookupField, const QVariant &dictionaryKey);

    // --- events ---
    void addBeforeDelete(Handler h) { m_beforeDelete.push_back(std::move(h)); }
    void addAfterDelete(Handler h) { m_afterDelete.push_back(std::move(h)); }
    void addAfterPost(Handler h) { m_afterPost.push_back(std::move(h)); }

    // Pages fetched since open (for benchmarks and tests of paging).
    int cachedRowCount() const;

signals:
    void stateChanged();
    void currentChanged();   // the cursor moved or the current row was reloaded
    void rowsReset();        // the visible rows changed: count, order or content
    void bufferChanged();    // a field of the row being edited changed

private:
    struct Column {
        QString name;
        FieldDef def;          // for a lookup, a Text def of the lookup's width
        int lookup = -1;       // index into m_lookups, or -1
        int keyColumn = -1;    // for a lookup: column of its key field
    };
    struct Row {
        qint64 key = 0;
        std::vector<QVariant> values;
    };

    void requireActive() const;
    void requireWritable(const char *what) const;
    void bindFields();
    QString selectList() const;
    QString columnExpression(const Column &c) const;
    QString lookupExpression(const LookupDef &l, const QString &keyExpr) const;
    QString whereSql(std::vector<QVariant> &binds) const;
    QString orderSql(bool reversed = false) const;
    QVariant linkValue() const;
    void resetRows();
    const Row *rowAtIndex(int row);
    void fetchPage(int page, int limit, bool fromEnd, const std::vector<qint64> &keys = {});
    void bindAll(class Statement &st, const std::vector<QVariant> &binds) const;
    void loadCurrent();
    int positionOfKey(qint64 key);
    void followMaster();
    void reloadKeepingCurrent(bool firstIfGone);
    void mastersDetailsCheck();
    void afterMove();
    void recomputeLookups(int changedColumn);
    QVariant lookupFor(const Column &c, const QVariant &key) const;
    void fire(const std::vector<Handler> &handlers);
    void setState(State s);
    bool inKeyOrder() const;
    void openMaterialized();

    QString m_alias = QStringLiteral("Orvelan");
    std::shared_ptr<Database> m_db;
    QString m_tableFile;     // file name of the table, for a table object or a live query
    QString m_tableSql;      // stored table name, when rows are read from one table
    QString m_localSql;      // a query's text
    QString m_baseWhere;     // a live query's condition
    bool m_live = false;
    std::vector<QVariant> m_params;
    std::vector<FieldDef> m_declared;
    std::vector<LookupDef> m_lookups;
    // Each lookup's dictionary table, taken from its dataset at open, so a lookup outlives it.
    std::vector<QString> m_dictionaryFiles;
    const QString &dictionaryOf(const LookupDef &l) const { return m_dictionaryFiles[size_t(&l - m_lookups.data())]; }
    QString m_indexName;
    QString m_linkField;     // leading field of the named index
    QStringList m_indexFields;  // all fields of the named index: the order of the rows
    QPointer<Dataset> m_master;
    QString m_masterField;
    std::vector<Dataset *> m_details;
    bool m_lookupsWhileEditing = true;

    QString m_sortField;
    bool m_sortAscending = true;
    std::map<QString, QVariantList> m_filters;

    std::vector<Column> m_columns;
    State m_state = State::Inactive;
    QVariant m_link;         // the master key the rows follow
    int m_count = -1;        // -1: not counted yet
    int m_rec = -1;
    qint64 m_key = 0;
    std::vector<QVariant> m_buffer;
    bool m_modified = false;
    std::vector<bool> m_changed;
    int m_insertReturnRow = -1;

    static constexpr int kPageSize = 200;
    static constexpr int kMaxPages = 40;
    std::map<int, std::vector<Row>> m_pages;
    std::vector<Row> m_materialized;  // rows of a read-only query result
    bool m_isMaterialized = false;

    std::vector<Handler> m_beforeDelete, m_afterDelete, m_afterPost;
};

}  // namespace orvelan
