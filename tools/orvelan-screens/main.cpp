// Renders the main window with each register shown, on a small demo database made in a
// temporary folder, to PNG files: orvelan-screens OUTDIR [WIDTH HEIGHT]
#include "Alias.h"
#include "DataGrid.h"
#include "Database.h"
#include "DemoData.h"
#include "MainWindow.h"
#include "OrvelanApplication.h"
#include "ProgramWindows.h"
#include "Dataset.h"
#include "RegisterView.h"
#include "SchemaBuilder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

using namespace orvelan;

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: orvelan-screens OUTDIR [WIDTH HEIGHT]\n");
        return 2;
    }
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    OrvelanApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    const int width = argc > 3 ? atoi(argv[2]) : 1280;
    const int height = argc > 3 ? atoi(argv[3]) : 720;
    QDir().mkpath(out);
    try {
        const QString file = Alias::resolve(Alias::kDefault);
        QDir().mkpath(QFileInfo(file).absolutePath());
        {
            auto db = Database::openFile(file, true);
            createAllTables(*db);
            fillDemo(*db, {400, 7});
        }
        TForm1 *main = createProgramWindows();
        main->resize(width, height);
        main->show();
        QTest::qWait(50);
        const struct {
            void (TForm1::*show)();
            const char *file;
        } shots[] = {{&TForm1::N6Click, "intoxications.png"}, {&TForm1::N7Click, "therapy.png"},
                     {&TForm1::N8Click, "reanimation.png"}, {&TForm1::N9Click, "deceased.png"}};
        for (const auto &s : shots) {
            (main->*s.show)();
            // Show a form that has cases.
            RegisterView *shown = main->shownRegister();
            for (int i = 0; i < 100 && shown->patientTable()->recordCount() == 0 && !shown->groupTable()->isLast(); ++i)
                shown->groupTable()->next();
            QTest::qWait(50);
            const QString path = out + QLatin1Char('/') + QLatin1String(s.file);
            if (!main->grab().save(path)) {
                std::fprintf(stderr, "cannot write %s\n", path.toUtf8().constData());
                return 1;
            }
            std::printf("%s\n", path.toUtf8().constData());
        }
        main->close();
        delete main;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
