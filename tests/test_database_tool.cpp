// The database tool, run as a user runs it: create, demo, query, alias.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
    int code;
    QString out;
    QString err;
};

class Tool {
public:
    Tool()
    {
        env.insert("XDG_CONFIG_HOME", dir.path() + "/config");
        env.insert("XDG_DATA_HOME", dir.path() + "/data");
    }
    Run operator()(const QStringList &args) const
    {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(ORVELAN_DB_TOOL), args);
        p.waitForFinished(120000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
};

}  // namespace

class TestDatabaseTool : public QObject {
    Q_OBJECT
private slots:
    void createRefusesAnExistingDatabase();
    void demoIsDeterministicAndPlausible();
    void queryBindsParametersAndWrites();
    void errorsExitNonZeroWithAMessage();
    void aliasPointsElsewhere();
};

void TestDatabaseTool::createRefusesAnExistingDatabase()
{
    Tool tool;
    QCOMPARE(tool({"create"}).code, 0);
    const Run again = tool({"create"});
    QCOMPARE(again.code, 1);
    QVERIFY2(again.err.contains(QString::fromUtf8("уже содержит таблицы")), qPrintable(again.err));
    const Run sexes = tool({"query", "SELECT SEX1 FROM SEX.db"});
    QCOMPARE(sexes.out, QString::fromUtf8("SEX1\nМужчины\nЖенщины\n"));
}

void TestDatabaseTool::demoIsDeterministicAndPlausible()
{
    Tool a, b, c;
    QCOMPARE(a({"demo", "--patients", "400", "--seed", "7"}).code, 0);
    QCOMPARE(b({"demo", "--patients", "400", "--seed", "7"}).code, 0);
    QCOMPARE(c({"demo", "--patients", "400", "--seed", "8"}).code, 0);
    for (const char *table : {"OTR3.db", "FIO.db", "MORE.db", "PLATA.db", "SOTR.db"}) {
        const QStringList dump{"query", QStringLiteral("SELECT * FROM %1").arg(table)};
        const QString first = a(dump).out;
        QVERIFY(first.count('\n') > 2);
        QCOMPARE(b(dump).out, first);
        QVERIFY(c(dump).out != first);
    }
    const QString counts = a({"query", "SELECT (SELECT count(*) FROM OTR3.db) + (SELECT count(*) FROM FIO.db) + "
                                       "(SELECT count(*) FROM OTR5.db) + (SELECT count(*) FROM MORE.db) AS N"}).out;
    QCOMPARE(counts, QStringLiteral("N\n400\n"));
    // Every case is filed under an existing form and points at an existing diagnosis.
    const QString orphans = a({"query", "SELECT count(*) AS N FROM OTR3.db WHERE OT NOT IN (SELECT ID FROM OTR2.db) "
                                        "OR DIADNOZ NOT IN (SELECT ID FROM OT_R.db)"}).out;
    QCOMPARE(orphans, QStringLiteral("N\n0\n"));
    const QString badWidth = a({"query", "SELECT count(*) AS N FROM OTR3.db WHERE length(FIO) > 40 OR length(ST_TIAG) > 14"}).out;
    QCOMPARE(badWidth, QStringLiteral("N\n0\n"));
}

void TestDatabaseTool::queryBindsParametersAndWrites()
{
    Tool tool;
    QCOMPARE(tool({"create"}).code, 0);
    Run r = tool({"query", "--param", QString::fromUtf8("О'Нил"), "--date", "2024-03-01",
                  "INSERT INTO PLATA.db (FIO, DATA, SUMMA) VALUES (:FIO, :D, 100)"});
    QCOMPARE(r.code, 0);
    QVERIFY(r.out.contains(QString::fromUtf8("Изменено строк: 1")));
    r = tool({"query", "--date", "2024-03-31", "--date", "2024-03-01",
              "select count(SUMMA),sum(SUMMA)\nfrom PLATA.db\nwhere DATA <=(:SUM) and DATA >=(:SUM1)"});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("COUNT OF SUMMA\tSUM OF SUMMA\n1\t100\n"));
    r = tool({"query", "--param", QString::fromUtf8("о'н%"), "SELECT FIO, DATA FROM PLATA.db WHERE FIO LIKE :FIO"});
    QCOMPARE(r.out, QString::fromUtf8("FIO\tDATA\nО'Нил\t2024-03-01\n"));
}

void TestDatabaseTool::errorsExitNonZeroWithAMessage()
{
    Tool tool;
    Run r = tool({"query", "SELECT 1"});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QString::fromUtf8("Нет файла базы данных")), qPrintable(r.err));
    QCOMPARE(tool({"create"}).code, 0);
    r = tool({"query", "SELEC nonsense"});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QString::fromUtf8("Ошибка базы данных")), qPrintable(r.err));
    r = tool({"query", "SELECT * FROM NOPE.db"});
    QCOMPARE(r.code, 1);
    r = tool({"query", "--param", "x", "SELECT 1"});
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QString::fromUtf8("параметров")), qPrintable(r.err));
    QCOMPARE(tool({"demo", "--patients", "lots"}).code, 2);
    QCOMPARE(tool({"bogus"}).code, 2);
}

void TestDatabaseTool::aliasPointsElsewhere()
{
    Tool tool;
    const QString other = tool.dir.path() + "/elsewhere.sqlite";
    QCOMPARE(tool({"alias", other}).out, "Orvelan\t" + other + "\n");
    QCOMPARE(tool({"create"}).code, 0);
    QVERIFY(QFile::exists(other));
    QCOMPARE(tool({"alias"}).out, "Orvelan\t" + other + "\n");
}

QTEST_GUILESS_MAIN(TestDatabaseTool)
#include "test_database_tool.moc"
