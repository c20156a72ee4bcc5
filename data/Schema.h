#pragma once

#include "FieldKind.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace orvelan {

struct FieldDef {
    QString name;
    FieldKind kind;
    int width = 0;  // characters, for Text only
};

struct IndexDef {
    QString name;            // name as the program knows it (`OT`, `ID_OBS`)
    QStringList fields;      // leading field first
    bool unique = false;
    bool caseInsensitive = false;  // text fields compared without letter case
};

struct TableDef {
    QString fileName;   // `OTR3.db`
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes;
    std::vector<std::vector<QVariant>> fixedRows;  // rows every database starts with, in field order

    QString sqlName() const;                      // stored table name
    const FieldDef *field(const QString &name) const;
};

// Stored name of a table: the file name without its ".db" suffix.
QString sqlTableName(const QString &fileName);
// Stored name of an index: table and index joined, since index names repeat across tables.
QString sqlIndexName(const QString &fileName, const QString &indexName);
// A name quoted as an SQL identifier.
QString quoteIdent(const QString &name);
// Column type declaration for a field kind; the engine reads kinds back from these.
QString sqlTypeFor(const FieldDef &field);

// Every table of the department database.
const std::vector<TableDef> &allTables();
const TableDef *findTable(const QString &fileName);

// SQL statements that create one table with its indexes and fixed rows.
QStringList createStatements(const TableDef &table);

}  // namespace orvelan
