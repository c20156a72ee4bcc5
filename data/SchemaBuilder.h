#pragma once

namespace orvelan {

class Database;

// Creates every table with its indexes and fixed rows, in one transaction. Refuses a database
// that already holds tables: existing data is never touched.
void createAllTables(Database &db);

}  // namespace orvelan
