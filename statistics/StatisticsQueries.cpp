#include "StatisticsQueries.h"

#include <QStringList>

namespace orvelan {

namespace {

QString lines(const QStringList &l) { return l.join(QLatin1Char('\n')); }

// Branches of four lines joined by a line "UNION".
QString unionOf(const QString &select, const QString &from, const QStringList &wheres, const QString &groupBy)
{
    QStringList out;
    for (const QString &w : wheres) {
        if (!out.isEmpty())
            out << QStringLiteral("UNION");
        out << select << from << w << groupBy;
    }
    return lines(out);
}

QString bySex(const QString &table)
{
    const QString from = QStringLiteral("FROM %1,SEX.db").arg(table);
    return lines({QStringLiteral("SELECT SEX1,SEX,COUNT(SEX)"), from, QStringLiteral("WHERE SEX='М' and SEX1='Мужчины'"),
                  QStringLiteral("GROUP BY SEX,SEX1"), QStringLiteral("UNION"), QStringLiteral("SELECT SEX1,SEX,COUNT(SEX)"),
                  from, QStringLiteral("WHERE SEX='Ж'and SEX1='Женщины'"), QStringLiteral("GROUP BY SEX,SEX1")});
}

QString byValue(const QString &select, const QString &table, const QString &field, const QString &eq,
                const QStringList &values)
{
    QStringList wheres;
    for (const QString &v : values)
        wheres << QStringLiteral("WHERE %1%2'%3'").arg(field, eq, v);
    return unionOf(select, QStringLiteral("FROM ") + table, wheres, QStringLiteral("GROUP BY ") + field);
}

std::vector<StatisticsQuery> build()
{
    const QStringList brought{QStringLiteral("Скорой помощью"), QStringLiteral("Самостоятельно"), QStringLiteral("Милицией"),
                              QStringLiteral("Посторонними"), QStringLiteral("Родственниками")};
    QStringList perRegister;
    const std::pair<const char *, const char *> registers[] = {
        {"OTR3.db", "Отравления"}, {"FIO.db", "Терапия"}, {"OTR5.db", "Реанимация"}, {"MORE.db", "Умершие"}};
    for (const auto &[table, name] : registers) {
        if (!perRegister.isEmpty())
            perRegister << QStringLiteral("UNION");
        perRegister << QStringLiteral("SELECT OTDEL,COUNT(FIO) AS KOL_VO") << QStringLiteral("FROM %1,OTDEL.db").arg(QLatin1String(table))
                    << QStringLiteral("WHERE OTDEL='%1'").arg(QString::fromUtf8(name)) << QStringLiteral("GROUP BY OTDEL,KOL_VO");
    }
    const QString sexLabel = QStringLiteral("SEX1"), sexCount = QStringLiteral("COUNT OF SEX");
    return {
        {"Query1", lines(perRegister), "OTDEL", "KOL_VO"},
        {"Query2", bySex("OTR3.db"), sexLabel, sexCount},
        {"Query3", bySex("OTR5.db"), sexLabel, sexCount},
        {"Query4", bySex("FIO.db"), sexLabel, sexCount},
        {"Query5", byValue("SELECT PRICHINY,COUNT(PRICHINY)", "OTR3.db", "PRICHINY", "=",
                           {"Суицидальное", "Случайное", "Криминальное"}),
         "PRICHINY", "COUNT OF PRICHINY"},
        {"Query6", byValue("SELECT ST_TIAG,COUNT(ST_TIAG)", "OTR3.db", "ST_TIAG", "=",
                           {"Легкая", "Средняя", "Тяжелая", "Крайне тяжелая"}),
         "ST_TIAG", "COUNT OF ST_TIAG"},
        {"Query7", byValue("SELECT VREMIA_OTR,COUNT(VREMIA_OTR)", "OTR3.db", "VREMIA_OTR", "=",
                           {"Первые 6 часов", "6 -12 часов", "12 -24 часа", "Более 24 часов"}),
         "VREMIA_OTR", "COUNT OF VREMIA_OTR"},
        {"Query8", bySex("MORE.db"), sexLabel, sexCount},
        {"Query9", byValue("SELECT DIAGNOZSOVP, COUNT(DIAGNOZSOVP)", "OTR3.db", "DIAGNOZSOVP", " =",
                           {"Совпадение", "Расхождение"}),
         "DIAGNOZSOVP", "COUNT OF DIAGNOZSOVP"},
        {"Query10", byValue("SELECT COVP, COUNT(COVP)", "MORE.db", "COVP", " =", {"Совпадение", "Расхождение"}), "COVP",
         "COUNT OF COVP"},
        {"Query11", byValue("SELECT KEM_DOST, COUNT(KEM_DOST)", "FIO.db", "KEM_DOST", " = ", brought), "KEM_DOST",
         "COUNT OF KEM_DOST"},
        {"Query12", byValue("SELECT KEM_DOST, COUNT(KEM_DOST)", "OTR5.db", "KEM_DOST", " = ", brought), "KEM_DOST",
         "COUNT OF KEM_DOST"},
        {"Query13", byValue("SELECT KEM, COUNT(KEM)", "OTR3.db", "KEM", " = ", brought), "KEM", "COUNT OF KEM"},
        {"Query15",
         lines({"select ID_OBS ,ID_OTR,NAME_LONG,  COUNT (NAME_LONG)", "from OTRAVLENIYA.db,FIO.db", "where ID_OTR = ID_OBS",
                "GROUP BY NAME_LONG ,ID_OTR,ID_OBS"}),
         "NAME_LONG", "COUNT OF NAME_LONG"},
        {"Query16", lines({"select ID ,OT,OTR,  COUNT (OTR)", "from OTR2.db,OTR3.db", "where ID = OT", "GROUP BY OTR ,OT,ID"}),
         "OTR", "COUNT OF OTR"},
        {"Query17",
         lines({"select ID_OBS ,ID_OTR,NAME_LONG ,COUNT (NAME_LONG)", "from OTR4.db,OTR5.db", "where ID_OTR = ID_OBS",
                "GROUP BY ID_OBS ,ID_OTR,NAME_LONG"}),
         "NAME_LONG", "COUNT OF NAME_LONG"},
        {"Query18",
         lines({"select MOR ,ID_OTR,NAME_LONG ,COUNT (NAME_LONG)", "from OTR6.db,MORE.db", "where ID_OTR = MOR",
                "GROUP BY MOR ,ID_OTR,NAME_LONG"}),
         "NAME_LONG", "COUNT OF NAME_LONG"},
    };
}

}  // namespace

const std::vector<StatisticsQuery> &statisticsQueries()
{
    static const std::vector<StatisticsQuery> queries = build();
    return queries;
}

}  // namespace orvelan
