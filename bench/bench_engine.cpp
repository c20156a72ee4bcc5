// Engine benchmark on demo databases of growing size. For every figure it also runs the same
// SQL through a plain SQLite connection (no engine, SQLite's own LIKE) and prints the ratio.
//   bench_engine [N ...]        patient rows per database (default 10000 100000 1000000)
// Databases are kept in $TMPDIR/orvelan-bench so a second run skips building them.
#include "Database.h"
#include "Dataset.h"
#include "DemoData.h"
#include "BenchSupport.h"
#include "SchemaBuilder.h"
#include "SqlTranslator.h"
#include "StatisticsQueries.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <cstdio>
#include <memory>
#include <sqlite3.h>

using namespace orvelan;

namespace {

using bench::ms;
using bench::procStatus;

// Runs SQL on a plain connection, stepping through every row; returns milliseconds.
double plainRun(sqlite3 *plain, const QString &sql, const QVariantList &params = {})
{
    QElapsedTimer t;
    t.start();
    sqlite3_stmt *st = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(plain, utf8.constData(), -1, &st, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "plain: %s\n", sqlite3_errmsg(plain));
        return -1;
    }
    for (int i = 0; i < params.size(); ++i) {
        const QByteArray p = params[i].toString().toUtf8();
        if (params[i].isNull())
            sqlite3_bind_null(st, i + 1);
        else
            sqlite3_bind_text(st, i + 1, p.constData(), -1, SQLITE_TRANSIENT);
    }
    while (sqlite3_step(st) == SQLITE_ROW) {
    }
    sqlite3_finalize(st);
    return ms(t);
}

QString translated(Database &db, const QString &sql)
{
    return translateSql(sql, [&db](const QString &table) {
               QStringList names;
               for (const FieldDef &f : db.storedFields(table))
                   names << f.name;
               return names;
           }).sql;
}

struct Register {
    const char *group, *patients, *index, *masterField, *dict, *lookupKey, *dictKey, *result;
    int width;
};

// The table objects the program opens at start: registers with their links and lookups,
// the dictionaries, and the tables of the office windows.
std::vector<std::unique_ptr<Dataset>> openEverything()
{
    std::vector<std::unique_ptr<Dataset>> all;
    auto table = [&](const char *file) {
        all.push_back(std::make_unique<Dataset>());
        all.back()->setTableName(QString::fromUtf8(file));
        return all.back().get();
    };
    const Register registers[] = {
        {"OTR2.db", "OTR3.db", "OT", "ID", "OT_R.db", "DIADNOZ", "ID", "MKB", 40},
        {"OTRAVLENIYA.db", "FIO.db", "ID_OBS", "ID_OTR", "DIAGNOZ.db", "DIAGNOZ", "ID", "NAME_DIAGNOZ", 44},
        {"OTR4.db", "OTR5.db", "ID_OBS", "ID_OTR", "OT_R1.db", "DIAGNOZ", "ID", "MKB", 40},
        {"OTR6.db", "MORE.db", "MORT", "ID_OTR", "PATANATOM.db", "DIAGN PAT", "NAME_LONG", "NAME_LONG", 50},
    };
    for (const Register &r : registers) {
        Dataset *dict = table(r.dict);
        Dataset *group = table(r.group);
        Dataset *patients = table(r.patients);
        patients->setIndexName(QString::fromUtf8(r.index));
        patients->setMasterSource(group);
        patients->setMasterFields(QString::fromUtf8(r.masterField));
        patients->addLookup({QStringLiteral("LOOKUP"), r.width, QString::fromUtf8(r.lookupKey), dict,
                             QString::fromUtf8(r.dictKey), QString::fromUtf8(r.result)});
    }
    Dataset *clinical = table("TYPE_WORK.db");
    all[11]->addLookup({QStringLiteral("KLIN"), 50, QStringLiteral("DIAGN KLIN"), clinical, QStringLiteral("NAME_LONG"),
                        QStringLiteral("NAME_LONG")});
    for (const char *t : {"DIAGNOZ.db", "TYPE_WORK.db", "OT_R.db", "OT_R1.db", "PATANATOM.db", "PLATA.db", "KATEGOR.db",
                          "USLUGA.db", "OTDEL1.db", "SOTR.db", "BOL.db", "BOL1.db", "TEMA.db", "KNIGA.db"})
        table(t);
    for (auto &d : all)
        d->open();
    return all;
}

void header(QTextStream &out, const char *title)
{
    out << "\n" << title << "\n";
    out << QStringLiteral("%1 %2 %3 %4\n").arg("what", -34).arg("engine ms", 11).arg("plain ms", 11).arg("ratio", 7);
}

void line(QTextStream &out, const QString &what, double engine, double plain)
{
    out << QStringLiteral("%1 %2 %3 %4\n")
               .arg(what, -34)
               .arg(engine, 11, 'f', 2)
               .arg(plain, 11, 'f', 2)
               .arg(plain > 0 ? engine / plain : 0.0, 7, 'f', 2);
    out.flush();
}

void benchSize(QTextStream &out, int patients)
{
    const QString dir = QDir::tempPath() + QStringLiteral("/orvelan-bench");
    QDir().mkpath(dir);
    const QString path = dir + QStringLiteral("/demo-%1.sqlite").arg(patients);
    qputenv("XDG_CONFIG_HOME", (dir + QStringLiteral("/config-%1").arg(patients)).toUtf8());
    Database::closeAll();
    if (!QFile::exists(path)) {
        QElapsedTimer t;
        t.start();
        auto db = Database::openFile(path, true);
        createAllTables(*db);
        fillDemo(*db, {patients, 1});
        out << QStringLiteral("built %1 in %2 s\n").arg(path).arg(ms(t) / 1000, 0, 'f', 1);
    }
    Database::closeAll();
    // The alias settings of this run point at the benchmark database.
    {
        QDir().mkpath(dir + QStringLiteral("/config-%1/Orvelan").arg(patients));
        QFile ini(dir + QStringLiteral("/config-%1/Orvelan/aliases.ini").arg(patients));
        ini.open(QIODevice::WriteOnly);
        ini.write(("[aliases]\nOrvelan=" + path + "\n").toUtf8());
    }
    out << QStringLiteral("\n=== %1 patient rows ===\n").arg(patients);

    const long rssBefore = procStatus("VmRSS:");
    QElapsedTimer t;
    t.start();
    auto everything = openEverything();
    const double openMs = ms(t);
    const long rssAfter = procStatus("VmRSS:");
    out << QStringLiteral("open all %1 table objects: %2 ms, +%3 MB resident\n")
               .arg(everything.size())
               .arg(openMs, 0, 'f', 1)
               .arg(double(rssAfter - rssBefore) / 1024.0, 0, 'f', 1);

    auto db = Database::open(QStringLiteral("Orvelan"));
    sqlite3 *plain = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &plain, SQLITE_OPEN_READONLY, nullptr);

    header(out, "statistics queries");
    double engineTotal = 0, plainTotal = 0;
    for (const StatisticsQuery &q : statisticsQueries()) {
        Dataset d;
        d.setSql(q.sql);
        QElapsedTimer e;
        e.start();
        d.open();
        const double engine = ms(e);
        const double p = plainRun(plain, translated(*db, q.sql));
        engineTotal += engine;
        plainTotal += p;
        line(out, q.name + QStringLiteral(" (%1 rows)").arg(d.recordCount()), engine, p);
    }
    line(out, QStringLiteral("all statistics"), engineTotal, plainTotal);

    header(out, "surname search (live query: count + first page)");
    for (const char *table : {"FIO.db", "OTR3.db", "OTR5.db", "MORE.db"})
        for (const char *pattern : {"Иванов%", "%"}) {
            const QString sql = QStringLiteral("SELECT*\nFROM %1\nWHERE FIO LIKE :FIO").arg(QLatin1String(table));
            Dataset d;
            d.setSql(sql);
            d.setRequestLive(true);
            d.setParam(0, QString::fromUtf8(pattern));
            QElapsedTimer e;
            e.start();
            d.open();
            const double engine = ms(e);
            const double p = plainRun(plain, translated(*db, sql), {QString::fromUtf8(pattern)});
            line(out, QStringLiteral("%1 '%2' (%3 rows)").arg(table, QString::fromUtf8(pattern)).arg(d.recordCount()), engine, p);
        }

    sqlite3_close(plain);
    everything.clear();
    Database::closeAll();
}

// A register grid on one form of 100,000 cases: open, scroll to the end, post an edit.
void benchBigForm(QTextStream &out)
{
    const QString dir = QDir::tempPath() + QStringLiteral("/orvelan-bench");
    const QString path = dir + QStringLiteral("/one-form.sqlite");
    qputenv("XDG_CONFIG_HOME", (dir + QStringLiteral("/config-form")).toUtf8());
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-wal"));
    Database::closeAll();
    {
        auto db = Database::openFile(path, true);
        createAllTables(*db);
        db->exec(QStringLiteral("INSERT INTO OTR2 (OTR) VALUES ('Отравления алкоголем')"));
        db->exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
                                "INSERT INTO OTR3 (OT, FIO, DIADNOZ) SELECT 1, 'Пациент ' || i, '1' FROM n"));
        db->exec(QStringLiteral("INSERT INTO OT_R (MKB) VALUES ('T51.0 Этанол')"));
    }
    Database::closeAll();
    QDir().mkpath(dir + QStringLiteral("/config-form/Orvelan"));
    QFile ini(dir + QStringLiteral("/config-form/Orvelan/aliases.ini"));
    ini.open(QIODevice::WriteOnly);
    ini.write(("[aliases]\nOrvelan=" + path + "\n").toUtf8());
    ini.close();

    Dataset dict, group, cases;
    dict.setTableName(QStringLiteral("OT_R.db"));
    group.setTableName(QStringLiteral("OTR2.db"));
    cases.setTableName(QStringLiteral("OTR3.db"));
    cases.setIndexName(QStringLiteral("OT"));
    cases.setMasterSource(&group);
    cases.setMasterFields(QStringLiteral("ID"));
    cases.addLookup({QStringLiteral("DIAGNOZ3"), 40, QStringLiteral("DIADNOZ"), &dict, QStringLiteral("ID"), QStringLiteral("MKB")});
    QElapsedTimer t;
    t.start();
    dict.open();
    group.open();
    cases.open();
    const double openMs = ms(t);
    t.restart();
    cases.last();
    const double lastMs = ms(t);
    t.restart();
    cases.setValue(QStringLiteral("FIO"), QStringLiteral("Изменённый Пациент"));
    cases.post();
    const double postMs = ms(t);
    out << QStringLiteral("\none form of %1 cases: open %2 ms, to the last row %3 ms, post an edit %4 ms, rows held %5\n")
               .arg(cases.recordCount())
               .arg(openMs, 0, 'f', 2)
               .arg(lastMs, 0, 'f', 2)
               .arg(postMs, 0, 'f', 2)
               .arg(cases.cachedRowCount());
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QList<int> sizes;
    for (const QString &a : app.arguments().mid(1))
        sizes << a.toInt();
    if (sizes.isEmpty())
        sizes = {10000, 100000, 1000000};
    for (int n : sizes)
        benchSize(out, n);
    benchBigForm(out);
    out << QStringLiteral("\npeak resident memory: %1 MB\n").arg(double(procStatus("VmHWM:")) / 1024.0, 0, 'f', 1);
    return 0;
}
