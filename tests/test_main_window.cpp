// The main window with its four registers, driven through the real widgets, offscreen.
#include "DataGrid.h"
#include "Database.h"
#include "DatasetModel.h"
#include "Dataset.h"
#include "DialogAnswerer.h"
#include "MainWindow.h"
#include "Messages.h"
#include "ProgramWindows.h"
#include "RecordNavigator.h"
#include "RegisterView.h"
#include "TestDatabase.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QSignalSpy>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <memory>

using namespace orvelan;

namespace {

void typeText(QWidget *w, const QString &text);

// The program as it starts: the twelve windows over a test database, the main window shown.
struct Program {
    std::unique_ptr<TForm1> main;

    Program()
    {
        main.reset(createProgramWindows());
        main->resize(1000, 600);
        main->show();
        settle();
    }
    ~Program() { main.reset(); }

    static void settle() { QTest::qWait(15); }
    Dataset *table(const char *name) const { return main->table(QString::fromLatin1(name)); }
    DataGrid *grid(const char *name) const { return main->findChild<DataGrid *>(QString::fromLatin1(name)); }
    RecordNavigator *navigator(const char *name) const
    {
        return main->findChild<RecordNavigator *>(QString::fromLatin1(name));
    }
    QAction *action(const char *name) const { return main->findChild<QAction *>(QString::fromLatin1(name)); }

    // A click on a grid's cell, as the user makes it.
    void click(DataGrid *g, int row, int column = 0) const
    {
        settle();  // a grid just shown is laid out first
        QTableView *v = g->view();
        const QModelIndex index = g->model()->index(row, column);
        v->scrollTo(index);
        // A click on the current cell would start editing it; the user is already there.
        if (v->currentIndex() != index)
            QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(index).center());
        settle();
    }
    // Types into a cell through its editor and commits it with Enter.
    void type(DataGrid *g, int row, const QString &field, const QString &text) const
    {
        const int column = g->columnOfField(field);
        click(g, row, column);
        QTableView *v = g->view();
        v->edit(g->model()->index(row, column));
        auto *line = v->findChild<QLineEdit *>(QStringLiteral("editor_") + field);
        QVERIFY2(line, qPrintable(field));
        line->selectAll();
        typeText(line, text);
        QTest::keyClick(line, Qt::Key_Return);
        settle();
    }
    void press(RecordNavigator *n, RecordNavigator::Button b) const
    {
        QVERIFY(n->button(b)->isEnabled());
        QTest::mouseClick(n->button(b), Qt::LeftButton);
        settle();
    }
    // Shows a window from the menu and closes it again, returning the window that was shown.
    QString runMenuCommand(const char *item) const
    {
        QString shown;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget());
                d && !qobject_cast<QMessageBox *>(d)) {
                shown = d->objectName();
                d->reject();
            }
        });
        closer.start(5);
        action(item)->trigger();
        settle();
        return shown;
    }
};

// Typing as the keyboard does it, letter by letter, Cyrillic included.
void typeText(QWidget *w, const QString &text)
{
    for (QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

QStringList visibleNames(TForm1 *main)
{
    QStringList names;
    for (QWidget *w : main->findChildren<QWidget *>())
        if ((qobject_cast<DataGrid *>(w) || qobject_cast<RecordNavigator *>(w)) && !w->isHidden())
            names << w->objectName();
    names.sort();
    return names;
}

QStringList texts(const QList<QAction *> &actions)
{
    QStringList out;
    for (QAction *a : actions)
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

void seedForms(TestDatabase &td)
{
    td.exec("INSERT INTO OTR2 (ID, OTR) VALUES (1, 'Отравления алкоголем'), (2, 'Отравления грибами')");
    td.exec("INSERT INTO OTR3 (OT, FIO) VALUES (1, 'Иванов'), (1, 'Петров'), (2, 'Сидоров')");
    td.exec("INSERT INTO OTRAVLENIYA (ID_OTR, NAME_LONG) VALUES (1, 'Бронхит'), (2, 'Астма')");
    td.exec("INSERT INTO OTR4 (ID_OTR, NAME_LONG) VALUES (1, 'Кома')");
    td.exec("INSERT INTO OTR5 (ID_OBS, FIO) VALUES (1, 'Кузнецов')");
    td.exec("INSERT INTO OTR6 (ID_OTR, NAME_LONG) VALUES (1, 'Яды'), (2, 'Асфиксия')");
    td.exec("INSERT INTO MORE (MOR, FIO) VALUES (1, 'Яковлев'), (1, 'Абрамов')");
}

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QCoreApplication::setApplicationName(QStringLiteral("Orvelan 1.0")); }
    void startsWithEveryWindowAndTheIntoxicationsRegister();
    void menuHasItsItemsInOrderWithoutShortcuts();
    void registerSwitching_data();
    void registerSwitching();
    void switchingKeepsTablesAndCurrentRows();
    void menuCommandsShowTheSameWindowEachTime();
    void guardReopensTherapyPatientsOnlyWithCases();
    void guardReportsMissingDatabaseOnceAndOnlyOnProgramWindows();
    void patientColumnsAsDeclared_data();
    void patientColumnsAsDeclared();
    void pickListsInOrderAndSpelling_data();
    void pickListsInOrderAndSpelling();
    void newCaseIsFiledUnderTheCurrentForm();
    void lookupColumnsWriteTheirKeys();
    void datesAreChosenAndCanBeEmptied();
    void deleteAsksAndOnlyOkDeletes();
    void deletingAFormKeepsItsCases_data();
    void deletingAFormKeepsItsCases();
    void lastTherapyFormDeletedClosesPatientsUntilAFormIsPosted();
    void therapyFormDeletedWhilePatientsClosedStaysClosed();
    void therapyFormEditKeepsPatientsOpen();
    void therapyFormWithoutCasesGoesAloneAndFailuresAreSwallowed();
    void therapyStartsOpenWithNoForms();
    void textIsCutAndNumbersRefuseText();
    void closingPostsTypingAndClosesTherapyTables();
    void startupFailureEndsBeforeAnyWindow();
};

void TestMainWindow::startsWithEveryWindowAndTheIntoxicationsRegister()
{
    TestDatabase td;
    seedForms(td);
    Program p;
    TForm1 *m = p.main.get();
    QCOMPARE(m->windowTitle(), QStringLiteral("Orvelan 1.0"));

    // The other eleven windows, created once each, in order, hidden, with captions and sizes.
    const struct {
        const char *name, *caption;
        QSize size;
    } windows[] = {
        {"TForm2", "Диагноз МКБ-10 терапия", {492, 320}},
        {"TForm3", "Диагноз МКБ-10 умершие клинический", {492, 320}},
        {"TForm4", "Диагноз МКБ-10 отравления", {492, 320}},
        {"TForm5", "Диагоз МКБ-10 реанимация", {484, 269}},
        {"TForm6", "Поиск", {644, 572}},
        {"TForm7", "Диагноз МКБ-10 умершие патологоанатомический", {492, 320}},
        {"TForm8", "Общая статистика", {688, 460}},
        {"TForm9", "Сотрудники ", {755, 610}},
        {"TForm10", "Платные услуги", {698, 569}},
        {"TForm11", "Записная книжка", {868, 625}},
        {"TForm12", "О программе", {329, 269}},
    };
    const QList<QDialog *> dialogs = m->findChildren<QDialog *>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(dialogs.size(), 11);
    for (int i = 0; i < 11; ++i) {
        QCOMPARE(dialogs[i]->objectName(), QString::fromLatin1(windows[i].name));
        QCOMPARE(dialogs[i]->windowTitle(), QString::fromUtf8(windows[i].caption));
        QCOMPARE(dialogs[i]->size(), windows[i].size);
        QCOMPARE(dialogs[i]->minimumSize(), dialogs[i]->maximumSize());
        QVERIFY(dialogs[i]->isHidden());
    }

    // Every table is open and the statistics queries have run.
    for (const char *t : {"Table1", "Table2", "Table5", "Table7", "Table8", "Table9", "Table10", "Table11", "Table12",
                          "Table13", "Table14", "Table15", "Table16"})
        QVERIFY2(p.table(t)->isActive(), t);
    const QList<Dataset *> queries = m->findChild<QDialog *>("TForm8")->findChildren<Dataset *>();
    QCOMPARE(queries.size(), 17);
    for (Dataset *q : queries)
        QVERIFY2(q->isActive(), qPrintable(q->objectName()));

    // The frame: header strip, label, panes, splitter and an empty status bar.
    QCOMPARE(m->groupBox()->title(), QStringLiteral("Отравления"));
    QCOMPARE(visibleNames(m), (QStringList{"bsSkinDBNavigator3", "bsSkinDBNavigator4", "cxGrid3", "cxGrid4"}));
    auto *header = m->findChild<QWidget *>("LMDSimplePanel2");
    QCOMPARE(header->height(), 47);
    auto *label = m->findChild<QWidget *>("LMDSimpleLabel1");
    QCOMPARE(label->accessibleName(), QStringLiteral("База данных отделения токсикологии"));
    QCOMPARE(label->pos(), QPoint(336, 5));
    m->resize(1200, 700);
    Program::settle();
    QCOMPARE(label->pos(), QPoint(336, 5));
    QCOMPARE(m->groupBox()->width(), 265);
    auto *splitter = m->findChild<QSplitter *>("Splitter1");
    QCOMPARE(splitter->handleWidth(), 6);
    QVERIFY(!splitter->opaqueResize());
    QCOMPARE(m->statusBar()->objectName(), QStringLiteral("StatusBar1"));
    QCOMPARE(m->statusBar()->height(), 26);
    QVERIFY(m->statusBar()->currentMessage().isEmpty());
    for (const char *n : {"bsSkinDBNavigator3", "bsSkinDBNavigator4"})
        QCOMPARE(p.navigator(n)->height(), 25);
}

void TestMainWindow::menuHasItsItemsInOrderWithoutShortcuts()
{
    TestDatabase td;
    Program p;
    QMenuBar *bar = p.main->menuBar();
    QCOMPARE(bar->objectName(), QStringLiteral("MainMenu1"));
    QCOMPARE(texts(bar->actions()), (QStringList{"МКБ-10", "Поиск", "Базы", "Общая статистика", "Платные услуги",
                                                 "Адреса телефоны", "Записная книжка", "О программе"}));
    QCOMPARE(texts(bar->actions()[0]->menu()->actions()),
             (QStringList{"Диагноз МКБ-10 терапия", "Диагноз МКБ-10 реанимация", "Диагноз МКБ-10 отравления",
                          "Диагноз МКБ-10 умершие клинический", "Диагноз МКБ-10 умершие патологоанатомический"}));
    QCOMPARE(texts(bar->actions()[2]->menu()->actions()), (QStringList{"Отравления", "Терапия", "Реанимация", "Умершие"}));
    for (QAction *a : p.main->findChildren<QAction *>()) {
        QVERIFY2(a->shortcut().isEmpty(), qPrintable(a->text()));
        QVERIFY2(!a->isCheckable(), qPrintable(a->text()));
        QVERIFY2(!a->text().contains(QLatin1Char('&')), qPrintable(a->text()));
    }
}

void TestMainWindow::registerSwitching_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("visible");
    QTest::newRow("N6") << "N6" << "Отравления" << QStringList{"bsSkinDBNavigator3", "bsSkinDBNavigator4", "cxGrid3", "cxGrid4"};
    QTest::newRow("N7") << "N7" << "Терапия" << QStringList{"bsSkinDBNavigator1", "bsSkinDBNavigator2", "cxGrid1", "cxGrid2"};
    QTest::newRow("N8") << "N8" << "Реанимация" << QStringList{"bsSkinDBNavigator5", "bsSkinDBNavigator6", "cxGrid5", "cxGrid6"};
    QTest::newRow("N9") << "N9" << "Умершие" << QStringList{"bsSkinDBNavigator7", "bsSkinDBNavigator8", "cxGrid7", "cxGrid8"};
}

void TestMainWindow::registerSwitching()
{
    QFETCH(QString, item);
    QFETCH(QString, caption);
    QFETCH(QStringList, visible);
    TestDatabase td;
    Program p;
    // From every register to the chosen one, and choosing it again changes nothing.
    for (const char *from : {"N6", "N7", "N8", "N9"}) {
        p.action(from)->trigger();
        p.action(item.toLatin1().constData())->trigger();
        QCOMPARE(p.main->groupBox()->title(), caption);
        QCOMPARE(visibleNames(p.main.get()), visible);
    }
    p.action(item.toLatin1().constData())->trigger();
    QCOMPARE(visibleNames(p.main.get()), visible);
}

void TestMainWindow::switchingKeepsTablesAndCurrentRows()
{
    TestDatabase td;
    seedForms(td);
    Program p;
    DataGrid *forms = p.grid("cxGrid3");
    DataGrid *cases = p.grid("cxGrid4");
    p.click(forms, 0);
    p.click(cases, 1);
    QCOMPARE(p.table("Table8")->value("FIO").toString(), QStringLiteral("Петров"));
    QSignalSpy reset(p.table("Table8"), &Dataset::rowsReset);
    QSignalSpy moved(p.table("Table8"), &Dataset::currentChanged);
    for (const char *item : {"N7", "N8", "N9", "N6"})
        p.action(item)->trigger();
    Program::settle();
    QCOMPARE(reset.count(), 0);
    QCOMPARE(moved.count(), 0);
    QCOMPARE(p.table("Table8")->value("FIO").toString(), QStringLiteral("Петров"));
    QCOMPARE(cases->view()->currentIndex().row(), 1);
    QCOMPARE(forms->view()->currentIndex().row(), 0);
}

void TestMainWindow::menuCommandsShowTheSameWindowEachTime()
{
    TestDatabase td;
    Program p;
    p.action("N8")->trigger();
    const std::pair<const char *, const char *> commands[] = {
        {"N2", "TForm2"}, {"N102", "TForm5"}, {"N101", "TForm4"}, {"N3", "TForm3"}, {"N103", "TForm7"}, {"N4", "TForm6"},
        {"N10", "TForm8"}, {"N11", "TForm10"}, {"N12", "TForm9"}, {"N13", "TForm11"}, {"N14", "TForm12"},
    };
    for (const auto &[item, window] : commands) {
        QDialog *before = p.main->findChild<QDialog *>(QString::fromLatin1(window));
        QCOMPARE(p.runMenuCommand(item), QString::fromLatin1(window));
        QCOMPARE(p.runMenuCommand(item), QString::fromLatin1(window));
        QCOMPARE(p.main->findChild<QDialog *>(QString::fromLatin1(window)), before);
        QVERIFY(before->isHidden());
        QCOMPARE(p.main->groupBox()->title(), QStringLiteral("Реанимация"));
    }
}

void TestMainWindow::guardReopensTherapyPatientsOnlyWithCases()
{
    TestDatabase td;
    seedForms(td);
    td.exec("INSERT INTO FIO (ID_OBS, FIO) VALUES (2, 'Орлов')");  // only the form "Астма" has a case
    Program p;
    p.action("N7")->trigger();
    Dataset *forms = p.table("Table1");
    Dataset *patients = p.table("Table2");
    DialogAnswerer answers;

    // The descending order of names puts "Бронхит" (no cases) first.
    QCOMPARE(forms->value("NAME_LONG").toString(), QStringLiteral("Бронхит"));
    patients->close();
    QCOMPARE(p.runMenuCommand("N14"), QStringLiteral("TForm12"));
    QVERIFY(!patients->isActive());  // opened and closed again: the form has no cases
    QCOMPARE(p.grid("cxGrid2")->model()->rowCount(), 0);
    for (int b = 0; b < RecordNavigator::ButtonCount; ++b)
        QVERIFY(!p.navigator("bsSkinDBNavigator2")->button(RecordNavigator::Button(b))->isEnabled());

    p.click(p.grid("cxGrid1"), 1);
    QCOMPARE(forms->value("NAME_LONG").toString(), QStringLiteral("Астма"));
    QCOMPARE(p.runMenuCommand("N14"), QStringLiteral("TForm12"));
    QVERIFY(patients->isActive());
    QCOMPARE(p.grid("cxGrid2")->model()->displayText(0, 1), QStringLiteral("Орлов"));
    QVERIFY(p.navigator("bsSkinDBNavigator2")->button(RecordNavigator::Insert)->isEnabled());

    // An open table is left as it is, and coming back from another application runs nothing.
    patients->close();
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(p.main.get(), &activate);
    Program::settle();
    QVERIFY(!patients->isActive());
    QCOMPARE(answers.count(), 0);
}

void TestMainWindow::guardReportsMissingDatabaseOnceAndOnlyOnProgramWindows()
{
    TestDatabase td;
    seedForms(td);
    Program p;
    Dataset *patients = p.table("Table2");
    patients->close();
    td.exec("DROP TABLE FIO");
    DialogAnswerer answers;
    QCOMPARE(p.runMenuCommand("N14"), QStringLiteral("TForm12"));
    QTRY_COMPARE(answers.count(), 1);
    Program::settle();
    QCOMPARE(answers.count(), 1);  // dismissing the box does not run the guard again
    const DialogAnswerer::Seen &box = answers.seen()[0];
    QCOMPARE(box.title, QStringLiteral("Ошибка"));
    QCOMPARE(box.text, QStringLiteral("Нет базы данных"));
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.buttons, QStringList{"OK"});
    QVERIFY(p.table("Table1")->isActive());  // what the guard opened before the error stays open
    QVERIFY(p.main->isVisible());

    // The error box closing is no return from a program window either.
    showErrorBox(p.main.get(), QStringLiteral("проба"));
    Program::settle();
    QCOMPARE(answers.count(), 2);
    QCOMPARE(answers.seen()[1].title, QStringLiteral("Orvelan 1.0"));
    QCOMPARE(answers.seen()[1].icon, QMessageBox::Critical);
}

void TestMainWindow::patientColumnsAsDeclared_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("columns");  // caption=width in characters, or in pixels with "px"
    QTest::newRow("cxGrid4") << "cxGrid4"
                             << "№ истории=15|Ф.И.О.=40|Поступление=15|Выписка=15|Пол=7|Возраст=10|Житель=15|Койко-день=15|"
                                "Кем доставлен=16|Причины отравления=21|Диагноз МКБ-10=40|Диагноз(полный)=255px|"
                                "Время отравления=20|Ст.тяжести=20|Лист нетрудоспособности=26|Сопадение=13|"
                                "% Алкоголя=15|Яд=20|Исход=15";
    QTest::newRow("cxGrid2") << "cxGrid2"
                             << "№ истории=15|Ф.И.О.=40|Поступление=15|Выписка=15|Пол=7|Возраст=10|Кем доставлен=20|"
                                "Лист нетрудоспособности=25|Диагноз МКБ-10=44|Диагноз(полный)=255px|Исход=15";
    QTest::newRow("cxGrid6") << "cxGrid6"
                             << "№ истории=15|Ф.И.О.=40|Поступление=15|Выписка=15|Пол=7|Возраст=10|Кем доставлен=20|"
                                "Лист нетрудоспособности=26|Диагноз МКБ-10=40|Диагноз(полный)=255px|Исход=15";
    QTest::newRow("cxGrid8") << "cxGrid8"
                             << "№ истории=15|Категория=13|Ф.И.О.=50|Пол=7|Возраст=10|Дата поступления=20|Дата смерти=15|"
                                "Время смерти=15|Диагноз патологоанатомический  МКБ-10=50|"
                                "Диагноз патологоанатомический(полный)=255px|Диагноз клинический МКБ-10=50|"
                                "Диагноз клинический(полный)=255px|Совпадение=15|% Алкоголя=15|Примечания=40";
    QTest::newRow("cxGrid3") << "cxGrid3" << "Нозологические формы=40";
    QTest::newRow("cxGrid1") << "cxGrid1" << "Нозологические формы=40";
    QTest::newRow("cxGrid5") << "cxGrid5" << "Нозологические формы=40";
    QTest::newRow("cxGrid7") << "cxGrid7" << "Нозологические формы=238px";
}

void TestMainWindow::patientColumnsAsDeclared()
{
    QFETCH(QString, grid);
    QFETCH(QString, columns);
    TestDatabase td;
    Program p;
    DataGrid *g = p.grid(grid.toLatin1().constData());
    QTableView *v = g->view();
    const int zero = v->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const QStringList expected = columns.split(QLatin1Char('|'));
    QCOMPARE(g->model()->columnCount(), expected.size());
    for (int c = 0; c < expected.size(); ++c) {
        const QString caption = expected[c].section(QLatin1Char('='), 0, 0);
        const QString width = expected[c].section(QLatin1Char('='), 1);
        QCOMPARE(g->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), caption);
        const int pixels = width.endsWith(QLatin1String("px")) ? width.chopped(2).toInt() : width.toInt() * zero + 4;
        QCOMPARE(v->columnWidth(c), pixels);
    }
}

void TestMainWindow::pickListsInOrderAndSpelling_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("values");
    const QStringList sex{"М", "Ж"}, outcome{"Выздоровление", "Улучшение", "Переведен"};
    QTest::newRow("4 SEX") << "cxGrid4" << "SEX" << sex;
    QTest::newRow("4 KEM") << "cxGrid4" << "KEM" << QStringList{"Скорой помощью", "Самостоятельно", "Милицией", "Посторонними"};
    QTest::newRow("4 PRICHINY") << "cxGrid4" << "PRICHINY" << QStringList{"Случайное", "Суицидальное", "Криминальное"};
    QTest::newRow("4 VREMIA_OTR") << "cxGrid4" << "VREMIA_OTR"
                                  << QStringList{"Первые 6 часов", "6 -12 часов", "12 -24 часа", "Более 24 часов"};
    QTest::newRow("4 ST_TIAG") << "cxGrid4" << "ST_TIAG" << QStringList{"Легкая", "Средняя", "Тяжелая", "Крайне тяжелая"};
    QTest::newRow("4 DIAGNOZSOVP") << "cxGrid4" << "DIAGNOZSOVP" << QStringList{"Совпадение", "Расхождение"};
    QTest::newRow("4 ISHOD") << "cxGrid4" << "ISHOD" << outcome;
    QTest::newRow("2 SEX") << "cxGrid2" << "SEX" << sex;
    QTest::newRow("2 KEM_DOST") << "cxGrid2" << "KEM_DOST"
                                << QStringList{"Скорой помощью", "Самостоятельно", "Посторонними ", "Родственниками", "Милицией"};
    QTest::newRow("2 ISHOD") << "cxGrid2" << "ISHOD" << outcome;
    QTest::newRow("6 SEX") << "cxGrid6" << "SEX" << sex;
    QTest::newRow("6 KEM_DOST") << "cxGrid6" << "KEM_DOST"
                                << QStringList{"Скорой помощью", "Самостоятельно", "Родственниками", "Посторонними ", "Милицией"};
    QTest::newRow("6 ISHOD") << "cxGrid6" << "ISHOD" << outcome;
    QTest::newRow("8 KATEGOR") << "cxGrid8" << "KATEGOR" << QStringList{"Отравления", "Терапия", "Реанимация"};
    QTest::newRow("8 SEX") << "cxGrid8" << "SEX" << sex;
    QTest::newRow("8 VREMIA") << "cxGrid8" << "VREMIA"
                              << QStringList{"До 3-х часов", "До 12 часов", "До 3-х суток", "Свыше 3-х суток"};
    QTest::newRow("8 COVP") << "cxGrid8" << "COVP" << QStringList{"Совпадение", "Расхождение"};
}

// The drop-down a user opens lists the values in order; the longest value fits its field.
void TestMainWindow::pickListsInOrderAndSpelling()
{
    QFETCH(QString, grid);
    QFETCH(QString, field);
    QFETCH(QStringList, values);
    TestDatabase td;
    seedForms(td);
    Program p;
    for (const char *item : {"N6", "N7", "N8", "N9"}) {
        p.action(item)->trigger();
        if (!p.grid(grid.toLatin1().constData())->isHidden())
            break;
    }
    DataGrid *g = p.grid(grid.toLatin1().constData());
    g->dataset()->insert();  // a row to edit in, whatever the register holds
    Program::settle();
    const int column = g->columnOfField(field);
    const QModelIndex index = g->model()->index(g->model()->currentModelRow(), column);
    g->view()->edit(index);
    auto *combo = g->view()->findChild<QComboBox *>(QStringLiteral("editor_") + field);
    QVERIFY(combo);
    QVERIFY(combo->isEditable());
    QCOMPARE(combo->maxVisibleItems(), 8);
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i)
        shown << combo->itemText(i);
    QCOMPARE(shown, values);
    const int width = g->dataset()->fieldDef(field)->width;
    QCOMPARE(combo->lineEdit()->maxLength(), width);
    for (const QString &v : values)
        QVERIFY2(v.size() <= width, qPrintable(v));
    // The longest value is stored whole, trailing blank included.
    QString longest = values.front();
    for (const QString &v : values)
        if (v.size() > longest.size())
            longest = v;
    combo->setEditText(longest);
    QTest::keyClick(combo, Qt::Key_Return);
    Program::settle();
    g->dataset()->post();
    QCOMPARE(g->dataset()->value(field).toString(), longest);
}

void TestMainWindow::newCaseIsFiledUnderTheCurrentForm()
{
    TestDatabase td;
    seedForms(td);
    Program p;
    DataGrid *forms = p.grid("cxGrid3");
    DataGrid *cases = p.grid("cxGrid4");
    p.click(forms, 1);
    QCOMPARE(cases->model()->rowCount(), 1);  // "Сидоров" only
    cases->view()->setFocus();
    QTest::keyClick(cases->view(), Qt::Key_Insert);
    Program::settle();
    QCOMPARE(cases->model()->rowCount(), 2);
    p.type(cases, cases->model()->currentModelRow(), "FIO", QStringLiteral("Новиков Олег"));
    p.press(p.navigator("bsSkinDBNavigator4"), RecordNavigator::Post);
    QCOMPARE(td.onDisk("SELECT OT FROM OTR3 WHERE FIO = 'Новиков Олег'"), QStringLiteral("2"));
    QCOMPARE(cases->model()->rowCount(), 2);

    // A form with no cases: insert is on, and the case gets that form's key.
    td.exec("INSERT INTO OTR2 (ID, OTR) VALUES (7, 'Пустая форма')");
    p.press(p.navigator("bsSkinDBNavigator3"), RecordNavigator::Refresh);
    p.click(forms, 2);
    QCOMPARE(cases->model()->rowCount(), 0);
    p.press(p.navigator("bsSkinDBNavigator4"), RecordNavigator::Insert);
    p.type(cases, 0, "FIO", QStringLiteral("Егоров"));
    p.click(forms, 0);  // leaving the form posts the case
    QCOMPARE(td.onDisk("SELECT OT FROM OTR3 WHERE FIO = 'Егоров'"), QStringLiteral("7"));
}

void TestMainWindow::lookupColumnsWriteTheirKeys()
{
    TestDatabase td;
    seedForms(td);
    td.exec("INSERT INTO OT_R (ID, MKB) VALUES (11, 'T51 Алкоголь'), (12, 'T62 Грибы')");
    const QString longName = QString(60, QChar(u'Д'));
    td.exec(QStringLiteral("INSERT INTO PATANATOM (NAME_LONG) VALUES ('Инфаркт'), ('%1')").arg(longName));
    Program p;

    // Intoxications: the entry's ID goes into the text field DIADNOZ as digits.
    DataGrid *cases = p.grid("cxGrid4");
    p.click(cases, 0, cases->columnOfField("DIAGNOZ3"));
    cases->view()->edit(cases->view()->currentIndex());
    auto *combo = cases->view()->findChild<QComboBox *>("editor_DIAGNOZ3");
    QVERIFY(combo);
    QVERIFY(!combo->isEditable());
    QCOMPARE(combo->count(), 2);
    combo->setCurrentIndex(combo->findText(QStringLiteral("T62 Грибы")));
    QTest::keyClick(combo, Qt::Key_Return);
    p.click(cases, 1);
    QCOMPARE(td.onDisk("SELECT DIADNOZ, typeof(DIADNOZ) FROM OTR3 WHERE FIO = 'Иванов'"), QStringLiteral("12|text"));
    QCOMPARE(cases->model()->displayText(0, cases->columnOfField("DIAGNOZ3")), QStringLiteral("T62 Грибы"));

    // Deceased: the text itself, whole in its 70 characters, shown cut to the lookup's 50.
    p.action("N9")->trigger();
    DataGrid *dead = p.grid("cxGrid8");
    QCOMPARE(p.grid("cxGrid7")->model()->displayText(0, 0), QStringLiteral("Асфиксия"));  // forms by name
    p.click(p.grid("cxGrid7"), 1);
    p.click(dead, 0, dead->columnOfField("PAT"));
    dead->view()->edit(dead->view()->currentIndex());
    combo = dead->view()->findChild<QComboBox *>("editor_PAT");
    QVERIFY(combo);
    combo->setCurrentIndex(1);
    QTest::keyClick(combo, Qt::Key_Return);
    Program::settle();
    p.press(p.navigator("bsSkinDBNavigator8"), RecordNavigator::Post);
    const QString first = dead->model()->displayText(0, dead->columnOfField("FIO"));
    QCOMPARE(first, QStringLiteral("Абрамов"));  // the cases are in order of name
    QCOMPARE(td.onDisk("SELECT \"DIAGN PAT\" FROM MORE WHERE FIO = 'Абрамов'"), longName);
    QCOMPARE(dead->model()->displayText(0, dead->columnOfField("PAT")), longName.left(50));
}

void TestMainWindow::datesAreChosenAndCanBeEmptied()
{
    TestDatabase td;
    seedForms(td);
    Program p;
    DataGrid *cases = p.grid("cxGrid4");
    const int column = cases->columnOfField("DATAPOST");
    auto openEditor = [&] {
        p.click(cases, 0, column);
        cases->view()->edit(cases->view()->currentIndex());
        return cases->view()->findChild<QDateEdit *>("editor_DATAPOST");
    };
    QDateEdit *editor = openEditor();
    QVERIFY(editor);
    QVERIFY(editor->calendarPopup());
    QCOMPARE(editor->text().trimmed(), QString());  // no date yet
    editor->setDate(QDate(2024, 3, 1));
    QTest::keyClick(editor, Qt::Key_Return);
    p.click(cases, 1);
    QCOMPARE(td.onDisk("SELECT DATAPOST FROM OTR3 WHERE FIO = 'Иванов'"), QStringLiteral("2024-03-01"));
    QCOMPARE(cases->model()->displayText(0, column), QStringLiteral("01.03.2024"));

    editor = openEditor();
    QVERIFY(editor);
    QCOMPARE(editor->date(), QDate(2024, 3, 1));
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    QTest::keyClick(editor, Qt::Key_Return);
    p.click(cases, 1);
    QCOMPARE(td.onDisk("SELECT DATAPOST IS NULL FROM OTR3 WHERE FIO = 'Иванов'"), QStringLiteral("1"));
}

void TestMainWindow::deleteAsksAndOnlyOkDeletes()
{
    TestDatabase td;
    seedForms(td);
    Program p;
    DataGrid *cases = p.grid("cxGrid4");
    RecordNavigator *nav = p.navigator("bsSkinDBNavigator4");
    {
        DialogAnswerer answers{QMessageBox::Cancel};
        p.press(nav, RecordNavigator::Delete);
        QCOMPARE(answers.count(), 1);
        QCOMPARE(answers.seen()[0].title, QStringLiteral("Confirm"));
        QCOMPARE(answers.seen()[0].text, QStringLiteral("Delete record?"));
        QCOMPARE(answers.seen()[0].buttons, (QStringList{"OK", "Cancel"}));
    }
    QCOMPARE(td.onDisk("SELECT count(*) FROM OTR3"), QStringLiteral("3"));
    QCOMPARE(cases->model()->rowCount(), 2);
    {
        DialogAnswerer answers{QMessageBox::Ok};
        p.click(cases, 1);
        cases->view()->setFocus();
        QTest::keyClick(cases->view(), Qt::Key_Delete, Qt::ControlModifier);
        Program::settle();
        QCOMPARE(answers.count(), 1);
    }
    QCOMPARE(td.onDisk("SELECT group_concat(FIO) FROM OTR3"), QStringLiteral("Иванов,Сидоров"));
    QCOMPARE(cases->model()->rowCount(), 1);
}

void TestMainWindow::deletingAFormKeepsItsCases_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("groupGrid");
    QTest::addColumn<QString>("groupNavigator");
    QTest::addColumn<QString>("patients");  // table and link field
    QTest::addColumn<QString>("forms");
    QTest::newRow("intoxications") << "N6" << "cxGrid3" << "bsSkinDBNavigator3" << "OTR3.OT" << "OTR2";
    QTest::newRow("therapy") << "N7" << "cxGrid1" << "bsSkinDBNavigator1" << "FIO.ID_OBS" << "OTRAVLENIYA";
    QTest::newRow("reanimation") << "N8" << "cxGrid5" << "bsSkinDBNavigator5" << "OTR5.ID_OBS" << "OTR4";
    QTest::newRow("deceased") << "N9" << "cxGrid7" << "bsSkinDBNavigator7" << "MORE.MOR" << "OTR6";
}

// A form with three cases goes; every case stays, still holding the deleted form's key. In
// Therapy too, where the case selected under the form used to go with it.
void TestMainWindow::deletingAFormKeepsItsCases()
{
    QFETCH(QString, item);
    QFETCH(QString, groupGrid);
    QFETCH(QString, groupNavigator);
    QFETCH(QString, patients);
    QFETCH(QString, forms);
    TestDatabase td;
    const QString table = patients.section('.', 0, 0), link = patients.section('.', 1);
    const QString key = forms == QLatin1String("OTR2") ? QStringLiteral("ID") : QStringLiteral("ID_OTR");
    const QString name = forms == QLatin1String("OTR2") ? QStringLiteral("OTR") : QStringLiteral("NAME_LONG");
    td.exec(QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (5, 'Ж форма'), (6, 'Ж форма вторая')").arg(forms, key, name));
    td.exec(QStringLiteral("INSERT INTO %1 (\"%2\", FIO) VALUES (5, 'А'), (5, 'Б'), (5, 'В'), (6, 'Г')").arg(table, link));
    Program p;
    p.action(item.toLatin1().constData())->trigger();
    DataGrid *g = p.grid(groupGrid.toLatin1().constData());
    int row = 0;
    while (g->model()->displayText(row, 0) != QStringLiteral("Ж форма"))
        ++row;
    p.click(g, row);
    RegisterView *view = p.main->shownRegister();
    p.click(view->patientGrid(), 1);  // a case selected under the form
    DialogAnswerer answers{QMessageBox::Ok};
    p.press(p.navigator(groupNavigator.toLatin1().constData()), RecordNavigator::Delete);
    QCOMPARE(answers.count(), 1);
    QCOMPARE(td.onDisk(QStringLiteral("SELECT count(*) FROM %1 WHERE %2 = 5").arg(forms, key)), QStringLiteral("0"));
    QCOMPARE(td.onDisk(QStringLiteral("SELECT group_concat(FIO) FROM (SELECT FIO FROM %1 WHERE \"%2\" = 5 ORDER BY FIO)")
                           .arg(table, link)),
             QStringLiteral("А,Б,В"));
    // The patient grid now shows the remaining form's case.
    QVERIFY(view->patientTable()->isActive());
    QCOMPARE(view->patientGrid()->model()->rowCount(), 1);
    QCOMPARE(view->patientGrid()->model()->displayText(0, view->patientGrid()->columnOfField("FIO")), QStringLiteral("Г"));
}

void TestMainWindow::lastTherapyFormDeletedClosesPatientsUntilAFormIsPosted()
{
    TestDatabase td;
    td.exec("INSERT INTO OTRAVLENIYA (ID_OTR, NAME_LONG) VALUES (3, 'Единственная')");
    // A case filed under no form: were the guard to run after the deletion, it would find this
    // case under the empty link and leave the table open.
    td.exec("INSERT INTO FIO (ID_OBS, FIO) VALUES (3, 'Остаётся'), (NULL, 'Без формы')");
    Program p;
    p.action("N7")->trigger();
    Dataset *patients = p.table("Table2");
    RecordNavigator *formsNav = p.navigator("bsSkinDBNavigator1");
    RecordNavigator *patientsNav = p.navigator("bsSkinDBNavigator2");
    {
        DialogAnswerer answers{QMessageBox::Ok};
        p.press(formsNav, RecordNavigator::Delete);
    }
    QVERIFY(!patients->isActive());
    QCOMPARE(p.grid("cxGrid2")->model()->rowCount(), 0);
    for (int b = 0; b < RecordNavigator::ButtonCount; ++b)
        QVERIFY(!patientsNav->button(RecordNavigator::Button(b))->isEnabled());
    QCOMPARE(td.onDisk("SELECT FIO FROM FIO ORDER BY ID"), QStringLiteral("Остаётся\nБез формы"));

    // A new form posted opens the patient table on its (no) cases, with insert on.
    p.press(formsNav, RecordNavigator::Insert);
    p.type(p.grid("cxGrid1"), 0, "NAME_LONG", QStringLiteral("Новая форма"));
    p.press(formsNav, RecordNavigator::Post);
    QVERIFY(patients->isActive());
    QCOMPARE(p.grid("cxGrid2")->model()->rowCount(), 0);
    QVERIFY(patientsNav->button(RecordNavigator::Insert)->isEnabled());
    QVERIFY(!patientsNav->button(RecordNavigator::Delete)->isEnabled());
}

void TestMainWindow::therapyFormDeletedWhilePatientsClosedStaysClosed()
{
    TestDatabase td;
    seedForms(td);
    Program p;
    p.action("N7")->trigger();
    p.table("Table2")->close();
    DialogAnswerer answers{QMessageBox::Ok};
    // The confirmation's closing runs the guard, which reopens the table; the rules then
    // close and reopen it for the form's cases as the form goes.
    p.press(p.navigator("bsSkinDBNavigator1"), RecordNavigator::Delete);
    QCOMPARE(answers.count(), 1);
    QCOMPARE(td.onDisk("SELECT count(*) FROM OTRAVLENIYA"), QStringLiteral("1"));

    // Without the guard (the rule alone), a closed table stays closed and nothing is shown.
    Dataset *forms = p.table("Table1");
    p.table("Table2")->close();
    forms->deleteRecord();
    QCOMPARE(td.onDisk("SELECT count(*) FROM OTRAVLENIYA"), QStringLiteral("0"));
    QVERIFY(!p.table("Table2")->isActive());
    QCOMPARE(answers.count(), 1);
}

void TestMainWindow::therapyFormEditKeepsPatientsOpen()
{
    TestDatabase td;
    seedForms(td);
    td.exec("INSERT INTO FIO (ID_OBS, FIO) VALUES (1, 'Орлов'), (1, 'Белов')");
    Program p;
    p.action("N7")->trigger();
    DataGrid *forms = p.grid("cxGrid1");
    QCOMPARE(forms->model()->displayText(0, 0), QStringLiteral("Бронхит"));
    p.type(forms, 0, "NAME_LONG", QStringLiteral("Бронхит хронический"));
    p.press(p.navigator("bsSkinDBNavigator1"), RecordNavigator::Post);
    QVERIFY(p.table("Table2")->isActive());
    QCOMPARE(p.grid("cxGrid2")->model()->rowCount(), 2);
    QCOMPARE(td.onDisk("SELECT NAME_LONG FROM OTRAVLENIYA WHERE ID_OTR = 1"), QStringLiteral("Бронхит хронический"));

    // An insert abandoned before it was posted runs no rule.
    p.press(p.navigator("bsSkinDBNavigator1"), RecordNavigator::Insert);
    DialogAnswerer answers{QMessageBox::Ok};
    p.press(p.navigator("bsSkinDBNavigator1"), RecordNavigator::Delete);
    QVERIFY(p.table("Table2")->isActive());
    QCOMPARE(td.onDisk("SELECT count(*) FROM OTRAVLENIYA"), QStringLiteral("2"));
}

void TestMainWindow::therapyFormWithoutCasesGoesAloneAndFailuresAreSwallowed()
{
    TestDatabase td;
    seedForms(td);  // "Бронхит" (no cases) comes first, then "Астма"
    td.exec("INSERT INTO FIO (ID_OBS, FIO) VALUES (2, 'Орлов'), (2, 'Белов')");
    Program p;
    p.action("N7")->trigger();
    DialogAnswerer answers{QMessageBox::Ok, QMessageBox::Ok};
    p.press(p.navigator("bsSkinDBNavigator1"), RecordNavigator::Delete);
    QCOMPARE(td.onDisk("SELECT group_concat(NAME_LONG) FROM OTRAVLENIYA"), QStringLiteral("Астма"));
    QVERIFY(p.table("Table2")->isActive());
    QCOMPARE(p.grid("cxGrid2")->model()->rowCount(), 2);

    // The patient table cannot be read again before the form goes: the failure is swallowed,
    // the table ends closed, and the form is deleted all the same.
    td.exec("ALTER TABLE FIO RENAME TO FIO_AWAY");
    p.press(p.navigator("bsSkinDBNavigator1"), RecordNavigator::Delete);
    QCOMPARE(answers.count(), 2);  // the two confirmations, no error
    QCOMPARE(td.onDisk("SELECT count(*) FROM OTRAVLENIYA"), QStringLiteral("0"));
    QVERIFY(!p.table("Table2")->isActive());
    QCOMPARE(td.onDisk("SELECT count(*) FROM FIO_AWAY"), QStringLiteral("2"));
}

void TestMainWindow::therapyStartsOpenWithNoForms()
{
    TestDatabase td;
    td.exec("INSERT INTO FIO (ID_OBS, FIO) VALUES (NULL, 'Без формы'), (4, 'С формой')");
    Program p;
    p.action("N7")->trigger();
    QVERIFY(p.table("Table2")->isActive());
    DataGrid *cases = p.grid("cxGrid2");
    QCOMPARE(cases->model()->rowCount(), 1);
    QCOMPARE(cases->model()->displayText(0, cases->columnOfField("FIO")), QStringLiteral("Без формы"));
}

void TestMainWindow::textIsCutAndNumbersRefuseText()
{
    TestDatabase td;
    seedForms(td);
    Program p;
    p.action("N7")->trigger();
    p.click(p.grid("cxGrid1"), 0);
    DataGrid *cases = p.grid("cxGrid2");
    p.press(p.navigator("bsSkinDBNavigator2"), RecordNavigator::Insert);
    p.type(cases, 0, "FIO", QString(45, QChar(u'Ф')));
    p.type(cases, 0, "VOZ", QStringLiteral("30"));
    p.press(p.navigator("bsSkinDBNavigator2"), RecordNavigator::Post);
    QCOMPARE(td.onDisk("SELECT length(FIO), VOZ FROM FIO"), QStringLiteral("40|30"));

    DialogAnswerer answers;
    p.type(cases, 0, "VOZ", QStringLiteral("тридцать"));
    QTRY_COMPARE(answers.count(), 1);
    QCOMPARE(answers.seen()[0].title, QStringLiteral("Orvelan 1.0"));
    QCOMPARE(answers.seen()[0].icon, QMessageBox::Critical);
    QVERIFY2(answers.seen()[0].text.contains(QStringLiteral("VOZ")), qPrintable(answers.describe()));
    p.click(cases, 0, 0);
    QCOMPARE(td.onDisk("SELECT VOZ FROM FIO"), QStringLiteral("30"));
    QCOMPARE(cases->model()->displayText(0, cases->columnOfField("VOZ")), QStringLiteral("30"));
    // The program goes on: a value the field takes is stored.
    p.type(cases, 0, "VOZ", QStringLiteral("31"));
    p.press(p.navigator("bsSkinDBNavigator2"), RecordNavigator::Post);
    QCOMPARE(td.onDisk("SELECT VOZ FROM FIO"), QStringLiteral("31"));
}

void TestMainWindow::closingPostsTypingAndClosesTherapyTables()
{
    TestDatabase td;
    seedForms(td);
    Program p;
    DataGrid *cases = p.grid("cxGrid4");
    p.type(cases, 0, "FIO", QStringLiteral("Иванов Иван"));
    QCOMPARE(td.onDisk("SELECT count(*) FROM OTR3 WHERE FIO = 'Иванов Иван'"), QStringLiteral("0"));
    p.table("Table2")->close();
    DialogAnswerer answers;
    QVERIFY(p.main->close());
    QCOMPARE(answers.count(), 0);
    QCOMPARE(td.onDisk("SELECT count(*) FROM OTR3 WHERE FIO = 'Иванов Иван'"), QStringLiteral("1"));
    QVERIFY(!p.table("Table1")->isActive());
    QVERIFY(!p.table("Table2")->isActive());
}

void TestMainWindow::startupFailureEndsBeforeAnyWindow()
{
    QTemporaryDir home;
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", home.path() + "/config");
    env.insert("XDG_DATA_HOME", home.path() + "/data");  // no database file there
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(ORVELAN_APP), {});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY(program.exitCode() != 0);
    const QString err = QString::fromUtf8(program.readAllStandardError());
    QVERIFY2(err.contains(QStringLiteral("Orvelan.sqlite")), qPrintable(err));
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
