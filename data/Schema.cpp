#include "Schema.h"

namespace orvelan {

namespace {

FieldDef autoInc(const char *n) { return {QString::fromUtf8(n), FieldKind::AutoInc, 0}; }
FieldDef integer(const char *n) { return {QString::fromUtf8(n), FieldKind::Integer, 0}; }
FieldDef text(const char *n, int w) { return {QString::fromUtf8(n), FieldKind::Text, w}; }
FieldDef date(const char *n) { return {QString::fromUtf8(n), FieldKind::Date, 0}; }
FieldDef number(const char *n) { return {QString::fromUtf8(n), FieldKind::Number, 0}; }
FieldDef memo(const char *n) { return {QString::fromUtf8(n), FieldKind::Memo, 0}; }
IndexDef link(const char *name, const char *field) { return {QString::fromUtf8(name), {QString::fromUtf8(field)}}; }
QVariant s(const char *v) { return QString::fromUtf8(v); }

std::vector<TableDef> buildTables()
{
    std::vector<TableDef> t;
    // Registers: group tables of nosological forms and patient tables linked to them.
    t.push_back({"OTR2.db", {autoInc("ID"), text("OTR", 100), integer("KOL")},
                 {{"Table7Index1", {"ID"}, true, false}, {"ot", {"ID", "OTR"}, false, true}}, {}});
    t.push_back({"OTR3.db",
                 {autoInc("ID_O1"), integer("OT"), text("FIO", 40), integer("KOIKO"), text("PRICHINY", 15),
                  text("SEX", 2), integer("VOZRAST"), text("GHITEL", 15), text("DIADNOZ", 40),
                  text("ST_TIAG", 14), text("VREMIA_OTR", 15), text("LIST NETR", 10), text("IAG", 20),
                  integer("N IST"), text("ISHOD", 15), text("KEM", 15), text("DIAGNOZSOVP", 13),
                  date("DATAPOST"), date("DataVIP"), number("%ALC"), text("DIA", 250)},
                 {link("OT", "OT")}, {}});
    t.push_back({"OTRAVLENIYA.db", {autoInc("ID_OTR"), text("NAME_LONG", 100)}, {}, {}});
    t.push_back({"FIO.db",
                 {autoInc("ID"), integer("ID_OBS"), integer("IDS_OTR"), text("FIO", 40), text("SEX", 1),
                  integer("VOZ"), text("KEM_DOST", 15), text("IS_LIST_Y_N", 15), integer("DIAGNOZ"),
                  integer("N IST"), date("DATA_TO"), date("DATA_FROM"), text("ISHOD", 15), text("DIA", 250)},
                 {link("ID_OBS", "ID_OBS")}, {}});
    t.push_back({"OTR4.db", {autoInc("ID_OTR"), text("NAME_LONG", 100)}, {}, {}});
    t.push_back({"OTR5.db",
                 {autoInc("ID"), integer("ID_OBS"), integer("IDS_OTR"), text("FIO", 40), text("SEX", 1),
                  integer("VOZ"), text("KEM_DOST", 15), text("IS_LIST_Y_N", 15), integer("DIAGNOZ"),
                  date("DATA_TO"), date("DATA_FROM"), text("ISHOD", 15), integer("N IST"), text("DIA", 250)},
                 {link("ID_OBS", "ID_OBS")}, {}});
    t.push_back({"OTR6.db", {autoInc("ID_OTR"), text("NAME_LONG", 100), integer("SUMM")}, {}, {}});
    // The two diagnosis fields hold a whole dictionary entry (70 characters), so a chosen
    // diagnosis is never stored cut and left matching nothing.
    t.push_back({"MORE.db",
                 {autoInc("ID"), integer("MOR"), text("FIO", 50), integer("N ist bol"), text("DIAGN KLIN", 70),
                  text("DIAGN PAT", 70), text("PRIMECHANIA", 40), date("DATA_P"), date("DATA_S"),
                  text("VREMIA", 15), text("SEX", 7), integer("VOZRAST"), text("COVP", 15), number("% alk"),
                  text("KATEGOR", 10), text("DIA", 250), text("DIA_PAT", 250)},
                 {link("MORT", "MOR")}, {}});
    // ICD-10 dictionaries.
    t.push_back({"DIAGNOZ.db", {autoInc("ID"), text("NAME_DIAGNOZ", 100), text("KOD_DIAGNOZ", 10)}, {}, {}});
    t.push_back({"OT_R.db", {autoInc("ID"), text("MKB", 40)}, {}, {}});
    t.push_back({"OT_R1.db", {autoInc("ID"), text("MKB", 40)}, {}, {}});
    t.push_back({"TYPE_WORK.db", {autoInc("ID"), text("NAME_LONG", 70)}, {}, {}});
    t.push_back({"PATANATOM.db", {autoInc("ID"), text("NAME_LONG", 70)}, {}, {}});
    // Label tables of the statistics.
    t.push_back({"SEX.db", {text("SEX1", 10)}, {}, {{s("Мужчины")}, {s("Женщины")}}});
    t.push_back({"OTDEL.db", {text("OTDEL", 15), number("KOL_VO")}, {},
                 {{s("Отравления"), 0.0}, {s("Терапия"), 0.0}, {s("Реанимация"), 0.0}, {s("Умершие"), 0.0}}});
    // Paid services.
    t.push_back({"PLATA.db",
                 {autoInc("ID"), date("DATA"), text("FIO", 40), integer("IST"), text("USLUGA", 25),
                  integer("CHEK"), integer("SUMMA")},
                 {}, {}});
    t.push_back({"KATEGOR.db", {autoInc("ID"), text("KATEGOR", 50)}, {}, {}});
    t.push_back({"USLUGA.db", {autoInc("ID"), text("USLUGA", 50), integer("CENA"), integer("CENA1")},
                 {link("CEN", "CENA1")}, {}});
    // Staff and hospital directory.
    t.push_back({"OTDEL1.db", {autoInc("ID"), text("OTDEL", 20)}, {}, {}});
    t.push_back({"SOTR.db",
                 {autoInc("ID"), text("FIO", 40), text("DOL", 25), integer("TEL"), text("DOM", 20), date("ROJD"),
                  integer("SOTR")},
                 {link("SOT", "SOTR")}, {}});
    t.push_back({"BOL.db", {autoInc("ID"), text("BOL", 25)}, {}, {}});
    t.push_back({"BOL1.db", {autoInc("ID"), integer("BOL1"), text("BOL2", 20), integer("TELEPHONE")},
                 {link("BOL", "BOL1")}, {}});
    // Notebook.
    t.push_back({"TEMA.db", {autoInc("ID"), date("DATA"), text("TEMA", 50)}, {}, {}});
    t.push_back({"KNIGA.db", {autoInc("ID"), integer("ID_TEMA"), memo("ZAP")}, {link("TEM", "ID_TEMA")}, {}});
    return t;
}

}  // namespace

QString sqlTableName(const QString &fileName)
{
    if (fileName.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
        return fileName.left(fileName.size() - 3);
    return fileName;
}

QString sqlIndexName(const QString &fileName, const QString &indexName)
{
    return sqlTableName(fileName) + QLatin1Char('.') + indexName;
}

QString quoteIdent(const QString &name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString sqlTypeFor(const FieldDef &field)
{
    // Text compares with trailing blanks ignored (RTRIM): a pick-list value typed with a
    // trailing blank equals the same value without it, in lookups, counts and searches.
    switch (field.kind) {
    case FieldKind::AutoInc: return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case FieldKind::Integer: return QStringLiteral("INTEGER");
    case FieldKind::Text: return QStringLiteral("TEXT(%1) COLLATE RTRIM").arg(field.width);
    case FieldKind::Date: return QStringLiteral("DATE");
    case FieldKind::Number: return QStringLiteral("REAL");
    case FieldKind::Memo: return QStringLiteral("CLOB COLLATE RTRIM");
    }
    return {};
}

QString TableDef::sqlName() const { return sqlTableName(fileName); }

const FieldDef *TableDef::field(const QString &name) const
{
    for (const FieldDef &f : fields)
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

const std::vector<TableDef> &allTables()
{
    static const std::vector<TableDef> tables = buildTables();
    return tables;
}

const TableDef *findTable(const QString &fileName)
{
    for (const TableDef &t : allTables())
        if (t.fileName.compare(fileName, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

QStringList createStatements(const TableDef &table)
{
    QStringList out;
    QStringList cols;
    for (const FieldDef &f : table.fields)
        cols << quoteIdent(f.name) + QLatin1Char(' ') + sqlTypeFor(f);
    out << QStringLiteral("CREATE TABLE %1 (%2)").arg(quoteIdent(table.sqlName()), cols.join(QLatin1String(", ")));
    for (const IndexDef &ix : table.indexes) {
        QStringList parts;
        for (const QString &fname : ix.fields) {
            const FieldDef *f = table.field(fname);
            const bool fold = ix.caseInsensitive && f && f->kind == FieldKind::Text;
            parts << quoteIdent(fname) + (fold ? QStringLiteral(" COLLATE NOCASE") : QString());
        }
        out << QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                   .arg(ix.unique ? QStringLiteral("UNIQUE ") : QString(),
                        quoteIdent(sqlIndexName(table.fileName, ix.name)), quoteIdent(table.sqlName()),
                        parts.join(QLatin1String(", ")));
    }
    for (const auto &row : table.fixedRows) {
        QStringList names, values;
        for (size_t i = 0; i < row.size(); ++i) {
            names << quoteIdent(table.fields[i].name);
            const QVariant &v = row[i];
            if (v.typeId() == QMetaType::QString)
                values << QLatin1Char('\'') + v.toString().replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
            else
                values << v.toString();
        }
        out << QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                   .arg(quoteIdent(table.sqlName()), names.join(QLatin1String(", ")), values.join(QLatin1String(", ")));
    }
    return out;
}

}  // namespace orvelan
