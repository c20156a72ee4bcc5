#include "OrvelanApplication.h"

#include "Messages.h"

namespace orvelan {

OrvelanApplication::OrvelanApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    setApplicationName(title());
}

bool OrvelanApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        showErrorBox(activeWindow(), errorMessage(e));
        return false;
    }
}

bool OrvelanApplication::hasDisplay()
{
    const QString platform = platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

}  // namespace orvelan
