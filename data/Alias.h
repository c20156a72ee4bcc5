#pragma once

#include <QString>

namespace orvelan {

// Named databases. The settings live in the platform's standard configuration folder
// (on Linux $XDG_CONFIG_HOME/Orvelan/aliases.ini), the default database file in its data
// folder ($XDG_DATA_HOME/Orvelan/Orvelan.sqlite), so a test or a second department points
// elsewhere by setting those.
namespace Alias {

inline const QString kDefault = QStringLiteral("Orvelan");

QString settingsFile();
QString defaultDatabaseFile();
// The database file of an alias; throws for an alias that has never been defined.
QString resolve(const QString &alias);
void setPath(const QString &alias, const QString &path);

}  // namespace Alias
}  // namespace orvelan
