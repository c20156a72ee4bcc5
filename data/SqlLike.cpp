#include "SqlLike.h"

#include <sqlite3.h>

namespace orvelan {

namespace {

// Decodes one UTF-8 code point and advances; malformed bytes pass through as themselves.
unsigned next(const unsigned char *&p)
{
    unsigned c = *p++;
    if (c < 0x80)
        return c;
    int extra = (c >= 0xF0) ? 3 : (c >= 0xE0) ? 2 : (c >= 0xC0) ? 1 : 0;
    if (extra == 0)
        return c;
    c &= (0x3F >> extra);
    while (extra-- > 0 && (*p & 0xC0) == 0x80)
        c = (c << 6) | (*p++ & 0x3F);
    return c;
}

unsigned fold(unsigned c)
{
    if (c >= 'A' && c <= 'Z')
        return c + 32;
    if (c >= 0x0410 && c <= 0x042F)  // А..Я
        return c + 32;
    if (c >= 0x0400 && c <= 0x040F)  // Ѐ..Џ, Ё among them
        return c + 80;
    return c;
}

bool match(const unsigned char *p, const unsigned char *t, unsigned esc)
{
    while (*p) {
        unsigned pc = next(p);
        if (esc && pc == esc) {
            if (!*p)
                return false;
            pc = next(p);
            if (!*t || fold(next(t)) != fold(pc))
                return false;
            continue;
        }
        if (pc == '%') {
            while (*p == '%' || *p == '_') {
                if (*p == '_') {
                    if (!*t)
                        return false;
                    next(t);
                }
                ++p;
            }
            if (!*p)
                return true;
            while (*t) {
                if (match(p, t, esc))
                    return true;
                next(t);
            }
            return false;
        }
        if (!*t)
            return false;
        unsigned tc = next(t);
        if (pc != '_' && fold(pc) != fold(tc))
            return false;
    }
    // Trailing blanks of the text do not count, as they do not in comparisons.
    while (*t == ' ')
        ++t;
    return *t == 0;
}

void likeFunction(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    // SQLite calls like(pattern, text[, escape]).
    const unsigned char *pattern = sqlite3_value_text(argv[0]);
    const unsigned char *text = sqlite3_value_text(argv[1]);
    if (!pattern || !text)
        return;  // NULL result: LIKE against NULL matches nothing
    unsigned esc = 0;
    if (argc == 3) {
        const unsigned char *e = sqlite3_value_text(argv[2]);
        if (!e)
            return;
        esc = next(e);
    }
    sqlite3_result_int(ctx, match(pattern, text, esc) ? 1 : 0);
}

}  // namespace

bool likeMatch(const char *pattern, const char *text, unsigned escape)
{
    return match(reinterpret_cast<const unsigned char *>(pattern), reinterpret_cast<const unsigned char *>(text),
                 escape);
}

void installCaseFoldingLike(sqlite3 *db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "like", 2, flags, nullptr, likeFunction, nullptr, nullptr);
    sqlite3_create_function(db, "like", 3, flags, nullptr, likeFunction, nullptr, nullptr);
}

}  // namespace orvelan
