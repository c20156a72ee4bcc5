// The department's queries: surname search, the statistics reports and the paid-services totals,
// run as the forms run them, through a query object with local SQL and positional parameters.
#include "Dataset.h"
#include "TestDatabase.h"

#include <QDate>
#include <QTest>

using namespace orvelan;

namespace {

QString lines(const QStringList &l) { return l.join(QLatin1Char('\n')); }

// A text literal for direct SQL.
QString literal(const QVariant &v)
{
    if (v.isNull())
        return QStringLiteral("NULL");
    QString s = v.toString();
    s.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + s + QLatin1Char('\'');
}

// Rows of one text field, one row per value (a null value makes a row without it).
void insertValues(TestDatabase &t, const QString &table, const QString &field, const QVariantList &values)
{
    for (const QVariant &v : values)
        t.exec(QStringLiteral("INSERT INTO %1 (\"%2\") VALUES (%3)").arg(table, field, literal(v)));
}

QStringList columnNames(Dataset &d)
{
    QStringList names;
    for (int c = 0; c < d.fieldCount(); ++c)
        names << d.fieldName(c);
    return names;
}

// The label as a report shows it: a trailing blank stored by a pick list is not seen.
QString shownLabel(const QVariant &v)
{
    QString s = v.toString();
    while (!s.isEmpty() && s.back().isSpace())
        s.chop(1);
    return s;
}

// The result as sorted "label=count" lines; the engine's row order is its own.
QStringList labelCounts(Dataset &d, const QStringList &labelFields, const QString &countField)
{
    const int count = d.fieldIndex(countField);
    QStringList out;
    for (int r = 0; r < d.recordCount(); ++r) {
        QStringList label;
        for (const QString &f : labelFields) {
            const int c = d.fieldIndex(f);
            if (c < 0)
                return {QStringLiteral("no column ") + f};
            label << shownLabel(d.rowValue(r, c));
        }
        const QVariant n = d.rowValue(r, count);
        out << label.join(QLatin1Char('|')) + QLatin1Char('=') + (n.isNull() ? QStringLiteral("null") : n.toString());
    }
    out.sort();
    return out;
}

QStringList sorted(QStringList l)
{
    l.sort();
    return l;
}

QStringList sortedColumn(Dataset &d, const QString &field)
{
    const int c = d.fieldIndex(field);
    QStringList out;
    for (int r = 0; r < d.recordCount(); ++r)
        out << d.rowValue(r, c).toString();
    out.sort();
    return out;
}

QString searchSql(const QString &file) { return lines({"SELECT*", "FROM " + file, "WHERE FIO LIKE :FIO"}); }

// A statistics report: one branch per listed value, joined by UNION.
QString valueChain(const QString &select, const QString &file, const QStringList &wheres, const QString &field)
{
    QStringList out;
    for (const QString &w : wheres) {
        if (!out.isEmpty())
            out << QStringLiteral("UNION");
        out << select << "FROM " + file << w << "GROUP BY " + field;
    }
    return lines(out);
}

QStringList deliveredWheres(const QString &field)
{
    QStringList w;
    for (const char *v : {"Скорой помощью", "Самостоятельно", "Милицией", "Посторонними", "Родственниками"})
        w << QStringLiteral("WHERE %1 = '%2'").arg(field, QString::fromUtf8(v));
    return w;
}

QString perRegisterSql()
{
    const std::pair<const char *, const char *> registers[] = {
        {"OTR3.db", "Отравления"}, {"FIO.db", "Терапия"}, {"OTR5.db", "Реанимация"}, {"MORE.db", "Умершие"}};
    QStringList out;
    for (const auto &[file, name] : registers) {
        if (!out.isEmpty())
            out << QStringLiteral("UNION");
        out << QStringLiteral("SELECT OTDEL,COUNT(FIO) AS KOL_VO") << QStringLiteral("FROM %1,OTDEL.db").arg(file)
            << QStringLiteral("WHERE OTDEL='%1'").arg(QString::fromUtf8(name)) << QStringLiteral("GROUP BY OTDEL,KOL_VO");
    }
    return lines(out);
}

QString bySexSql(const QString &file)
{
    return lines({"SELECT SEX1,SEX,COUNT(SEX)", "FROM " + file + ",SEX.db", "WHERE SEX='М' and SEX1='Мужчины'",
                  "GROUP BY SEX,SEX1", "UNION", "SELECT SEX1,SEX,COUNT(SEX)", "FROM " + file + ",SEX.db",
                  "WHERE SEX='Ж'and SEX1='Женщины'", "GROUP BY SEX,SEX1"});
}

const QString kPeriodSql = lines({"select count(SUMMA),sum(SUMMA)", "from PLATA.db", "where DATA <=(:SUM) and DATA >=(:SUM1)"});
const QString kAllPaymentsSql = lines({"select count(SUMMA),sum(SUMMA)", "from PLATA.db"});

// An empty "from" date as the payment form passes it: far before any stored date.
QDate emptyFromDate() { return QDate(1899, 12, 30).addDays(-700000); }

}  // namespace

class TestLocalSql : public QObject {
    Q_OBJECT
private slots:
    void surnameSearch_data();
    void surnameSearch();
    void surnameSearchBeforeFirstSearchFindsNothing_data();
    void surnameSearchBeforeFirstSearchFindsNothing();
    void surnameSearchIsLiveAndReruns_data();
    void surnameSearchIsLiveAndReruns();
    void patientsPerRegister_data();
    void patientsPerRegister();
    void patientsBySex_data();
    void patientsBySex();
    void patientsByCategory_data();
    void patientsByCategory();
    void patientsPerNosologicalForm_data();
    void patientsPerNosologicalForm();
    void paidServicesInPeriod_data();
    void paidServicesInPeriod();
    void paidServicesOverall();
};

// --- surname search --------------------------------------------------------------------------

void TestLocalSql::surnameSearch_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("expected");
    const QStringList ivanov{"Иванов", "Иванова", "Ивановский"};
    const QStringList everyone{" Смирнов", "Ёлкин", "Иванов", "Иванова", "Ивановский",
                               "Кузнецова-Иванова", "О'Коннор", "Петров", "Сванов"};
    for (const char *table : {"FIO", "OTR3", "OTR5", "MORE"}) {
        auto row = [&](const char *name) { return &QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(table, name))); };
        *row("prefix") << table << "Иванов" << ivanov;
        *row("lower case") << table << "иванов" << ivanov;
        *row("upper case") << table << "ИВАНОВ" << ivanov;
        *row("yo folds") << table << "ёлкин" << QStringList{"Ёлкин"};
        *row("underscore") << table << "_ванов" << QStringList{"Иванов", "Иванова", "Ивановский", "Сванов"};
        *row("containing") << table << "%ванов"
                           << QStringList{"Иванов", "Иванова", "Ивановский", "Кузнецова-Иванова", "Сванов"};
        *row("leading blank before a letter") << table << " Иванов" << QStringList{};
        *row("leading blank") << table << " " << QStringList{" Смирнов"};
        *row("stored leading blank not found by letter") << table << "Смирнов" << QStringList{};
        *row("apostrophe") << table << "О'Коннор" << QStringList{"О'Коннор"};
        *row("empty text lists everyone named") << table << "" << everyone;
        *row("no match") << table << "Яковлев" << QStringList{};
    }
}

void TestLocalSql::surnameSearch()
{
    QFETCH(QString, table);
    QFETCH(QString, typed);
    QFETCH(QStringList, expected);
    TestDatabase t;
    insertValues(t, table, "FIO",
                 {"Иванов", "Иванова", "Ивановский", "Сванов", "Петров", "Кузнецова-Иванова", "О'Коннор",
                  " Смирнов", "Ёлкин", QVariant(), QVariant()});
    Dataset d;
    d.setSql(searchSql(table + ".db"));
    d.setRequestLive(true);
    QCOMPARE(d.paramCount(), 1);
    d.setParam(0, QVariant(typed + "%"));
    d.open();
    QCOMPARE(sortedColumn(d, "FIO"), sorted(expected));
    QCOMPARE(d.recordCount(), expected.size());
}

void TestLocalSql::surnameSearchBeforeFirstSearchFindsNothing_data()
{
    QTest::addColumn<QString>("table");
    for (const char *table : {"FIO", "OTR3", "OTR5", "MORE"})
        QTest::newRow(table) << table;
}

void TestLocalSql::surnameSearchBeforeFirstSearchFindsNothing()
{
    QFETCH(QString, table);
    TestDatabase t;
    insertValues(t, table, "FIO", {"Иванов", "Петров"});
    Dataset d;
    d.setSql(searchSql(table + ".db"));
    d.setRequestLive(true);
    d.open();
    QVERIFY(d.isActive());
    QCOMPARE(d.recordCount(), 0);
    QCOMPARE(d.recNo(), -1);
    // The same query with the parameter given does see the rows, so the empty result is the null's.
    d.close();
    d.setParam(0, QStringLiteral("%"));
    d.open();
    QCOMPARE(d.recordCount(), 2);
}

void TestLocalSql::surnameSearchIsLiveAndReruns_data()
{
    QTest::addColumn<QString>("table");
    for (const char *table : {"FIO", "OTR3", "OTR5", "MORE"})
        QTest::newRow(table) << table;
}

void TestLocalSql::surnameSearchIsLiveAndReruns()
{
    QFETCH(QString, table);
    TestDatabase t;
    t.exec(QStringLiteral("INSERT INTO %1 (FIO, SEX) VALUES ('Иванов', 'М'), ('Петров', 'М')").arg(table));
    const QString names = QStringLiteral("SELECT group_concat(FIO, ',') FROM (SELECT FIO FROM %1 ORDER BY rowid)").arg(table);
    Dataset d;
    d.setSql(searchSql(table + ".db"));
    d.setRequestLive(true);
    d.setParam(0, QString::fromUtf8("иван%"));
    d.open();
    QCOMPARE(d.recordCount(), 1);
    QVERIFY(d.canModify());
    QCOMPARE(d.value("FIO").toString(), QString::fromUtf8("Иванов"));
    QCOMPARE(d.value("SEX").toString(), QString::fromUtf8("М"));  // the whole row, not just the searched field

    // Correcting the found patient writes into the register itself.
    d.setValue("FIO", QString::fromUtf8("Иваненко"));
    d.post();
    QCOMPARE(t.scalar(names), QString::fromUtf8("Иваненко,Петров"));
    QCOMPARE(t.scalar(QStringLiteral("SELECT SEX FROM %1 WHERE FIO = 'Иваненко'").arg(table)), QString::fromUtf8("М"));

    // A patient added from the search window lands in the register too.
    d.insert();
    d.setValue("FIO", QString::fromUtf8("Иванова"));
    d.setValue("SEX", QString::fromUtf8("Ж"));
    d.post();
    QCOMPARE(t.scalar(names), QString::fromUtf8("Иваненко,Петров,Иванова"));

    // Searching again with other text shows the new result, including rows written meanwhile.
    d.close();
    d.setParam(0, QString::fromUtf8("Петров%"));
    d.open();
    QCOMPARE(sortedColumn(d, "FIO"), QStringList{"Петров"});
    t.exec(QStringLiteral("INSERT INTO %1 (FIO) VALUES ('Иванчук')").arg(table));
    d.close();
    d.setParam(0, QString::fromUtf8("Иван%"));
    d.open();
    QCOMPARE(sortedColumn(d, "FIO"), sorted({"Иваненко", "Иванова", "Иванчук"}));
}

// --- statistics ------------------------------------------------------------------------------

void TestLocalSql::patientsPerRegister_data()
{
    QTest::addColumn<QStringList>("inserts");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("no patients anywhere") << QStringList{} << QStringList{};
    QTest::newRow("therapy only") << QStringList{"INSERT INTO FIO (FIO) VALUES ('А'), ('Б')"} << QStringList{"Терапия=2"};
    QTest::newRow("every register")
        << QStringList{"INSERT INTO OTR3 (FIO) VALUES ('А'), ('Б'), ('В'), (NULL)",
                       "INSERT INTO FIO (FIO) VALUES ('Г')",
                       "INSERT INTO OTR5 (FIO) VALUES ('Д'), ('Е')",
                       "INSERT INTO MORE (FIO) VALUES ('Ж'), ('З'), ('И'), ('К'), ('Л')"}
        << QStringList{"Отравления=3", "Реанимация=2", "Терапия=1", "Умершие=5"};
    // Rows without a name still make the register appear, with nobody counted.
    QTest::newRow("nameless rows and an empty register")
        << QStringList{"INSERT INTO OTR5 (SEX) VALUES ('М'), ('Ж')", "INSERT INTO MORE (FIO) VALUES ('Ж')"}
        << QStringList{"Реанимация=0", "Умершие=1"};
    // Equal counts in two registers stay two rows.
    QTest::newRow("same count twice")
        << QStringList{"INSERT INTO OTR3 (FIO) VALUES ('А')", "INSERT INTO FIO (FIO) VALUES ('Б')"}
        << QStringList{"Отравления=1", "Терапия=1"};
}

void TestLocalSql::patientsPerRegister()
{
    QFETCH(QStringList, inserts);
    QFETCH(QStringList, expected);
    TestDatabase t;
    for (const QString &sql : inserts)
        t.exec(sql);
    Dataset d;
    d.setSql(perRegisterSql());
    d.open();
    QCOMPARE(columnNames(d), QStringList({"OTDEL", "KOL_VO"}));
    QCOMPARE(labelCounts(d, {"OTDEL"}, "KOL_VO"), sorted(expected));
}

void TestLocalSql::patientsBySex_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QVariantList>("sexes");
    QTest::addColumn<QStringList>("expected");
    for (const char *table : {"OTR3", "OTR5", "FIO", "MORE"}) {
        auto row = [&](const char *name) { return &QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(table, name))); };
        // "M" below is the Latin letter, typed on the wrong keyboard layout.
        *row("men and women") << table << QVariantList{"М", "Ж", "М", "M", "Ж", QVariant(), "М"}
                              << QStringList{"Женщины|Ж=2", "Мужчины|М=3"};
        *row("women only") << table << QVariantList{"Ж", QVariant()} << QStringList{"Женщины|Ж=1"};
        *row("latin letter only") << table << QVariantList{"M", "M"} << QStringList{};
        *row("nobody") << table << QVariantList{} << QStringList{};
    }
}

void TestLocalSql::patientsBySex()
{
    QFETCH(QString, table);
    QFETCH(QVariantList, sexes);
    QFETCH(QStringList, expected);
    TestDatabase t;
    insertValues(t, table, "SEX", sexes);
    Dataset d;
    d.setSql(bySexSql(table + ".db"));
    d.open();
    QCOMPARE(columnNames(d), QStringList({"SEX1", "SEX", "COUNT OF SEX"}));
    QCOMPARE(labelCounts(d, {"SEX1", "SEX"}, "COUNT OF SEX"), sorted(expected));
}

void TestLocalSql::patientsByCategory_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QStringList>("expected");

    auto plain = [](const QString &field, const QStringList &listed) {
        QStringList w;
        for (const QString &v : listed)
            w << QStringLiteral("WHERE %1='%2'").arg(field, v);
        return valueChain(QStringLiteral("SELECT %1,COUNT(%1)").arg(field), "OTR3.db", w, field);
    };
    auto spaced = [](const QString &field, const QString &file, const QStringList &listed) {
        QStringList w;
        for (const QString &v : listed)
            w << QStringLiteral("WHERE %1 ='%2'").arg(field, v);
        return valueChain(QStringLiteral("SELECT %1, COUNT(%1)").arg(field), file, w, field);
    };
    auto delivered = [](const QString &field, const QString &file) {
        return valueChain(QStringLiteral("SELECT %1, COUNT(%1)").arg(field), file, deliveredWheres(field), field);
    };
    const QString reasons = plain("PRICHINY", {"Суицидальное", "Случайное", "Криминальное"});
    const QString severity = plain("ST_TIAG", {"Легкая", "Средняя", "Тяжелая", "Крайне тяжелая"});
    const QString delay = plain("VREMIA_OTR", {"Первые 6 часов", "6 -12 часов", "12 -24 часа", "Более 24 часов"});
    const QStringList agreement{"Совпадение", "Расхождение"};

    QTest::newRow("reasons") << reasons << "OTR3" << "PRICHINY"
                             << QVariantList{"Суицидальное", "Случайное", "Суицидальное", "Прочее", QVariant(), ""}
                             << QStringList{"Случайное=1", "Суицидальное=2"};
    QTest::newRow("reasons, none recorded") << reasons << "OTR3" << "PRICHINY" << QVariantList{QVariant()} << QStringList{};
    // "Тяжелая" is the end of "Крайне тяжелая": each is counted only under itself.
    QTest::newRow("severity") << severity << "OTR3" << "ST_TIAG"
                              << QVariantList{"Крайне тяжелая", "Легкая", "Тяжелая", "Крайне тяжелая", QVariant()}
                              << QStringList{"Крайне тяжелая=2", "Легкая=1", "Тяжелая=1"};
    QTest::newRow("time to admission")
        << delay << "OTR3" << "VREMIA_OTR"
        << QVariantList{"Более 24 часов", "6 -12 часов", "Первые 6 часов", "Более 24 часов", "12 -24 часа",
                        "6 -12 часов", "Более 24 часов", "6-12 часов"}
        << QStringList{"12 -24 часа=1", "6 -12 часов=2", "Более 24 часов=3", "Первые 6 часов=1"};
    QTest::newRow("diagnosis agreement, poisonings")
        << spaced("DIAGNOZSOVP", "OTR3.db", agreement) << "OTR3" << "DIAGNOZSOVP"
        << QVariantList{"Совпадение", "Расхождение", "Совпадение", QVariant()}
        << QStringList{"Расхождение=1", "Совпадение=2"};
    QTest::newRow("diagnosis agreement, deceased")
        << spaced("COVP", "MORE.db", agreement) << "MORE" << "COVP"
        << QVariantList{"Расхождение", QVariant(), "Расхождение", "Несовпадение"} << QStringList{"Расхождение=2"};
    // The therapy and reanimation pick lists write "Посторонними " with a trailing blank.
    QTest::newRow("delivered, therapy")
        << delivered("KEM_DOST", "FIO.db") << "FIO" << "KEM_DOST"
        << QVariantList{"Скорой помощью", "Посторонними ", "Милицией", "Посторонними", "Скорой помощью",
                        "Родственниками", "Соседями", QVariant()}
        << QStringList{"Милицией=1", "Посторонними=2", "Родственниками=1", "Скорой помощью=2"};
    QTest::newRow("delivered, reanimation")
        << delivered("KEM_DOST", "OTR5.db") << "OTR5" << "KEM_DOST"
        << QVariantList{"Посторонними ", "Самостоятельно", "Посторонними "}
        << QStringList{"Посторонними=2", "Самостоятельно=1"};
    QTest::newRow("delivered, poisonings")
        << delivered("KEM", "OTR3.db") << "OTR3" << "KEM"
        << QVariantList{"Самостоятельно", "Посторонними ", "Скорой помощью", "Самостоятельно", "Милицией", "Милицией",
                        "Милицией"}
        << QStringList{"Милицией=3", "Посторонними=1", "Самостоятельно=2", "Скорой помощью=1"};
    QTest::newRow("delivered, empty register") << delivered("KEM", "OTR3.db") << "OTR3" << "KEM" << QVariantList{}
                                               << QStringList{};
}

void TestLocalSql::patientsByCategory()
{
    QFETCH(QString, sql);
    QFETCH(QString, table);
    QFETCH(QString, field);
    QFETCH(QVariantList, values);
    QFETCH(QStringList, expected);
    TestDatabase t;
    insertValues(t, table, field, values);
    Dataset d;
    d.setSql(sql);
    d.open();
    QCOMPARE(columnNames(d), QStringList({field, "COUNT OF " + field}));
    QCOMPARE(labelCounts(d, {field}, "COUNT OF " + field), sorted(expected));
}

void TestLocalSql::patientsPerNosologicalForm_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("forms");      // the table of forms
    QTest::addColumn<QString>("formKey");    // its key field
    QTest::addColumn<QString>("formName");   // its name field
    QTest::addColumn<QString>("patients");   // the register
    QTest::addColumn<QString>("link");       // the register's link to a form
    QTest::addColumn<QStringList>("columns");
    QTest::newRow("therapy")
        << lines({"select ID_OBS ,ID_OTR,NAME_LONG,  COUNT (NAME_LONG)", "from OTRAVLENIYA.db,FIO.db",
                  "where ID_OTR = ID_OBS", "GROUP BY NAME_LONG ,ID_OTR,ID_OBS"})
        << "OTRAVLENIYA" << "ID_OTR" << "NAME_LONG" << "FIO" << "ID_OBS"
        << QStringList{"ID_OBS", "ID_OTR", "NAME_LONG", "COUNT OF NAME_LONG"};
    QTest::newRow("poisonings")
        << lines({"select ID ,OT,OTR,  COUNT (OTR)", "from OTR2.db,OTR3.db", "where ID = OT", "GROUP BY OTR ,OT,ID"})
        << "OTR2" << "ID" << "OTR" << "OTR3" << "OT" << QStringList{"ID", "OT", "OTR", "COUNT OF OTR"};
    QTest::newRow("reanimation")
        << lines({"select ID_OBS ,ID_OTR,NAME_LONG ,COUNT (NAME_LONG)", "from OTR4.db,OTR5.db", "where ID_OTR = ID_OBS",
                  "GROUP BY ID_OBS ,ID_OTR,NAME_LONG"})
        << "OTR4" << "ID_OTR" << "NAME_LONG" << "OTR5" << "ID_OBS"
        << QStringList{"ID_OBS", "ID_OTR", "NAME_LONG", "COUNT OF NAME_LONG"};
    QTest::newRow("deceased")
        << lines({"select MOR ,ID_OTR,NAME_LONG ,COUNT (NAME_LONG)", "from OTR6.db,MORE.db", "where ID_OTR = MOR",
                  "GROUP BY MOR ,ID_OTR,NAME_LONG"})
        << "OTR6" << "ID_OTR" << "NAME_LONG" << "MORE" << "MOR"
        << QStringList{"MOR", "ID_OTR", "NAME_LONG", "COUNT OF NAME_LONG"};
}

void TestLocalSql::patientsPerNosologicalForm()
{
    QFETCH(QString, sql);
    QFETCH(QString, forms);
    QFETCH(QString, formKey);
    QFETCH(QString, formName);
    QFETCH(QString, patients);
    QFETCH(QString, link);
    QFETCH(QStringList, columns);
    TestDatabase t;
    // Two forms share a name; form 4 has no name; form 5 has nobody.
    t.exec(QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (1, 'Метанол'), (2, 'Метанол'), (3, 'Угарный газ'), "
                          "(4, NULL), (5, 'Уксусная кислота')")
               .arg(forms, formKey, formName));
    // Patients of forms 1 (twice), 2, 3 (three times), 4 (twice); one of a form that is gone, one of none.
    t.exec(QStringLiteral("INSERT INTO %1 (%2, FIO) VALUES (1, 'а'), (3, 'б'), (1, 'в'), (2, 'г'), (3, 'д'), "
                          "(4, 'е'), (3, 'ж'), (9, 'з'), (NULL, 'и'), (4, NULL)")
               .arg(patients, link));
    Dataset d;
    d.setSql(sql);
    d.open();
    const QString count = "COUNT OF " + formName;
    QCOMPARE(columnNames(d), columns);
    // Each row names its form by key: the link in the register and the form's own key agree.
    QStringList got;
    for (int r = 0; r < d.recordCount(); ++r) {
        QCOMPARE(d.rowValue(r, 0).toInt(), d.rowValue(r, 1).toInt());
        got << QStringLiteral("%1:%2=%3")
                   .arg(d.rowValue(r, d.fieldIndex(formKey)).toString(), d.rowValue(r, d.fieldIndex(formName)).toString(),
                        d.rowValue(r, d.fieldIndex(count)).toString());
    }
    got.sort();
    QCOMPARE(got, sorted({"1:Метанол=2", "2:Метанол=1", "3:Угарный газ=3", "4:=0"}));
}

// --- paid services ---------------------------------------------------------------------------

void TestLocalSql::paidServicesInPeriod_data()
{
    QTest::addColumn<QVariant>("from");
    QTest::addColumn<QVariant>("to");
    QTest::addColumn<int>("count");
    QTest::addColumn<QVariant>("sum");
    const auto day = [](int m, int d) { return QVariant(QDate(2024, m, d)); };
    const QVariant none;
    QTest::newRow("whole month, both ends kept") << day(3, 1) << day(3, 31) << 4 << QVariant(2000);
    QTest::newRow("one day, one person twice") << day(3, 1) << day(3, 1) << 2 << QVariant(800);
    QTest::newRow("inside the ends") << day(3, 2) << day(3, 30) << 1 << QVariant(1000);
    QTest::newRow("across a month end") << day(3, 31) << day(4, 1) << 2 << QVariant(900);
    QTest::newRow("leap day") << day(2, 29) << day(2, 29) << 1 << QVariant(50);
    QTest::newRow("from after to") << day(3, 31) << day(3, 1) << 0 << none;
    QTest::newRow("only a payment without sum") << day(3, 10) << day(3, 10) << 0 << none;
    QTest::newRow("nothing paid") << day(5, 1) << day(5, 31) << 0 << none;
    QTest::newRow("no dates given") << none << none << 0 << none;
    QTest::newRow("no from date") << none << day(3, 31) << 0 << none;
    QTest::newRow("no to date") << day(3, 1) << none << 0 << none;
    QTest::newRow("empty from date opens the start") << QVariant(emptyFromDate()) << day(3, 15) << 4 << QVariant(1850);
    QTest::newRow("every dated payment") << QVariant(emptyFromDate()) << QVariant(QDate(2100, 1, 1)) << 6 << QVariant(2750);
}

void TestLocalSql::paidServicesInPeriod()
{
    QFETCH(QVariant, from);
    QFETCH(QVariant, to);
    QFETCH(int, count);
    QFETCH(QVariant, sum);
    TestDatabase t;
    {
        // Entered through the payments table, as the form does, so dates are stored its way.
        Dataset plata;
        plata.setTableName(QStringLiteral("PLATA.db"));
        plata.open();
        const struct {
            QVariant date;
            const char *who;
            QVariant summa;
        } payments[] = {
            {QDate(2024, 3, 1), "Иванов", 500},   {QDate(2024, 3, 15), "Петров", 1000},
            {QDate(2024, 3, 1), "Иванов", 300},   {QDate(2024, 3, 31), "Сидоров", 200},
            {QDate(2024, 4, 1), "Козлов", 700},   {QVariant(), "Орлов", 400},
            {QDate(2024, 3, 10), "Белов", QVariant()}, {QDate(2024, 2, 29), "Зайцев", 50},
        };
        for (const auto &p : payments) {
            plata.insert();
            plata.setValue("DATA", p.date);
            plata.setValue("FIO", QString::fromUtf8(p.who));
            plata.setValue("USLUGA", QString::fromUtf8("Анализ крови"));
            plata.setValue("SUMMA", p.summa);
            plata.post();
        }
    }
    QCOMPARE(t.scalar("SELECT count(*) FROM PLATA"), QStringLiteral("8"));
    Dataset d;
    d.setSql(kPeriodSql);
    QCOMPARE(d.paramCount(), 2);
    d.setParam(0, to);
    d.setParam(1, from);
    d.open();
    QCOMPARE(columnNames(d), QStringList({"COUNT OF SUMMA", "SUM OF SUMMA"}));
    QCOMPARE(d.recordCount(), 1);
    QCOMPARE(d.rowValue(0, d.fieldIndex("COUNT OF SUMMA")).toInt(), count);
    const QVariant got = d.rowValue(0, d.fieldIndex("SUM OF SUMMA"));
    QCOMPARE(got.isNull(), sum.isNull());
    if (!sum.isNull())
        QCOMPARE(got.toLongLong(), sum.toLongLong());
}

void TestLocalSql::paidServicesOverall()
{
    TestDatabase t;
    t.exec("INSERT INTO PLATA (DATA, FIO, SUMMA) VALUES ('2024-03-01', 'Иванов', 500), ('2024-03-01', 'Иванов', 300), "
           "(NULL, 'Орлов', 400), ('2023-12-31', 'Белов', NULL), ('2024-06-30', 'Зайцев', 50)");
    Dataset d;
    d.setSql(kAllPaymentsSql);
    QCOMPARE(d.paramCount(), 0);
    d.open();
    QCOMPARE(columnNames(d), QStringList({"COUNT OF SUMMA", "SUM OF SUMMA"}));
    QCOMPARE(d.recordCount(), 1);
    QCOMPARE(d.rowValue(0, 0).toInt(), 4);  // the undated payment counts, the one without a sum does not
    QCOMPARE(d.rowValue(0, 1).toLongLong(), 1250LL);

    // Once nothing is left with a sum, the total is empty rather than zero.
    t.exec("DELETE FROM PLATA WHERE SUMMA IS NOT NULL");
    d.close();
    d.open();
    QCOMPARE(d.recordCount(), 1);
    QCOMPARE(d.rowValue(0, 0).toInt(), 0);
    QVERIFY(d.rowValue(0, 1).isNull());
}

QTEST_GUILESS_MAIN(TestLocalSql)
#include "test_local_sql.moc"
