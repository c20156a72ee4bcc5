// orvelan-db: prepares and inspects the department database, which the program itself never
// creates. Commands: create, demo, query, alias.
#include "Alias.h"
#include "Database.h"
#include "Dataset.h"
#include "DemoData.h"
#include "EngineError.h"
#include "FieldValue.h"
#include "SchemaBuilder.h"
#include "SqlTranslator.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>

using namespace orvelan;

namespace {

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}
QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

int usage()
{
    err() << "Использование:\n"
             "  orvelan-db create\n"
             "  orvelan-db demo [--patients N] [--seed S]\n"
             "  orvelan-db query [--param TEXT | --date YYYY-MM-DD]... 'SQL'\n"
             "  orvelan-db alias [PATH]\n";
    err().flush();
    return 2;
}

std::shared_ptr<Database> openOrCreate()
{
    const QString path = Alias::resolve(Alias::kDefault);
    QDir().mkpath(QFileInfo(path).absolutePath());
    return Database::openFile(path, true);
}

int create()
{
    auto db = openOrCreate();
    createAllTables(*db);
    out() << "Создана база данных " << db->path() << "\n";
    return 0;
}

int demo(const QStringList &args)
{
    DemoOptions options;
    for (int i = 0; i < args.size(); ++i) {
        bool ok = false;
        if (args[i] == QLatin1String("--patients") && i + 1 < args.size())
            options.patients = args[++i].toInt(&ok);
        else if (args[i] == QLatin1String("--seed") && i + 1 < args.size())
            options.seed = args[++i].toUInt(&ok);
        if (!ok || options.patients < 0)
            return usage();
    }
    auto db = openOrCreate();
    if (db->tableNames().isEmpty())
        createAllTables(*db);
    fillDemo(*db, options);
    out() << "База данных " << db->path() << " заполнена: " << options.patients << " пациентов\n";
    return 0;
}

QString text(const QVariant &v)
{
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QDate)
        return isoDate(v.toDate());
    return v.toString();
}

int query(const QStringList &args)
{
    QVariantList params;
    QString sql;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--param") && i + 1 < args.size()) {
            params << args[++i];
        } else if (args[i] == QLatin1String("--date") && i + 1 < args.size()) {
            const QDate d = parseDate(args[++i]);
            if (!d.isValid())
                throw EngineError(QStringLiteral("«%1» не является датой").arg(args[i]));
            params << d;
        } else if (sql.isEmpty()) {
            sql = args[i];
        } else {
            return usage();
        }
    }
    if (sql.isEmpty())
        return usage();
    auto db = Database::open(Alias::kDefault);
    const TranslatedSql tr = translateSql(sql, [&db](const QString &table) {
        QStringList names;
        for (const FieldDef &f : db->storedFields(table))
            names << f.name;
        return names;
    });
    Statement st(db->handle(), tr.sql);
    if (params.size() != st.parameterCount())
        throw EngineError(QStringLiteral("Текст запроса ждёт параметров: %1, задано: %2").arg(st.parameterCount()).arg(params.size()));
    for (int i = 0; i < params.size(); ++i)
        st.bind(i + 1, params[i]);
    const bool rows = st.columnCount() > 0;
    if (rows) {
        QStringList header;
        for (int i = 0; i < st.columnCount(); ++i)
            header << st.columnName(i);
        out() << header.join(QLatin1Char('\t')) << "\n";
    }
    while (st.step()) {
        QStringList line;
        for (int i = 0; i < st.columnCount(); ++i)
            line << text(st.column(i)).replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        out() << line.join(QLatin1Char('\t')) << "\n";
    }
    if (!rows)
        out() << "Изменено строк: " << db->changes() << "\n";
    return 0;
}

int alias(const QStringList &args)
{
    if (args.size() > 1)
        return usage();
    if (args.size() == 1)
        Alias::setPath(Alias::kDefault, args[0]);
    out() << Alias::kDefault << "\t" << Alias::resolve(Alias::kDefault) << "\n";
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.takeFirst();
    try {
        int rc = 2;
        if (command == QLatin1String("create") && args.isEmpty())
            rc = create();
        else if (command == QLatin1String("demo"))
            rc = demo(args);
        else if (command == QLatin1String("query"))
            rc = query(args);
        else if (command == QLatin1String("alias"))
            rc = alias(args);
        else
            return usage();
        out().flush();
        return rc;
    } catch (const EngineError &e) {
        out().flush();
        err() << "orvelan-db: " << e.message() << "\n";
        err().flush();
        return 1;
    }
}
