#pragma once

#include <QApplication>

namespace orvelan {

// The application object: titled "Orvelan 1.0", and the last line against an error that no
// action caught, which it reports in the error box before the program goes on.
class OrvelanApplication : public QApplication {
public:
    OrvelanApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;

    static QString title() { return QStringLiteral("Orvelan 1.0"); }
    // Whether there is a display to show a box on.
    static bool hasDisplay();
};

}  // namespace orvelan
