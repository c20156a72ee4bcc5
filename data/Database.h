#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace orvelan {

struct FieldDef;

// One prepared statement; finalised when it goes out of scope.
class Statement {
public:
    Statement(sqlite3 *db, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    int parameterCount() const;
    void bind(int index, const QVariant &value);  // 1-based, as SQLite counts
    bool step();                                   // true while a row is there
    void reset();
    int columnCount() const;
    QString columnName(int i) const;
    QVariant column(int i) const;
    bool isReadOnly() const;

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
};

// A connection to the database file of an alias. Datasets of one alias share one connection.
class Database {
public:
    // The open database of an alias; throws when the alias or its file is missing.
    static std::shared_ptr<Database> open(const QString &alias);
    // Opens a file directly, creating it when asked (the database tool uses this).
    static std::shared_ptr<Database> openFile(const QString &path, bool create = false);
    // Forgets the shared connections (a test pointing the alias elsewhere calls this).
    static void closeAll();

    ~Database();
    sqlite3 *handle() const { return m_db; }
    const QString &path() const { return m_path; }

    void exec(const QString &sql);
    qint64 lastInsertId() const;
    int changes() const;

    bool hasTable(const QString &sqlName);
    bool hasIndex(const QString &sqlName);
    QStringList tableNames();
    // Fields of a stored table with the kinds their declarations denote.
    std::vector<FieldDef> storedFields(const QString &sqlName);
    // Fields of a stored index, leading field first.
    QStringList indexFields(const QString &sqlIndexName);

private:
    explicit Database(const QString &path, bool create);
    sqlite3 *m_db = nullptr;
    QString m_path;
};

// Message for the last failure on a connection.
QString sqliteMessage(sqlite3 *db, int rc);

}  // namespace orvelan
