// The data engine: aliases, schemas, field objects, cursors, master-detail, lookups, failures.
#include "Alias.h"
#include "Database.h"
#include "Dataset.h"
#include "EngineError.h"
#include "Schema.h"
#include "SchemaBuilder.h"
#include "SqlLike.h"
#include "TestDatabase.h"

#include <QFile>
#include <memory>
#include <QSignalSpy>
#include <QTest>
#include <sqlite3.h>

using namespace orvelan;

namespace {

QString engineMessage(const std::function<void()> &f)
{
    try {
        f();
    } catch (const EngineError &e) {
        return e.message();
    }
    return {};
}

}  // namespace

class TestEngine : public QObject {
    Q_OBJECT
private slots:
    void createsEveryTableOnceWithFixedRows();
    void aliasResolvesThroughStandardLocations();
    void openRefusesMissingOrMistypedObjects();
    void textIsCutToWidthAndEmptyIsNull();
    void refusedValuesStoreNothing_data();
    void refusedValuesStoreNothing();
    void autoIncrementNeverReused();
    void cursorMovesAndEvents();
    void masterDetailFollowsAndFiles();
    void masterMovePostsChangedDetailAndDropsUntouchedInsert();
    void lookupsMatchByKeyOrExactText();
    void lookupNotRecomputedWhileEditingWhenOff();
    void likeFoldsCyrillicAndLatin_data();
    void likeFoldsCyrillicAndLatin();
    void pagingReadsOnlyWhatIsShown();
    void sortAndValueFilterKeepCurrentRow();
    void corruptAndLockedFilesGiveErrors();
    void beforeDeleteFailureAbortsDeletion();
    void earlyDatesBindBeforeEveryStoredDate();
    void postedRowIsOnDiskWhenPostReturns();
    void namedIndexOrdersRowsAndLookupsOutliveTheirDictionary();
};

void TestEngine::createsEveryTableOnceWithFixedRows()
{
    TestDatabase t;
    QCOMPARE(t.db().tableNames().size(), int(allTables().size()));
    QCOMPARE(t.rows("SELECT SEX1 FROM SEX ORDER BY rowid"), QString::fromUtf8("Мужчины\nЖенщины"));
    QCOMPARE(t.rows("SELECT OTDEL FROM OTDEL ORDER BY rowid"), QString::fromUtf8("Отравления\nТерапия\nРеанимация\nУмершие"));
    QVERIFY(t.db().hasIndex(QStringLiteral("OTR3.OT")));
    QVERIFY(t.db().hasIndex(QStringLiteral("FIO.ID_OBS")));
    QVERIFY(t.db().hasIndex(QStringLiteral("OTR5.ID_OBS")));
    QVERIFY(t.db().hasIndex(QStringLiteral("OTR2.ot")));
    QCOMPARE(t.db().indexFields(QStringLiteral("OTR2.ot")), QStringList({"ID", "OTR"}));
    // The widened diagnosis fields of the deceased hold a whole dictionary entry.
    for (const FieldDef &f : t.db().storedFields(QStringLiteral("MORE")))
        if (f.name.startsWith(QLatin1String("DIAGN")))
            QCOMPARE(f.width, 70);
    const QString msg = engineMessage([&] { createAllTables(t.db()); });
    QVERIFY2(msg.contains(QString::fromUtf8("уже содержит таблицы")), qPrintable(msg));
}

void TestEngine::aliasResolvesThroughStandardLocations()
{
    TestDatabase t(false);
    QVERIFY(Alias::defaultDatabaseFile().startsWith(QString::fromUtf8(qgetenv("XDG_DATA_HOME"))));
    QVERIFY(engineMessage([] { Alias::resolve(QStringLiteral("Другая")); }).contains(QString::fromUtf8("Неизвестный псевдоним")));
    QVERIFY(engineMessage([] { Database::open(Alias::kDefault); }).contains(QString::fromUtf8("Нет файла базы данных")));
    // Pointing the alias at another file, as a second department would.
    const QString other = QString::fromUtf8(qgetenv("XDG_DATA_HOME")) + QStringLiteral("/other.sqlite");
    Alias::setPath(Alias::kDefault, other);
    QCOMPARE(Alias::resolve(Alias::kDefault), other);
    createAllTables(*Database::openFile(other, true));
    Dataset d;
    d.setTableName(QStringLiteral("SEX.db"));
    d.open();
    QCOMPARE(d.recordCount(), 2);
}

void TestEngine::openRefusesMissingOrMistypedObjects()
{
    TestDatabase t;
    struct Case {
        const char *table;
        FieldDef field;
        const char *index;
        const char *expected;
    } cases[] = {
        {"NOPE.db", {"ID", FieldKind::AutoInc}, "", "Таблица «NOPE.db» не найдена"},
        {"OTR3.db", {"NOFIELD", FieldKind::Text, 5}, "", "Поле «NOFIELD» не найдено"},
        {"OTR3.db", {"FIO", FieldKind::Integer}, "", "имеет тип «текст», а ожидался «целое»"},
        {"OTR3.db", {"ID_O1", FieldKind::Integer}, "", "имеет тип «счётчик»"},
        {"OTR3.db", {"FIO", FieldKind::Text, 10}, "NOINDEX", "Индекс «NOINDEX»"},
    };
    for (const Case &c : cases) {
        Dataset d;
        d.setTableName(QString::fromUtf8(c.table));
        d.addField(c.field);
        d.setIndexName(QString::fromUtf8(c.index));
        const QString msg = engineMessage([&] { d.open(); });
        QVERIFY2(msg.contains(QString::fromUtf8(c.expected)), qPrintable(msg));
        QVERIFY(!d.isActive());
    }
    // Widths are not compared: a narrower declaration opens and cuts to its own width.
    Dataset d;
    d.setTableName(QStringLiteral("OTR3.db"));
    d.addField({"FIO", FieldKind::Text, 5});
    d.open();
    d.insert();
    d.setValue("FIO", QString::fromUtf8("Петров"));
    d.post();
    QCOMPARE(t.scalar("SELECT FIO FROM OTR3"), QString::fromUtf8("Петро"));
}

void TestEngine::textIsCutToWidthAndEmptyIsNull()
{
    TestDatabase t;
    Dataset d;
    d.setTableName(QStringLiteral("OTR3.db"));
    d.open();
    d.insert();
    d.setValue("FIO", QString(45, QChar(0x0416)));  // 45 × «Ж»
    d.setValue("ST_TIAG", QString::fromUtf8("Крайне тяжелая"));
    d.setValue("GHITEL", QString::fromUtf8("   "));
    d.setValue("KEM", QString::fromUtf8("Посторонними "));
    d.post();
    QCOMPARE(t.scalar("SELECT length(FIO) FROM OTR3"), QStringLiteral("40"));
    QCOMPARE(t.scalar("SELECT ST_TIAG FROM OTR3"), QString::fromUtf8("Крайне тяжелая"));
    QCOMPARE(t.scalar("SELECT GHITEL IS NULL FROM OTR3"), QStringLiteral("1"));
    // Trailing blanks are kept as typed but ignored when text is compared.
    QCOMPARE(t.scalar(QString::fromUtf8("SELECT count(*) FROM OTR3 WHERE KEM = 'Посторонними'")), QStringLiteral("1"));
    d.insert();
    d.setValue("FIO", QString::fromUtf8("Сидоров"));
    d.post();
    d.edit();
    d.setValue("FIO", QString());  // emptied
    d.post();
    QCOMPARE(t.scalar("SELECT count(FIO) FROM OTR3"), QStringLiteral("1"));
    QCOMPARE(t.scalar("SELECT count(*) FROM OTR3"), QStringLiteral("2"));
}

void TestEngine::refusedValuesStoreNothing_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("message");
    QTest::newRow("text in integer") << "VOZRAST" << QVariant(QString::fromUtf8("сорок")) << "не является целым числом";
    QTest::newRow("fraction in integer") << "KOIKO" << QVariant(2.5) << "не является целым числом";
    QTest::newRow("decimal text in integer") << "KOIKO" << QVariant(QStringLiteral("2.5")) << "не является целым числом";
    QTest::newRow("over 32 bits") << "N IST" << QVariant(QStringLiteral("2147483648")) << "вне допустимого диапазона";
    QTest::newRow("under 32 bits") << "N IST" << QVariant(qlonglong(-2147483649LL)) << "вне допустимого диапазона";
    QTest::newRow("no date") << "DATAPOST" << QVariant(QStringLiteral("31.02.2024")) << "не является датой";
    QTest::newRow("words for a date") << "DataVIP" << QVariant(QString::fromUtf8("вчера")) << "не является датой";
    QTest::newRow("text in number") << "%ALC" << QVariant(QStringLiteral("1,2,3")) << "не является числом";
    QTest::newRow("key is the engine's") << "ID_O1" << QVariant(5) << "заполняется автоматически";
}

void TestEngine::refusedValuesStoreNothing()
{
    QFETCH(QString, field);
    QFETCH(QVariant, value);
    QFETCH(QString, message);
    TestDatabase t;
    t.exec(QString::fromUtf8("INSERT INTO OTR3 (FIO, VOZRAST, KOIKO, \"N IST\", DATAPOST, DataVIP, \"%ALC\") "
                             "VALUES ('Иванов', 40, 3, 17, '2024-01-02', '2024-01-05', 0.5)"));
    const QString before = t.rows("SELECT * FROM OTR3");
    Dataset d;
    d.setTableName(QStringLiteral("OTR3.db"));
    d.open();
    const QVariant was = d.value(field);
    const QString msg = engineMessage([&] { d.setValue(field, value); });
    QVERIFY2(msg.contains(QString::fromUtf8(message.toUtf8())), qPrintable(msg));
    QVERIFY2(msg.contains(field), qPrintable(msg));  // the message names the field
    QCOMPARE(d.value(field), was);
    d.post();
    QCOMPARE(t.rows("SELECT * FROM OTR3"), before);
}

void TestEngine::autoIncrementNeverReused()
{
    TestDatabase t;
    Dataset d;
    d.setTableName(QStringLiteral("OT_R.db"));
    d.open();
    for (const char *name : {"T40.2", "T51.0", "T42.4"}) {
        d.insert();
        d.setValue("MKB", QString::fromUtf8(name));
        d.post();
    }
    QCOMPARE(d.value("ID").toInt(), 3);
    d.last();
    d.deleteRecord();
    d.insert();
    d.setValue("MKB", QStringLiteral("T39.0"));
    d.post();
    QCOMPARE(d.value("ID").toInt(), 4);
    QCOMPARE(t.rows("SELECT ID FROM OT_R ORDER BY ID"), QStringLiteral("1\n2\n4"));
}

void TestEngine::cursorMovesAndEvents()
{
    TestDatabase t;
    for (int i = 1; i <= 5; ++i)
        t.exec(QStringLiteral("INSERT INTO OTR4 (NAME_LONG) VALUES ('F%1')").arg(i));
    Dataset d;
    d.setTableName(QStringLiteral("OTR4.db"));
    QCOMPARE(d.state(), Dataset::State::Inactive);
    d.open();
    QStringList log;
    d.addAfterPost([&](Dataset &) { log << "post"; });
    d.addBeforeDelete([&](Dataset &ds) { log << "before " + ds.value("NAME_LONG").toString(); });
    d.addAfterDelete([&](Dataset &ds) { log << QStringLiteral("after %1").arg(ds.recordCount()); });
    QCOMPARE(d.recordCount(), 5);
    QVERIFY(d.isFirst());
    d.last();
    QVERIFY(d.isLast());
    QCOMPARE(d.value("NAME_LONG").toString(), QStringLiteral("F5"));
    d.prior();
    QCOMPARE(d.value("NAME_LONG").toString(), QStringLiteral("F4"));
    d.edit();
    QCOMPARE(d.state(), Dataset::State::Edit);
    d.setValue("NAME_LONG", QStringLiteral("changed"));
    d.cancel();
    QCOMPARE(d.value("NAME_LONG").toString(), QStringLiteral("F4"));
    d.setValue("NAME_LONG", QStringLiteral("F4b"));  // typing starts editing
    QCOMPARE(d.state(), Dataset::State::Edit);
    d.next();  // moving posts
    QCOMPARE(t.scalar("SELECT NAME_LONG FROM OTR4 WHERE ID_OTR = 4"), QStringLiteral("F4b"));
    d.deleteRecord();
    QCOMPARE(log, QStringList({"post", "before F5", "after 4"}));
    QCOMPARE(d.value("NAME_LONG").toString(), QStringLiteral("F4b"));
    // Refresh sees what another writer did and keeps the current row.
    t.exec("INSERT INTO OTR4 (NAME_LONG) VALUES ('F6')");
    d.first();
    d.refresh();
    QCOMPARE(d.recordCount(), 5);
    QCOMPARE(d.value("NAME_LONG").toString(), QStringLiteral("F1"));
    d.close();
    QVERIFY(!d.isActive());
    QCOMPARE(d.recordCount(), 0);
}

void TestEngine::masterDetailFollowsAndFiles()
{
    TestDatabase t;
    t.exec("INSERT INTO OTR2 (OTR) VALUES ('A'), ('B'), ('C')");
    t.exec("INSERT INTO OTR3 (OT, FIO) VALUES (1, 'a1'), (2, 'b1'), (1, 'a2'), (NULL, 'orphan')");
    Dataset master, detail;
    master.setTableName(QStringLiteral("OTR2.db"));
    detail.setTableName(QStringLiteral("OTR3.db"));
    detail.setIndexName(QStringLiteral("OT"));
    detail.setMasterSource(&master);
    detail.setMasterFields(QStringLiteral("ID"));
    master.open();
    detail.open();
    QCOMPARE(detail.recordCount(), 2);
    QCOMPARE(detail.value("FIO").toString(), QStringLiteral("a1"));
    master.next();
    QCOMPARE(detail.recordCount(), 1);
    QCOMPARE(detail.value("FIO").toString(), QStringLiteral("b1"));
    master.next();  // a form with no cases
    QCOMPARE(detail.recordCount(), 0);
    detail.insert();
    QCOMPARE(detail.value("OT").toInt(), 3);  // the key is filed at once
    detail.setValue("FIO", QStringLiteral("c1"));
    detail.post();
    QCOMPARE(t.scalar("SELECT OT FROM OTR3 WHERE FIO = 'c1'"), QStringLiteral("3"));
    // Deleting a form leaves its cases.
    master.first();
    master.deleteRecord();
    QCOMPARE(t.scalar("SELECT count(*) FROM OTR3 WHERE OT = 1"), QStringLiteral("2"));
    QCOMPARE(detail.value("FIO").toString(), QStringLiteral("b1"));
    // With no form left, the detail shows the cases with a blank link and files new ones blank.
    master.deleteRecord();
    master.deleteRecord();
    QCOMPARE(master.recordCount(), 0);
    QCOMPARE(detail.recordCount(), 1);
    QCOMPARE(detail.value("FIO").toString(), QStringLiteral("orphan"));
    detail.insert();
    detail.setValue("FIO", QStringLiteral("blank"));
    detail.post();
    QCOMPARE(t.scalar("SELECT OT IS NULL FROM OTR3 WHERE FIO = 'blank'"), QStringLiteral("1"));
}

void TestEngine::masterMovePostsChangedDetailAndDropsUntouchedInsert()
{
    TestDatabase t;
    t.exec("INSERT INTO OTRAVLENIYA (NAME_LONG) VALUES ('A'), ('B')");
    t.exec("INSERT INTO FIO (ID_OBS, FIO) VALUES (1, 'a1')");
    Dataset master, detail;
    master.setTableName(QStringLiteral("OTRAVLENIYA.db"));
    detail.setTableName(QStringLiteral("FIO.db"));
    detail.setIndexName(QStringLiteral("ID_OBS"));
    detail.setMasterSource(&master);
    detail.setMasterFields(QStringLiteral("ID_OTR"));
    master.open();
    detail.open();
    detail.setValue("VOZ", 33);
    master.next();
    QCOMPARE(t.scalar("SELECT VOZ FROM FIO WHERE ID = 1"), QStringLiteral("33"));
    detail.insert();  // untouched
    master.prior();
    QCOMPARE(t.scalar("SELECT count(*) FROM FIO"), QStringLiteral("1"));
    QCOMPARE(detail.state(), Dataset::State::Browse);
    // A detail row the engine refuses keeps the master where it is and the typing intact.
    detail.insert();
    detail.setValue("FIO", QStringLiteral("new"));
    t.exec("CREATE TRIGGER refuse BEFORE INSERT ON FIO BEGIN SELECT RAISE(ABORT, 'refused'); END");
    const QString msg = engineMessage([&] { master.next(); });
    QVERIFY2(msg.contains("refused"), qPrintable(msg));
    QCOMPARE(master.value("NAME_LONG").toString(), QStringLiteral("A"));
    QCOMPARE(detail.state(), Dataset::State::Insert);
    QCOMPARE(detail.value("FIO").toString(), QStringLiteral("new"));
}

void TestEngine::lookupsMatchByKeyOrExactText()
{
    TestDatabase t;
    t.exec(QString::fromUtf8("INSERT INTO OT_R (MKB) VALUES ('T40.2 Опиоиды'), ('T51.0 Этанол')"));
    t.exec(QString::fromUtf8("INSERT INTO PATANATOM (NAME_LONG) VALUES ('Отёк мозга'), ('%1')").arg(QString(60, QChar(0x0429))));
    t.exec("INSERT INTO OTR3 (FIO, DIADNOZ) VALUES ('p1', '2'), ('p2', '7'), ('p3', NULL), ('p4', '2x')");
    t.exec(QString::fromUtf8("INSERT INTO MORE (FIO, \"DIAGN PAT\") VALUES ('d1', 'Отёк мозга'), ('d2', 'отёк мозга')"));
    Dataset dict, dict2, cases, dead;
    dict.setTableName(QStringLiteral("OT_R.db"));
    dict2.setTableName(QStringLiteral("PATANATOM.db"));
    cases.setTableName(QStringLiteral("OTR3.db"));
    cases.addField({"FIO", FieldKind::Text, 40});
    cases.addField({"DIADNOZ", FieldKind::Text, 40});
    cases.addLookup({"DIAGNOZ3", 40, "DIADNOZ", &dict, "ID", "MKB"});
    dead.setTableName(QStringLiteral("MORE.db"));
    dead.addField({"FIO", FieldKind::Text, 50});
    dead.addField({"DIAGN PAT", FieldKind::Text, 70});
    dead.addLookup({"PAT", 50, "DIAGN PAT", &dict2, "NAME_LONG", "NAME_LONG"});
    dict.open();
    dict2.open();
    cases.open();
    dead.open();
    QStringList shown;
    for (int r = 0; r < cases.recordCount(); ++r)
        shown << cases.rowValue(r, cases.fieldIndex("DIAGNOZ3")).toString();
    QCOMPARE(shown, QStringList({QString::fromUtf8("T51.0 Этанол"), "", "", ""}));
    QCOMPARE(dead.rowValue(0, 2).toString(), QString::fromUtf8("Отёк мозга"));
    QVERIFY(dead.rowValue(1, 2).isNull());  // letter case differs: no match
    // Choosing an entry writes its key as decimal text into the text field.
    cases.moveTo(2);
    cases.setLookupValue("DIAGNOZ3", 1);
    QCOMPARE(cases.value("DIAGNOZ3").toString(), QString::fromUtf8("T40.2 Опиоиды"));
    cases.post();
    QCOMPARE(t.scalar("SELECT DIADNOZ || ':' || typeof(DIADNOZ) FROM OTR3 WHERE FIO = 'p3'"), QStringLiteral("1:text"));
    QVERIFY(engineMessage([&] { cases.setLookupValue("DIAGNOZ3", 99); }).contains(QString::fromUtf8("нет в справочнике")));
    // A 60-character diagnosis is stored whole and shown cut to the lookup's 50.
    dead.moveTo(1);
    const auto entries = dead.lookupEntries("PAT");
    QCOMPARE(int(entries.size()), 2);
    dead.setLookupValue("PAT", entries[1].key);
    dead.post();
    QCOMPARE(t.scalar("SELECT length(\"DIAGN PAT\") FROM MORE WHERE FIO = 'd2'"), QStringLiteral("60"));
    QCOMPARE(dead.value("PAT").toString(), QString(50, QChar(0x0429)));
    // Renaming an entry shows at once for key lookups.
    dict.first();
    dict.setValue("MKB", QStringLiteral("T40.1"));
    dict.post();
    cases.refresh();
    QCOMPARE(cases.value("DIAGNOZ3").toString(), QStringLiteral("T40.1"));
}

void TestEngine::lookupNotRecomputedWhileEditingWhenOff()
{
    TestDatabase t;
    t.exec("INSERT INTO TYPE_WORK (NAME_LONG) VALUES ('K1'), ('K2')");
    t.exec("INSERT INTO MORE (FIO, \"DIAGN KLIN\") VALUES ('d', 'K1')");
    Dataset dict;
    dict.setTableName(QStringLiteral("TYPE_WORK.db"));
    for (bool follow : {true, false}) {
        Dataset dead;
        dead.setTableName(QStringLiteral("MORE.db"));
        dead.addField({"DIAGN KLIN", FieldKind::Text, 70});
        dead.addLookup({"KLIN", 50, "DIAGN KLIN", &dict, "NAME_LONG", "NAME_LONG"});
        dead.setLookupsWhileEditing(follow);
        dead.open();
        dead.setValue("DIAGN KLIN", QStringLiteral("K2"));
        QCOMPARE(dead.value("KLIN").toString(), follow ? QStringLiteral("K2") : QStringLiteral("K1"));
        dead.cancel();
    }
}

void TestEngine::likeFoldsCyrillicAndLatin_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matches");
    QTest::newRow("prefix") << "Иванов%" << "Иванова Мария" << true;
    QTest::newRow("lower case typed") << "иванов%" << "Иванов Пётр" << true;
    QTest::newRow("upper case typed") << "ИВАНОВ%" << "Иванов Пётр" << true;
    QTest::newRow("yo") << "ёлкин%" << "Ёлкин" << true;
    QTest::newRow("latin") << "smith%" << "SMITH John" << true;
    QTest::newRow("underscore one char") << "_ванов%" << "Сванов" << true;
    QTest::newRow("underscore not empty") << "_ванов%" << "ванов" << false;
    QTest::newRow("inner percent") << "%ванов%" << "Петр Иванович Иванов" << true;
    QTest::newRow("leading blank") << " Иванов%" << "Иванов" << false;
    QTest::newRow("apostrophe") << "О'Коннор%" << "о'коннор" << true;
    QTest::newRow("no match") << "Петров%" << "Иванов" << false;
    QTest::newRow("whole text") << "Иванов" << "Иванова" << false;
    QTest::newRow("percent alone") << "%" << "" << true;
    QTest::newRow("trailing blank of the text") << "Посторонними" << "Посторонними " << true;
    QTest::newRow("trailing blank of the pattern") << "Посторонними " << "Посторонними" << false;
}

void TestEngine::likeFoldsCyrillicAndLatin()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, matches);
    QCOMPARE(likeMatch(pattern.toUtf8().constData(), text.toUtf8().constData()), matches);
    // The same through SQL, with the pattern bound as a parameter.
    TestDatabase t;
    Statement st(t.db().handle(), QStringLiteral("SELECT ?1 LIKE ?2"));
    st.bind(1, text);
    st.bind(2, pattern);
    QVERIFY(st.step());
    QCOMPARE(st.column(0).toInt(), matches ? 1 : 0);
}

void TestEngine::pagingReadsOnlyWhatIsShown()
{
    TestDatabase t;
    t.exec("INSERT INTO OTR2 (OTR) VALUES ('A')");
    t.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20000) "
           "INSERT INTO OTR3 (OT, FIO) SELECT 1, 'P' || i FROM n");
    Dataset master, detail;
    master.setTableName(QStringLiteral("OTR2.db"));
    detail.setTableName(QStringLiteral("OTR3.db"));
    detail.setIndexName(QStringLiteral("OT"));
    detail.setMasterSource(&master);
    detail.setMasterFields(QStringLiteral("ID"));
    master.open();
    detail.open();
    QCOMPARE(detail.recordCount(), 20000);
    QVERIFY(detail.cachedRowCount() <= 200);
    detail.last();
    QCOMPARE(detail.value("FIO").toString(), QStringLiteral("P20000"));
    detail.prior();
    QCOMPARE(detail.value("FIO").toString(), QStringLiteral("P19999"));
    for (int r = 0; r < 20000; r += 97)
        QCOMPARE(detail.rowValue(r, detail.fieldIndex("FIO")).toString(), QStringLiteral("P%1").arg(r + 1));
    QVERIFY(detail.cachedRowCount() <= 40 * 200);
    detail.setValue("FIO", QStringLiteral("edited"));
    detail.post();
    QCOMPARE(detail.recNo(), 19998);
    QCOMPARE(t.scalar("SELECT FIO FROM OTR3 WHERE ID_O1 = 19999"), QStringLiteral("edited"));
}

void TestEngine::sortAndValueFilterKeepCurrentRow()
{
    TestDatabase t;
    t.exec(QString::fromUtf8("INSERT INTO MORE (FIO, SEX) VALUES ('Яковлев', 'М'), ('Андреева', 'Ж'), (NULL, 'М'), ('Борисов', NULL)"));
    Dataset d;
    d.setTableName(QStringLiteral("MORE.db"));
    d.open();
    d.moveTo(1);  // Андреева
    d.setSortField("FIO", true);
    QCOMPARE(d.value("FIO").toString(), QString::fromUtf8("Андреева"));
    QCOMPARE(d.recNo(), 1);  // the blank name sorts first
    QStringList order;
    for (int r = 0; r < d.recordCount(); ++r)
        order << d.rowValue(r, d.fieldIndex("FIO")).toString();
    QCOMPARE(order, QStringList({"", QString::fromUtf8("Андреева"), QString::fromUtf8("Борисов"), QString::fromUtf8("Яковлев")}));
    d.setSortField("FIO", false);
    QCOMPARE(d.rowValue(0, d.fieldIndex("FIO")).toString(), QString::fromUtf8("Яковлев"));
    QCOMPARE(d.distinctValues("SEX"), QVariantList({QVariant(), QString::fromUtf8("Ж"), QString::fromUtf8("М")}));
    d.setValueFilter("SEX", {QString::fromUtf8("М")});
    QCOMPARE(d.recordCount(), 2);
    d.setValueFilter("SEX", {QString::fromUtf8("Ж"), QVariant()});
    QCOMPARE(d.recordCount(), 2);
    d.setValueFilter("SEX", {});
    QCOMPARE(d.recordCount(), 4);
}

void TestEngine::corruptAndLockedFilesGiveErrors()
{
    {
        TestDatabase t(false);
        QFile f(t.path());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8192, 'x'));
        f.close();
        const QString msg = engineMessage([] { Database::open(Alias::kDefault); });
        QVERIFY2(msg.contains(QString::fromUtf8("повреждён")), qPrintable(msg));
    }
    TestDatabase t;
    Dataset d;
    d.setTableName(QStringLiteral("OTR4.db"));
    d.open();
    // Another process holds the write lock.
    sqlite3 *other = nullptr;
    QCOMPARE(sqlite3_open(t.path().toUtf8().constData(), &other), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    d.insert();
    d.setValue("NAME_LONG", QStringLiteral("x"));
    const QString msg = engineMessage([&] { d.post(); });
    QVERIFY2(msg.contains(QString::fromUtf8("занята")), qPrintable(msg));
    QCOMPARE(d.state(), Dataset::State::Insert);  // the typing is still there
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    d.post();
    QCOMPARE(t.scalar("SELECT NAME_LONG FROM OTR4"), QStringLiteral("x"));
}

void TestEngine::beforeDeleteFailureAbortsDeletion()
{
    TestDatabase t;
    t.exec("INSERT INTO OTR6 (NAME_LONG) VALUES ('A')");
    Dataset d;
    d.setTableName(QStringLiteral("OTR6.db"));
    d.open();
    d.addBeforeDelete([](Dataset &) { throw EngineError(QStringLiteral("stop")); });
    QCOMPARE(engineMessage([&] { d.deleteRecord(); }), QStringLiteral("stop"));
    QCOMPARE(t.scalar("SELECT count(*) FROM OTR6"), QStringLiteral("1"));
    // A row being inserted is only abandoned: no event runs.
    d.insert();
    d.deleteRecord();
    QCOMPARE(d.state(), Dataset::State::Browse);
}

void TestEngine::earlyDatesBindBeforeEveryStoredDate()
{
    // A date editor's empty date lies about 1917 years before year 1; it must still be a date
    // that sorts before every stored one, not an empty text.
    TestDatabase t;
    const QDate early = QDate(1899, 12, 30).addDays(-700000);
    Statement st(t.db().handle(), QStringLiteral("SELECT ?1, ?1 < '0001-01-01', ?1 < ?2"));
    st.bind(1, early);
    st.bind(2, QDate(1, 1, 1));
    QVERIFY(st.step());
    QVERIFY(st.column(0).toString().startsWith(QLatin1Char('-')));
    QCOMPARE(st.column(1).toInt(), 1);
    QCOMPARE(st.column(2).toInt(), 1);
}

void TestEngine::postedRowIsOnDiskWhenPostReturns()
{
    // Copying the files while the connection is still open is what a power cut leaves behind.
    TestDatabase t;
    Dataset d;
    d.setTableName(QStringLiteral("OTR4.db"));
    d.open();
    d.insert();
    d.setValue("NAME_LONG", QString::fromUtf8("Отравления угарным газом"));
    d.post();
    QCOMPARE(t.scalar("PRAGMA journal_mode"), QStringLiteral("wal"));
    QCOMPARE(t.scalar("PRAGMA synchronous"), QStringLiteral("2"));  // FULL
    const QString copy = t.path() + QStringLiteral(".crash");
    QVERIFY(QFile::copy(t.path(), copy));
    QVERIFY(QFile::copy(t.path() + QStringLiteral("-wal"), copy + QStringLiteral("-wal")));
    sqlite3 *after = nullptr;
    QCOMPARE(sqlite3_open(copy.toUtf8().constData(), &after), SQLITE_OK);
    sqlite3_stmt *st = nullptr;
    QCOMPARE(sqlite3_prepare_v2(after, "SELECT NAME_LONG FROM OTR4", -1, &st, nullptr), SQLITE_OK);
    QCOMPARE(sqlite3_step(st), SQLITE_ROW);
    QCOMPARE(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0))),
             QString::fromUtf8("Отравления угарным газом"));
    sqlite3_finalize(st);
    sqlite3_close(after);
}

void TestEngine::namedIndexOrdersRowsAndLookupsOutliveTheirDictionary()
{
    TestDatabase t;
    t.exec(QString::fromUtf8("INSERT INTO OTR3 (OT, FIO, DIADNOZ) VALUES (2, 'Б', '1'), (1, 'А', '1'), (3, 'В', '1'), (1, 'Г', NULL)"));
    t.exec("INSERT INTO OT_R (MKB) VALUES ('T51.0')");
    Dataset d;
    auto dict = std::make_unique<Dataset>();
    dict->setTableName(QStringLiteral("OT_R.db"));
    d.setTableName(QStringLiteral("OTR3.db"));
    d.setIndexName(QStringLiteral("OT"));
    d.addLookup({"DIAGNOZ3", 40, "DIADNOZ", dict.get(), "ID", "MKB"});
    d.open();
    QStringList order;
    for (int r = 0; r < d.recordCount(); ++r)
        order << d.rowValue(r, d.fieldIndex("FIO")).toString();
    QCOMPARE(order, QString::fromUtf8("А,Г,Б,В").split(','));
    d.moveTo(2);
    d.setValue("FIO", QString::fromUtf8("Б2"));
    d.post();
    QCOMPARE(d.recNo(), 2);  // found again by its place in the index order
    dict.reset();
    d.refresh();
    QCOMPARE(d.value("DIAGNOZ3").toString(), QStringLiteral("T51.0"));
}

QTEST_GUILESS_MAIN(TestEngine)
#include "test_engine.moc"
