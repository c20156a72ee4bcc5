#include "Alias.h"
#include "EngineError.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace orvelan::Alias {

namespace {
QString folder(QStandardPaths::StandardLocation where)
{
    return QStandardPaths::writableLocation(where) + QStringLiteral("/Orvelan");
}
}  // namespace

QString settingsFile() { return folder(QStandardPaths::GenericConfigLocation) + QStringLiteral("/aliases.ini"); }

QString defaultDatabaseFile() { return folder(QStandardPaths::GenericDataLocation) + QStringLiteral("/Orvelan.sqlite"); }

QString resolve(const QString &alias)
{
    QSettings settings(settingsFile(), QSettings::IniFormat);
    const QString key = QStringLiteral("aliases/") + alias;
    if (settings.contains(key))
        return settings.value(key).toString();
    if (alias == kDefault)
        return defaultDatabaseFile();
    throw EngineError(QStringLiteral("Неизвестный псевдоним базы данных: %1").arg(alias));
}

void setPath(const QString &alias, const QString &path)
{
    QDir().mkpath(QFileInfo(settingsFile()).absolutePath());
    QSettings settings(settingsFile(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("aliases/") + alias, QFileInfo(path).absoluteFilePath());
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw EngineError(QStringLiteral("Не удалось записать настройки псевдонима в %1").arg(settingsFile()));
}

}  // namespace orvelan::Alias
