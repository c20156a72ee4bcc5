#include "MainWindow.h"
#include "Messages.h"
#include "OrvelanApplication.h"
#include "ProgramWindows.h"

#include <QMessageBox>
#include <cstdio>

int main(int argc, char **argv)
{
    orvelan::OrvelanApplication app(argc, argv);
    orvelan::TForm1 *main = nullptr;
    try {
        main = orvelan::createProgramWindows();
    } catch (const std::exception &e) {
        // Start-up stops before any window is shown.
        const QString message = orvelan::errorMessage(e);
        std::fprintf(stderr, "Orvelan 1.0: %s\n", message.toUtf8().constData());
        if (orvelan::OrvelanApplication::hasDisplay())
            QMessageBox::critical(nullptr, orvelan::OrvelanApplication::title(), message);
        return 1;
    }
    main->showMaximized();
    const int code = app.exec();
    delete main;
    return code;
}
