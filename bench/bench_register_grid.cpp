// The Intoxications register of the real main window on one form of 100,000 cases: start-up,
// the first paint of the patient grid, a jump to the last case, and an edit typed into a cell
// and posted, with the rows the grid's table object holds and the memory used.
//   bench_register_grid [CASES]     (default 100000)
#include "DataGrid.h"
#include "Database.h"
#include "DatasetModel.h"
#include "Dataset.h"
#include "MainWindow.h"
#include "OrvelanApplication.h"
#include "ProgramWindows.h"
#include "RecordNavigator.h"
#include "BenchSupport.h"
#include "SchemaBuilder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTextStream>

using namespace orvelan;

namespace {

using bench::ms;
using bench::procStatus;

void buildDatabase(const QString &path, int cases)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-wal"));
    auto db = Database::openFile(path, true);
    createAllTables(*db);
    db->exec(QStringLiteral("INSERT INTO OT_R (MKB) VALUES ('T51.0 Этанол')"));
    db->exec(QStringLiteral("INSERT INTO OTR2 (OTR) VALUES ('Отравления алкоголем')"));
    db->exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                            "INSERT INTO OTR3 (OT, \"N IST\", FIO, DIADNOZ, SEX, VOZRAST, DATAPOST, DIA) "
                            "SELECT 1, i, 'Пациент ' || i, '1', 'М', 20 + i % 60, date('2000-01-01', '+' || (i % 9000) || ' days'), "
                            "'Острое отравление этанолом тяжёлой степени, алкогольная кома' FROM n")
                 .arg(cases));
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString dir = QDir::tempPath() + QStringLiteral("/orvelan-bench-grid");
    qputenv("XDG_CONFIG_HOME", (dir + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_DATA_HOME", (dir + QStringLiteral("/data")).toUtf8());
    OrvelanApplication app(argc, argv);
    QTextStream out(stdout);
    const int cases = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    const QString path = dir + QStringLiteral("/data/Orvelan/Orvelan.sqlite");
    QDir().mkpath(QFileInfo(path).absolutePath());
    buildDatabase(path, cases);
    Database::closeAll();
    const long rssBefore = procStatus("VmRSS:");

    QElapsedTimer t;
    t.start();
    TForm1 *main = createProgramWindows();
    main->resize(1280, 800);
    main->show();
    DataGrid *grid = main->findChild<DataGrid *>(QStringLiteral("cxGrid4"));
    grid->grab();  // the first paint reads the rows in sight
    const double startMs = ms(t);
    Dataset *table = grid->dataset();

    t.restart();
    grid->view()->setFocus();
    QTest::keyClick(grid->view(), Qt::Key_End, Qt::ControlModifier);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    grid->grab();
    const double endMs = ms(t);
    const int currentRow = table->recNo();

    t.restart();
    const int column = grid->columnOfField(QStringLiteral("FIO"));
    grid->view()->edit(grid->model()->index(grid->model()->currentModelRow(), column));
    auto *editor = grid->view()->findChild<QLineEdit *>(QStringLiteral("editor_FIO"));
    editor->setText(QStringLiteral("Изменённый Пациент"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    auto *navigator = main->findChild<RecordNavigator *>(QStringLiteral("bsSkinDBNavigator4"));
    navigator->press(RecordNavigator::Post);
    grid->grab();
    const double postMs = ms(t);
    const QString stored = table->value(QStringLiteral("FIO")).toString();

    out << QStringLiteral("register grid on one form of %1 cases (the real main window, offscreen)\n").arg(table->recordCount());
    out << QStringLiteral("  start-up to the first paint of the grid: %1 ms\n").arg(startMs, 0, 'f', 1);
    out << QStringLiteral("  Ctrl+End to the last case, painted:      %1 ms (row %2)\n").arg(endMs, 0, 'f', 1).arg(currentRow + 1);
    out << QStringLiteral("  edit typed into a cell and posted:       %1 ms (stored «%2»)\n").arg(postMs, 0, 'f', 1).arg(stored);
    out << QStringLiteral("  rows held by the grid's table object:    %1 of %2\n").arg(table->cachedRowCount()).arg(table->recordCount());
    out << QStringLiteral("  memory: +%1 MB resident for the windows, peak %2 MB\n")
               .arg(double(procStatus("VmRSS:") - rssBefore) / 1024.0, 0, 'f', 1)
               .arg(double(procStatus("VmHWM:")) / 1024.0, 0, 'f', 1);
    main->close();
    delete main;
    return stored == QStringLiteral("Изменённый Пациент") ? 0 : 1;
}
