#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace orvelan {

// What the translator learnt of a local SQL text while rewriting it for SQLite.
struct TranslatedSql {
    QString sql;               // the text SQLite runs
    QStringList tables;        // stored names of the tables in FROM, first branch first
    bool singleTableSelect = false;  // one SELECT * over one table, no UNION or GROUP BY
    QString whereClause;       // that select's condition, already translated (may be empty)
};

// Rewrites the department's local SQL for SQLite:
//  - file-style table names (`OTR3.db`) become the stored table names;
//  - an aggregate of one field without AS is named as the old engine named it ("COUNT OF SEX");
//  - a GROUP BY name that is a field of exactly one FROM table is qualified with that table, so it
//    never resolves to a result alias of the same name (GROUP BY OTDEL,KOL_VO);
//  - named parameters (:FIO) are left for binding by position. Nothing is ever spliced in.
// columnsOf tells the stored columns of a stored table.
TranslatedSql translateSql(const QString &local, const std::function<QStringList(const QString &)> &columnsOf);

}  // namespace orvelan
