#pragma once

struct sqlite3;

namespace orvelan {

// Replaces SQLite's LIKE on a connection with one that folds letter case for Cyrillic as
// well as Latin. "%" and "_" keep their meaning; it works on UTF-8 bytes, no QString per row.
void installCaseFoldingLike(sqlite3 *db);

// LIKE semantics on two UTF-8 strings (exposed for tests).
bool likeMatch(const char *pattern, const char *text, unsigned escape = 0);

}  // namespace orvelan
