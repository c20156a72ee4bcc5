#include "SqlTranslator.h"
#include "Schema.h"

#include <vector>

namespace orvelan {

namespace {

enum class Tok { Space, Word, String, Quoted, Param, Punct };

struct Token {
    Tok kind;
    QString text;
    bool isWord(const char *w) const { return kind == Tok::Word && text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0; }
};

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

std::vector<Token> tokenize(const QString &s)
{
    std::vector<Token> out;
    int i = 0;
    const int n = s.size();
    while (i < n) {
        const QChar c = s[i];
        int j = i + 1;
        Tok kind = Tok::Punct;
        if (c.isSpace()) {
            while (j < n && s[j].isSpace())
                ++j;
            kind = Tok::Space;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A doubled quote stays inside the literal.
            while (j < n) {
                if (s[j] == c) {
                    if (j + 1 < n && s[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                ++j;
            }
            kind = c == QLatin1Char('\'') ? Tok::String : Tok::Quoted;
        } else if (c == QLatin1Char(':') && j < n && isWordChar(s[j])) {
            while (j < n && isWordChar(s[j]))
                ++j;
            kind = Tok::Param;
        } else if (isWordChar(c)) {
            while (j < n && isWordChar(s[j]))
                ++j;
            kind = Tok::Word;
        }
        out.push_back({kind, s.mid(i, j - i)});
        i = j;
    }
    return out;
}

// `NAME.db` becomes one token holding the quoted stored name.
void replaceTableNames(std::vector<Token> &t)
{
    std::vector<Token> out;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i].kind == Tok::Word && i + 2 < t.size() && t[i + 1].text == QLatin1String(".") && t[i + 2].isWord("db")) {
            out.push_back({Tok::Quoted, quoteIdent(t[i].text)});
            i += 2;
            continue;
        }
        out.push_back(t[i]);
    }
    t.swap(out);
}

QString unquote(const Token &t)
{
    if (t.kind != Tok::Quoted)
        return t.text;
    QString s = t.text.mid(1, t.text.size() - 2);
    return s.replace(QLatin1String("\"\""), QLatin1String("\""));
}

bool isClauseKeyword(const Token &t)
{
    return t.isWord("select") || t.isWord("from") || t.isWord("where") || t.isWord("group") || t.isWord("union") ||
           t.isWord("order") || t.isWord("having") || t.isWord("limit") || t.isWord("intersect") || t.isWord("except");
}

struct Branch {
    size_t selectBegin = 0, selectEnd = 0;  // select list
    size_t fromBegin = 0, fromEnd = 0;
    size_t whereBegin = 0, whereEnd = 0;
    size_t groupBegin = 0, groupEnd = 0;    // after "GROUP BY"
    bool hasGroup = false, hasWhere = false, hasFrom = false;
};

// Splits the top level (parenthesis depth 0) into SELECT branches and their clauses.
std::vector<Branch> splitBranches(const std::vector<Token> &t)
{
    std::vector<Branch> branches;
    int depth = 0;
    Branch *cur = nullptr;
    size_t *openEnd = nullptr;
    auto close = [&](size_t at) {
        if (openEnd)
            *openEnd = at;
        openEnd = nullptr;
    };
    for (size_t i = 0; i < t.size(); ++i) {
        const Token &k = t[i];
        if (k.text == QLatin1String("("))
            ++depth;
        else if (k.text == QLatin1String(")"))
            --depth;
        if (depth != 0 || !isClauseKeyword(k))
            continue;
        close(i);
        if (k.isWord("select")) {
            branches.push_back({});
            cur = &branches.back();
            cur->selectBegin = i + 1;
            openEnd = &cur->selectEnd;
        } else if (!cur) {
            continue;
        } else if (k.isWord("from")) {
            cur->hasFrom = true;
            cur->fromBegin = i + 1;
            openEnd = &cur->fromEnd;
        } else if (k.isWord("where")) {
            cur->hasWhere = true;
            cur->whereBegin = i + 1;
            openEnd = &cur->whereEnd;
        } else if (k.isWord("group")) {
            size_t j = i + 1;
            while (j < t.size() && t[j].kind == Tok::Space)
                ++j;
            if (j < t.size() && t[j].isWord("by")) {
                cur->hasGroup = true;
                cur->groupBegin = j + 1;
                openEnd = &cur->groupEnd;
            }
        }
    }
    close(t.size());
    return branches;
}

// Comma-separated items of a range at its own depth, as [begin, end) pairs.
std::vector<std::pair<size_t, size_t>> splitItems(const std::vector<Token> &t, size_t b, size_t e)
{
    std::vector<std::pair<size_t, size_t>> items;
    int depth = 0;
    size_t start = b;
    for (size_t i = b; i < e; ++i) {
        if (t[i].text == QLatin1String("("))
            ++depth;
        else if (t[i].text == QLatin1String(")"))
            --depth;
        else if (depth == 0 && t[i].text == QLatin1String(",")) {
            items.emplace_back(start, i);
            start = i + 1;
        }
    }
    items.emplace_back(start, e);
    return items;
}

std::vector<size_t> significant(const std::vector<Token> &t, size_t b, size_t e)
{
    std::vector<size_t> out;
    for (size_t i = b; i < e; ++i)
        if (t[i].kind != Tok::Space)
            out.push_back(i);
    return out;
}

QString join(const std::vector<Token> &t, size_t b, size_t e)
{
    QString s;
    for (size_t i = b; i < e; ++i)
        s += t[i].text;
    return s;
}

}  // namespace

TranslatedSql translateSql(const QString &local, const std::function<QStringList(const QString &)> &columnsOf)
{
    std::vector<Token> t = tokenize(local);
    replaceTableNames(t);
    const std::vector<Branch> branches = splitBranches(t);

    TranslatedSql result;
    // Text appended after a token, keyed by token index; the token itself may be replaced.
    std::vector<QString> after(t.size());
    for (const Branch &br : branches) {
        QStringList tables;
        if (br.hasFrom)
            for (auto [b, e] : splitItems(t, br.fromBegin, br.fromEnd)) {
                const auto sig = significant(t, b, e);
                if (!sig.empty())
                    tables << unquote(t[sig.front()]);
            }
        if (result.tables.isEmpty())
            result.tables = tables;

        for (auto [b, e] : splitItems(t, br.selectBegin, br.selectEnd)) {
            const auto sig = significant(t, b, e);
            if (sig.size() != 4 || t[sig[1]].text != QLatin1String("(") || t[sig[3]].text != QLatin1String(")"))
                continue;
            const Token &fn = t[sig[0]];
            const Token &arg = t[sig[2]];
            if (fn.kind != Tok::Word || (arg.kind != Tok::Word && arg.kind != Tok::Quoted))
                continue;
            static const char *aggregates[] = {"count", "sum", "min", "max", "avg"};
            for (const char *a : aggregates)
                if (fn.isWord(a))
                    after[sig[3]] += QStringLiteral(" AS ") +
                                     quoteIdent(fn.text.toUpper() + QStringLiteral(" OF ") + unquote(arg));
        }

        if (br.hasGroup) {
            QMap<QString, QStringList> owners;  // column (upper case) -> tables having it
            for (const QString &table : tables)
                for (const QString &col : columnsOf(table))
                    owners[col.toUpper()] << table;
            for (auto [b, e] : splitItems(t, br.groupBegin, br.groupEnd)) {
                const auto sig = significant(t, b, e);
                if (sig.size() != 1 || (t[sig[0]].kind != Tok::Word && t[sig[0]].kind != Tok::Quoted))
                    continue;
                const QString name = unquote(t[sig[0]]);
                const QStringList has = owners.value(name.toUpper());
                if (has.size() == 1)
                    t[sig[0]] = {Tok::Quoted, quoteIdent(has.front()) + QLatin1Char('.') + quoteIdent(name)};
            }
        }
    }

    for (size_t i = 0; i < t.size(); ++i)
        result.sql += t[i].text + after[i];

    if (branches.size() == 1 && result.tables.size() == 1 && !branches[0].hasGroup) {
        const Branch &br = branches[0];
        const auto sel = significant(t, br.selectBegin, br.selectEnd);
        // Nothing may follow the WHERE clause but the end of the text.
        bool onlyWhereAfterFrom = true;
        for (size_t i = br.fromEnd; i < t.size(); ++i)
            if (isClauseKeyword(t[i]) && !t[i].isWord("where"))
                onlyWhereAfterFrom = false;
        if (sel.size() == 1 && t[sel[0]].text == QLatin1String("*") && onlyWhereAfterFrom) {
            result.singleTableSelect = true;
            if (br.hasWhere)
                result.whereClause = join(t, br.whereBegin, br.whereEnd).trimmed();
        }
    }
    return result;
}

}  // namespace orvelan
