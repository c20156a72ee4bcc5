#include "TestDatabase.h"
#include "Alias.h"
#include "Database.h"
#include "SchemaBuilder.h"

#include <QDir>
#include <QStringList>

namespace orvelan {

TestDatabase::TestDatabase(bool createTables)
{
    Database::closeAll();
    qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/data")).toUtf8());
    QDir().mkpath(m_dir.path() + QStringLiteral("/data/Orvelan"));
    if (createTables) {
        m_db = Database::openFile(Alias::defaultDatabaseFile(), true);
        createAllTables(*m_db);
    }
}

TestDatabase::~TestDatabase()
{
    m_db.reset();
    Database::closeAll();
}

QString TestDatabase::path() const { return Alias::defaultDatabaseFile(); }

Database &TestDatabase::db()
{
    if (!m_db)
        m_db = Database::openFile(path(), true);
    return *m_db;
}

void TestDatabase::exec(const QString &sql) { db().exec(sql); }

QString TestDatabase::scalar(const QString &sql)
{
    Statement st(db().handle(), sql);
    return st.step() ? st.column(0).toString() : QString();
}

QString TestDatabase::rows(const QString &sql)
{
    Statement st(db().handle(), sql);
    QStringList lines;
    while (st.step()) {
        QStringList cols;
        for (int i = 0; i < st.columnCount(); ++i)
            cols << st.column(i).toString();
        lines << cols.join(QLatin1Char('|'));
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace orvelan
