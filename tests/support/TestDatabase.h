#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace orvelan {
class Database;

// A private department database for one test: the alias settings and the data folder point
// into a temporary directory, and every table is created empty (with its fixed rows).
class TestDatabase {
public:
    explicit TestDatabase(bool createTables = true);
    ~TestDatabase();
    QString path() const;
    Database &db();
    // Runs SQL directly on the file, as another tool would.
    void exec(const QString &sql);
    // The first column of the first row of a query, as text ("" for null).
    QString scalar(const QString &sql);
    // Every row of a query, columns joined by '|', rows by '\n'.
    QString rows(const QString &sql);
    // The same, read through a connection of its own: what the file holds for any reader.
    QString onDisk(const QString &sql);

private:
    QTemporaryDir m_dir;
    std::shared_ptr<Database> m_db;
};

}  // namespace orvelan
