#include "SchemaBuilder.h"
#include "Database.h"
#include "EngineError.h"
#include "Schema.h"

namespace orvelan {

void createAllTables(Database &db)
{
    const QStringList existing = db.tableNames();
    if (!existing.isEmpty())
        throw EngineError(QStringLiteral("База данных %1 уже содержит таблицы (%2); создание отменено")
                              .arg(db.path(), existing.join(QLatin1String(", "))));
    db.exec(QStringLiteral("BEGIN"));
    try {
        for (const TableDef &table : allTables())
            for (const QString &sql : createStatements(table))
                db.exec(sql);
        db.exec(QStringLiteral("COMMIT"));
    } catch (...) {
        db.exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

}  // namespace orvelan
