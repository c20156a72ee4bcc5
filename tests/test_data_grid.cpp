// The data-bound grid and the record navigator, driven through their real widgets offscreen:
// keys and clicks on the view, its editors, its header and the navigator's buttons, with what
// the database file holds afterwards read through a connection of its own.
#include "DataGrid.h"
#include "DataSource.h"
#include "Dataset.h"
#include "DatasetModel.h"
#include "DialogAnswerer.h"
#include "GridHeader.h"
#include "RecordNavigator.h"
#include "TestDatabase.h"
#include "ValueFilterPopup.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>

using namespace orvelan;

Q_DECLARE_METATYPE(QMessageBox::StandardButton)

namespace {

void settle()
{
    // Row changes reach the dataset through queued calls, and editors commit through them.
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Types text key by key; QTest::keyClicks would drop every letter outside Latin-1.
void typeText(QWidget *w, const QString &text)
{
    for (QChar ch : text) {
        const Qt::Key key = ch == QLatin1Char(' ') ? Qt::Key_Space : Qt::Key(ch.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Click, w, key, QString(ch), Qt::NoModifier);
    }
}

QStringList buttonOrder()
{
    return {"first", "prior", "next", "last", "insert", "delete", "edit", "post", "cancel", "refresh"};
}

// Which navigator buttons are enabled, as ten 0/1 digits in button order.
QString enabledMask(const RecordNavigator &nav)
{
    QString mask;
    for (int b = 0; b < RecordNavigator::ButtonCount; ++b)
        mask += nav.button(RecordNavigator::Button(b))->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return mask;
}

QString seedPatient(const QString &fio, const QVariant &age = {}, const QString &broughtBy = {},
                    const QString &admitted = {}, const QString &diagnosisKey = {}, const QVariant &alcohol = {})
{
    auto lit = [](const QVariant &v) {
        if (!v.isValid() || v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty()))
            return QStringLiteral("NULL");
        if (v.typeId() == QMetaType::QString)
            return QStringLiteral("'%1'").arg(v.toString());
        return v.toString();
    };
    return QStringLiteral("INSERT INTO OTR3 (FIO, VOZRAST, KEM, DATAPOST, DIADNOZ, \"%ALC\") VALUES (%1, %2, %3, %4, %5, %6)")
        .arg(lit(fio), lit(age), lit(broughtBy), lit(admitted), lit(diagnosisKey), lit(alcohol));
}

void seedThreePatients(TestDatabase &td)
{
    td.exec(seedPatient("Алексеев", 30, "Скорой помощью", "2024-03-01", {}, 0.5));
    td.exec(seedPatient("Борисов", 41, "Самостоятельно", "2024-03-02", {}, 1.2));
    td.exec(seedPatient("Васильев", 52, "Милицией", "2024-03-03", {}, 0.0));
}

GridColumn column(const char *caption, const char *field, EditorKind editor = EditorKind::Text, int width = 12,
                  QStringList pickList = {})
{
    return {QString::fromUtf8(caption), QString::fromUtf8(field), editor, kHeaderCentred, width, 0, pickList};
}

std::vector<GridColumn> patientColumns()
{
    return {column("Ф.И.О.", "FIO", EditorKind::Text, 20), column("Возраст", "VOZRAST", EditorKind::Text, 8),
            column("% Алкоголя", "%ALC", EditorKind::Text, 8)};
}

// One grid with its navigator in a window of their own, over one table of the test database.
// Every message box the program raises is answered and recorded, so none can hang a test.
struct Screen {
    explicit Screen(const QString &file = QStringLiteral("OTR3.db")) { table.setTableName(file); }

    Dataset table;
    Dataset dictionary;
    DataSource source{&table};
    std::unique_ptr<DialogAnswerer> answers = std::make_unique<DialogAnswerer>();
    QWidget window;
    DataGrid *grid = nullptr;
    RecordNavigator *nav = nullptr;

    bool build(std::vector<GridColumn> columns, const GridSettings &settings = {}, bool openTable = true)
    {
        if (openTable)
            table.open();
        auto *layout = new QVBoxLayout(&window);
        grid = new DataGrid(QStringLiteral("cxGrid4"), &source, std::move(columns), settings, &window);
        nav = new RecordNavigator(QStringLiteral("bsSkinDBNavigator4"), &source, &window);
        layout->addWidget(grid);
        layout->addWidget(nav);
        window.resize(760, 360);
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowExposed(&window))
            return false;
        settle();
        return true;
    }

    // The next boxes are answered with these buttons (OK once they run out).
    void answer(std::initializer_list<QMessageBox::StandardButton> buttons)
    {
        answers = std::make_unique<DialogAnswerer>(buttons);
    }

    QTableView *view() const { return grid->view(); }
    DatasetModel *model() const { return grid->model(); }
    QModelIndex cell(int row, const QString &field) const { return model()->index(row, grid->columnOfField(field)); }

    void clickCell(int row, const QString &field) const
    {
        const QModelIndex index = cell(row, field);
        view()->scrollTo(index);
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, view()->visualRect(index).center());
        settle();
    }
    void press(RecordNavigator::Button b) const
    {
        QTest::mouseClick(nav->button(b), Qt::LeftButton);
        settle();
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = {}) const
    {
        QTest::keyClick(view(), k, mods);
        settle();
    }

    // Opens the cell's editor with F2, as the user does, and returns it.
    template <class Editor>
    Editor *edit(int row, const QString &field) const
    {
        settle();  // editors closed before are gone
        view()->setCurrentIndex(cell(row, field));
        settle();
        QTest::keyClick(view(), Qt::Key_F2);
        settle();
        return qobject_cast<Editor *>(view()->indexWidget(cell(row, field)));
    }

    // The cell texts of one column, top to bottom.
    QString columnText(const QString &field) const
    {
        QStringList out;
        for (int r = 0; r < model()->rowCount(); ++r)
            out << model()->displayText(r, grid->columnOfField(field));
        return out.join(QLatin1Char(','));
    }
};

// Replaces a line edit's text by typing, and commits it with Enter.
void retype(QLineEdit *line, QWidget *editor, const QString &text)
{
    QTest::keyClick(line, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(line, Qt::Key_Delete);
    else
        typeText(line, text);
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
}

// Opens a combo's drop-down and clicks one of its entries.
bool chooseFromPopup(QComboBox *combo, int entry)
{
    combo->showPopup();
    settle();
    QAbstractItemView *list = combo->view();
    if (!list->isVisible())
        return false;
    const QModelIndex index = list->model()->index(entry, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    settle();
    return !list->isVisible() && combo->currentIndex() == entry;
}

}  // namespace

class TestDataGrid : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void navigatorEnablingFollowsState_data();
    void navigatorEnablingFollowsState();
    void navigatorButtonsAreNamedInOrder();
    void navigatorPostAndCancelActOnTheRow_data();
    void navigatorPostAndCancelActOnTheRow();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void inPlaceTextEditing_data();
    void inPlaceTextEditing();
    void refusedValueIsReportedAndGridGoesOn_data();
    void refusedValueIsReportedAndGridGoesOn();
    void pickListEditor_data();
    void pickListEditor();
    void lookupEditorWritesTheKey_data();
    void lookupEditorWritesTheKey();
    void dateEditorStoresIsoDate_data();
    void dateEditorStoresIsoDate();
    void headerClickSorts_data();
    void headerClickSorts();
    void movingOffAnEditedRowInSortedGrid_data();
    void movingOffAnEditedRowInSortedGrid();
    void valueFilterPopupNarrowsRows_data();
    void valueFilterPopupNarrowsRows();
    void insertOnDetailGridFilesUnderMaster_data();
    void insertOnDetailGridFilesUnderMaster();
    void largeTableIsReadOnlyWhereShown_data();
    void largeTableIsReadOnlyWhereShown();
    void columnWidths_data();
    void columnWidths();
    void accessibleTableMatchesGrid();
};

void TestDataGrid::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("Orvelan 1.0"));
}

// --- navigator -------------------------------------------------------------------------------

void TestDataGrid::navigatorEnablingFollowsState_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("enabled");  // first prior next last insert delete edit post cancel refresh
    QTest::addColumn<int>("currentRow");

    QTest::newRow("closed") << "closed" << 3 << "0000000000" << -1;
    QTest::newRow("empty table") << "open" << 0 << "0000101001" << -1;
    QTest::newRow("inserting into an empty table") << "insert" << 0 << "0000100111" << 0;
    QTest::newRow("first of three") << "open" << 3 << "0011111001" << 0;
    QTest::newRow("middle of three") << "next" << 3 << "1111111001" << 1;
    QTest::newRow("last of three") << "last" << 3 << "1100111001" << 2;
    QTest::newRow("back to the first") << "last,first" << 3 << "0011111001" << 0;
    QTest::newRow("prior from the last") << "last,prior" << 3 << "1111111001" << 1;
    QTest::newRow("editing") << "next,edit" << 3 << "1111110111" << 1;
    QTest::newRow("typing in a cell") << "next,type" << 3 << "1111110111" << 1;
    QTest::newRow("inserting") << "next,insert" << 3 << "1111110111" << 1;
    QTest::newRow("editing cancelled") << "next,edit,cancel" << 3 << "1111111001" << 1;
}

void TestDataGrid::navigatorEnablingFollowsState()
{
    QFETCH(QString, situation);
    QFETCH(int, rows);
    QFETCH(QString, enabled);
    QFETCH(int, currentRow);

    TestDatabase td;
    if (rows == 3)
        seedThreePatients(td);
    Screen s;
    QVERIFY(s.build(patientColumns(), {}, situation != QLatin1String("closed")));

    for (const QString &step : situation.split(QLatin1Char(','))) {
        if (step == QLatin1String("next"))
            s.press(RecordNavigator::Next);
        else if (step == QLatin1String("last"))
            s.press(RecordNavigator::Last);
        else if (step == QLatin1String("first"))
            s.press(RecordNavigator::First);
        else if (step == QLatin1String("prior"))
            s.press(RecordNavigator::Prior);
        else if (step == QLatin1String("edit"))
            s.press(RecordNavigator::Edit);
        else if (step == QLatin1String("insert"))
            s.press(RecordNavigator::Insert);
        else if (step == QLatin1String("cancel"))
            s.press(RecordNavigator::Cancel);
        else if (step == QLatin1String("type")) {
            auto *line = s.edit<QLineEdit>(s.model()->currentModelRow(), "FIO");
            QVERIFY(line);
            retype(line, line, QStringLiteral("Борисова"));
        }
    }

    QCOMPARE(enabledMask(*s.nav), enabled);
    QCOMPARE(s.model()->currentModelRow(), currentRow);
    QCOMPARE(s.view()->currentIndex().row(), currentRow);
    QVERIFY2(s.answers->count() == 0, qPrintable(s.answers->describe()));
}

void TestDataGrid::navigatorButtonsAreNamedInOrder()
{
    TestDatabase td;
    seedThreePatients(td);
    Screen s;
    QVERIFY(s.build(patientColumns()));

    // What each button does, in the words a user of the department reads in its hint.
    const QStringList meaning{"Перв", "Предыдущ", "Следующ", "Последн", "Добав", "Удал", "Измен", "Сохран", "Отмен", "Обнов"};
    QSet<QString> tips, names;
    int previousRight = -1;
    for (int b = 0; b < RecordNavigator::ButtonCount; ++b) {
        QToolButton *button = s.nav->button(RecordNavigator::Button(b));
        QVERIFY(button);
        QCOMPARE(button->objectName(), buttonOrder()[b]);
        QVERIFY2(button->toolTip().contains(meaning[b], Qt::CaseInsensitive), qPrintable(button->toolTip()));
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(button);
        QVERIFY(a);
        QCOMPARE(a->role(), QAccessible::Button);
        const QString name = a->text(QAccessible::Name);
        QVERIFY2(!name.isEmpty() && name.contains(meaning[b], Qt::CaseInsensitive), qPrintable(name));
        tips.insert(button->toolTip());
        names.insert(name);
        // Left to right in the order of the enumeration.
        QVERIFY(button->isVisible());
        QVERIFY2(button->geometry().left() > previousRight, qPrintable(button->objectName()));
        previousRight = button->geometry().right();
    }
    QCOMPARE(tips.size(), int(RecordNavigator::ButtonCount));
    QCOMPARE(names.size(), int(RecordNavigator::ButtonCount));
}

void TestDataGrid::navigatorPostAndCancelActOnTheRow_data()
{
    QTest::addColumn<bool>("inserting");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("inFile");

    QTest::newRow("edit, post") << false << int(RecordNavigator::Post) << "Алексеев\nБорисова\nВасильев";
    QTest::newRow("edit, cancel") << false << int(RecordNavigator::Cancel) << "Алексеев\nБорисов\nВасильев";
    QTest::newRow("insert, post") << true << int(RecordNavigator::Post) << "Алексеев\nБорисов\nВасильев\nБорисова";
    QTest::newRow("insert, cancel") << true << int(RecordNavigator::Cancel) << "Алексеев\nБорисов\nВасильев";
}

void TestDataGrid::navigatorPostAndCancelActOnTheRow()
{
    QFETCH(bool, inserting);
    QFETCH(int, button);
    QFETCH(QString, inFile);

    TestDatabase td;
    seedThreePatients(td);
    Screen s;
    QVERIFY(s.build(patientColumns()));
    s.clickCell(1, "FIO");
    if (inserting) {
        s.press(RecordNavigator::Insert);
        QCOMPARE(s.model()->rowCount(), 4);
    }
    auto *line = s.edit<QLineEdit>(1, "FIO");
    QVERIFY(line);
    retype(line, line, QStringLiteral("Борисова"));
    QVERIFY(s.nav->button(RecordNavigator::Post)->isEnabled());

    s.press(RecordNavigator::Button(button));
    QCOMPARE(td.onDisk("SELECT FIO FROM OTR3 ORDER BY ID_O1"), inFile);
    QCOMPARE(s.table.state(), Dataset::State::Browse);
    QCOMPARE(s.model()->rowCount(), int(inFile.count(QLatin1Char('\n'))) + 1);
    QVERIFY(!s.nav->button(RecordNavigator::Post)->isEnabled());
    QVERIFY(!s.nav->button(RecordNavigator::Cancel)->isEnabled());
    // The grid shows what the file holds, in key order.
    QCOMPARE(s.columnText("FIO"), QString(inFile).replace(QLatin1Char('\n'), QLatin1Char(',')));
    QVERIFY2(s.answers->count() == 0, qPrintable(s.answers->describe()));
}

// --- deleting --------------------------------------------------------------------------------

void TestDataGrid::deleteAsksFirst_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QString>("inFile");
    QTest::addColumn<QString>("currentAfter");

    const QString all = QStringLiteral("Алексеев\nБорисов\nВасильев");
    const QString deleted = QStringLiteral("Алексеев\nВасильев");
    QTest::newRow("navigator, Cancel") << "navigator" << QMessageBox::Cancel << all << "Борисов";
    QTest::newRow("navigator, OK") << "navigator" << QMessageBox::Ok << deleted << "Васильев";
    QTest::newRow("Ctrl+Delete, Cancel") << "Ctrl+Delete" << QMessageBox::Cancel << all << "Борисов";
    QTest::newRow("Ctrl+Delete, OK") << "Ctrl+Delete" << QMessageBox::Ok << deleted << "Васильев";
    QTest::newRow("Delete alone asks nothing") << "Delete" << QMessageBox::Ok << all << "Борисов";
}

void TestDataGrid::deleteAsksFirst()
{
    QFETCH(QString, how);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QString, inFile);
    QFETCH(QString, currentAfter);

    TestDatabase td;
    seedThreePatients(td);
    Screen s;
    QVERIFY(s.build(patientColumns()));
    s.clickCell(1, "FIO");
    QCOMPARE(s.table.value("FIO").toString(), QStringLiteral("Борисов"));

    s.answer({answer});
    if (how == QLatin1String("navigator"))
        s.press(RecordNavigator::Delete);
    else
        s.key(Qt::Key_Delete, how == QLatin1String("Ctrl+Delete") ? Qt::ControlModifier : Qt::NoModifier);

    if (how == QLatin1String("Delete")) {
        QCOMPARE(s.answers->count(), 0);
    } else {
        QCOMPARE(s.answers->count(), 1);
        const DialogAnswerer::Seen &box = s.answers->seen().front();
        QCOMPARE(box.title, QStringLiteral("Confirm"));
        QCOMPARE(box.text, QStringLiteral("Delete record?"));
        QStringList buttons = box.buttons;
        buttons.sort();
        QCOMPARE(buttons, QStringList({"Cancel", "OK"}));
    }

    QCOMPARE(td.onDisk("SELECT FIO FROM OTR3 ORDER BY ID_O1"), inFile);
    QCOMPARE(s.model()->rowCount(), int(inFile.count(QLatin1Char('\n'))) + 1);
    QCOMPARE(s.table.value("FIO").toString(), currentAfter);
    QCOMPARE(s.model()->displayText(s.view()->currentIndex().row(), 0), currentAfter);
}

// --- editing cells ---------------------------------------------------------------------------

void TestDataGrid::inPlaceTextEditing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("finish");
    QTest::addColumn<QString>("stored");  // quote() of the first row's FIO in the file

    const QString longName = QStringLiteral("Константинопольский-Кржижановский Александр Владимирович");
    QTest::newRow("Enter, then Down") << "Петров" << "down" << "'Петров'";
    QTest::newRow("click on another row") << "Петров" << "click" << "'Петров'";
    QTest::newRow("Enter, then Esc") << "Петров" << "esc" << "'Алексеев'";
    QTest::newRow("Esc in the editor, then Down") << "Петров" << "editor esc" << "'Алексеев'";
    QTest::newRow("longer than the field") << longName << "down" << "'" + longName.left(40) + "'";
    QTest::newRow("cleared") << "" << "down" << "NULL";
    QTest::newRow("blanks only") << "   " << "down" << "NULL";
}

void TestDataGrid::inPlaceTextEditing()
{
    QFETCH(QString, typed);
    QFETCH(QString, finish);
    QFETCH(QString, stored);

    TestDatabase td;
    seedThreePatients(td);
    Screen s;
    QVERIFY(s.build(patientColumns()));

    auto *line = s.edit<QLineEdit>(0, "FIO");
    QVERIFY(line);
    QCOMPARE(line->objectName(), QStringLiteral("editor_FIO"));
    QCOMPARE(line->text(), QStringLiteral("Алексеев"));
    QCOMPARE(line->maxLength(), 40);
    QTest::keyClick(line, Qt::Key_A, Qt::ControlModifier);
    if (typed.isEmpty())
        QTest::keyClick(line, Qt::Key_Delete);
    else
        typeText(line, typed);

    if (finish == QLatin1String("down")) {
        QTest::keyClick(line, Qt::Key_Return);
        settle();
        s.key(Qt::Key_Down);
    } else if (finish == QLatin1String("click")) {
        s.clickCell(2, "VOZRAST");
    } else if (finish == QLatin1String("esc")) {
        QTest::keyClick(line, Qt::Key_Return);
        settle();
        QCOMPARE(s.table.state(), Dataset::State::Edit);
        s.key(Qt::Key_Escape);
    } else {
        QTest::keyClick(line, Qt::Key_Escape);
        settle();
        QVERIFY(!s.view()->indexWidget(s.cell(0, "FIO")));
        s.key(Qt::Key_Down);
    }

    QCOMPARE(s.table.state(), Dataset::State::Browse);
    QCOMPARE(td.onDisk("SELECT quote(FIO) FROM OTR3 ORDER BY ID_O1"), stored + "\n'Борисов'\n'Васильев'");
    // The grid shows what was kept, as text.
    const QString shown = stored == QLatin1String("NULL") ? QString() : stored.mid(1, stored.size() - 2);
    QCOMPARE(s.model()->displayText(0, s.grid->columnOfField("FIO")), shown);
    QCOMPARE(s.columnText("VOZRAST"), QStringLiteral("30,41,52"));
    QVERIFY2(s.answers->count() == 0, qPrintable(s.answers->describe()));
}

void TestDataGrid::refusedValueIsReportedAndGridGoesOn_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("why");
    QTest::addColumn<QString>("valid");
    QTest::addColumn<QString>("inFile");  // the column in key order after the valid edit of row 2

    QTest::newRow("letters in an integer") << "VOZRAST" << "abc" << "не является целым числом" << "42" << "30\n42\n52";
    QTest::newRow("fraction in an integer") << "VOZRAST" << "12.5" << "не является целым числом" << "7" << "30\n7\n52";
    QTest::newRow("integer out of range") << "VOZRAST" << "99999999999"
                                          << "вне допустимого диапазона (от -2147483648 до 2147483647)" << "0"
                                          << "30\n0\n52";
    QTest::newRow("letters in a number") << "%ALC" << "x1" << "не является числом" << "2,5" << "0.5\n2.5\n0.0";
}

void TestDataGrid::refusedValueIsReportedAndGridGoesOn()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, why);
    QFETCH(QString, valid);
    QFETCH(QString, inFile);

    TestDatabase td;
    seedThreePatients(td);
    const QString query = QStringLiteral("SELECT \"%1\" FROM OTR3 ORDER BY ID_O1").arg(field);
    const QString before = td.onDisk(query);
    Screen s;
    QVERIFY(s.build(patientColumns()));
    const QString shownBefore = s.columnText(field);

    auto *line = s.edit<QLineEdit>(0, field);
    QVERIFY(line);
    retype(line, line, typed);

    QCOMPARE(s.answers->count(), 1);
    const DialogAnswerer::Seen &box = s.answers->seen().front();
    QCOMPARE(box.objectName, QStringLiteral("ErrorBox"));
    QCOMPARE(box.title, QStringLiteral("Orvelan 1.0"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.text, QStringLiteral("Поле «%1»: значение «%2» %3").arg(field, typed, why));
    QCOMPARE(box.buttons, QStringList{"OK"});
    // Nothing entered the row: it is not being edited and shows what it did.
    QCOMPARE(s.table.state(), Dataset::State::Browse);
    QCOMPARE(s.columnText(field), shownBefore);
    s.key(Qt::Key_Down);
    QCOMPARE(td.onDisk(query), before);

    // The grid goes on: the next row takes a valid value and posts it.
    QCOMPARE(s.model()->currentModelRow(), 1);
    line = s.edit<QLineEdit>(1, field);
    QVERIFY(line);
    retype(line, line, valid);
    s.key(Qt::Key_Down);
    QCOMPARE(td.onDisk(query), inFile);
    QCOMPARE(s.answers->count(), 1);
}

void TestDataGrid::pickListEditor_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stored");

    QTest::newRow("typed, not in the list") << "type" << "Пожарными" << "'Пожарными'";
    QTest::newRow("typed, longer than the field") << "type" << "Работниками полиции" << "'Работниками пол'";
    QTest::newRow("chosen from the list") << "choose" << "Поликлиникой" << "'Поликлиникой'";
    QTest::newRow("cleared") << "type" << "" << "NULL";
}

void TestDataGrid::pickListEditor()
{
    QFETCH(QString, how);
    QFETCH(QString, text);
    QFETCH(QString, stored);

    // More entries than the drop-down shows at once.
    const QStringList broughtBy{"Скорой помощью", "Самостоятельно", "Милицией", "Посторонними", "Поликлиникой",
                                "Родственниками", "Соседями", "Санавиацией", "Из стационара", "Иное"};
    TestDatabase td;
    seedThreePatients(td);
    Screen s;
    auto columns = patientColumns();
    columns.push_back(column("Кем доставлен", "KEM", EditorKind::PickList, 16, broughtBy));
    QVERIFY(s.build(columns));

    auto *combo = s.edit<QComboBox>(0, "KEM");
    QVERIFY(combo);
    QCOMPARE(combo->objectName(), QStringLiteral("editor_KEM"));
    QVERIFY(combo->isEditable());
    QCOMPARE(combo->currentText(), QStringLiteral("Скорой помощью"));
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    QCOMPARE(items, broughtBy);
    QCOMPARE(combo->maxVisibleItems(), 8);
    QCOMPARE(combo->lineEdit()->maxLength(), 15);  // KEM holds 15 characters
    QVERIFY(!combo->completer());

    if (how == QLatin1String("choose")) {
        // The drop-down shows eight entries at once.
        combo->showPopup();
        settle();
        QAbstractItemView *list = combo->view();
        QVERIFY(list->isVisible());
        int whole = 0;
        for (int i = 0; i < combo->count(); ++i)
            if (const QRect r = list->visualRect(list->model()->index(i, 0)); r.top() >= 0 && r.bottom() < list->viewport()->height())
                ++whole;
        QCOMPARE(whole, 8);
        combo->hidePopup();
        settle();
        QVERIFY(chooseFromPopup(combo, int(broughtBy.indexOf(text))));
        QCOMPARE(combo->currentText(), text);
        QTest::keyClick(combo, Qt::Key_Return);
        settle();
    } else {
        retype(combo->lineEdit(), combo, text);
    }
    s.key(Qt::Key_Down);

    QCOMPARE(td.onDisk("SELECT quote(KEM) FROM OTR3 ORDER BY ID_O1"), stored + "\n'Самостоятельно'\n'Милицией'");
    QVERIFY2(s.answers->count() == 0, qPrintable(s.answers->describe()));
}

void TestDataGrid::lookupEditorWritesTheKey_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("keyField");
    QTest::addColumn<QString>("dictionary");
    QTest::addColumn<QString>("dictionaryKey");
    QTest::addColumn<QString>("dictionaryText");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("stored");  // value|type of the key field in the file

    // Dictionary rows get the IDs 5, 7 and 9, so that an entry's place is never taken for its key.
    QTest::newRow("integer key (FIO.db DIAGNOZ)") << "FIO.db" << "DIAGNOZ" << "DIAGNOZ.db" << "ID" << "NAME_DIAGNOZ" << 1
                                                  << "7|integer";
    QTest::newRow("text key (OTR3.db DIADNOZ)") << "OTR3.db" << "DIADNOZ" << "OT_R.db" << "ID" << "MKB" << 2 << "9|text";
    QTest::newRow("the text itself (MORE.db DIAGN PAT)") << "MORE.db" << "DIAGN PAT" << "PATANATOM.db" << "NAME_LONG"
                                                         << "NAME_LONG" << 1 << "Острая сердечная недостаточность|text";
}

void TestDataGrid::lookupEditorWritesTheKey()
{
    QFETCH(QString, table);
    QFETCH(QString, keyField);
    QFETCH(QString, dictionary);
    QFETCH(QString, dictionaryKey);
    QFETCH(QString, dictionaryText);
    QFETCH(int, chosen);
    QFETCH(QString, stored);

    const QStringList entries{"Отек головного мозга", "Острая сердечная недостаточность", "Токсическая энцефалопатия"};
    TestDatabase td;
    const QString dictSql = QString(dictionary).remove(QStringLiteral(".db"));
    const QString tableSql = QString(table).remove(QStringLiteral(".db"));
    for (int i = 0; i < entries.size(); ++i)
        td.exec(QStringLiteral("INSERT INTO %1 (ID, \"%2\") VALUES (%3, '%4')").arg(dictSql, dictionaryText).arg(5 + 2 * i).arg(entries[i]));
    td.exec(QStringLiteral("INSERT INTO %1 (FIO) VALUES ('Алексеев'), ('Борисов')").arg(tableSql));

    Screen s(table);
    s.dictionary.setTableName(dictionary);
    s.table.addLookup({QStringLiteral("DIAG_L"), 70, keyField, &s.dictionary, dictionaryKey, dictionaryText});
    QVERIFY(s.build({column("Ф.И.О.", "FIO", EditorKind::Text, 20), column("Диагноз", "DIAG_L", EditorKind::Lookup, 40)}));

    auto *combo = s.edit<QComboBox>(0, "DIAG_L");
    QVERIFY(combo);
    QVERIFY(!combo->isEditable());
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    QCOMPARE(items, entries);
    QCOMPARE(combo->currentIndex(), -1);  // the row has no diagnosis yet

    QVERIFY(chooseFromPopup(combo, chosen));
    QTest::keyClick(combo, Qt::Key_Return);
    settle();
    QCOMPARE(s.model()->displayText(0, 1), entries[chosen]);  // shown at once, before posting
    s.key(Qt::Key_Down);

    const QString query = QStringLiteral("SELECT \"%1\", typeof(\"%1\") FROM %2 ORDER BY rowid").arg(keyField, tableSql);
    QCOMPARE(td.onDisk(query), stored + "\n|null");
    QCOMPARE(s.model()->displayText(0, 1), entries[chosen]);
    QCOMPARE(s.model()->displayText(1, 1), QString());

    // Opened again, the editor stands on the stored entry.
    combo = s.edit<QComboBox>(0, "DIAG_L");
    QVERIFY(combo);
    QCOMPARE(combo->currentIndex(), chosen);
    QTest::keyClick(combo, Qt::Key_Escape);
    settle();
    QVERIFY2(s.answers->count() == 0, qPrintable(s.answers->describe()));
}

void TestDataGrid::dateEditorStoresIsoDate_data()
{
    QTest::addColumn<QString>("admitted");  // the first row's date in the file before, ISO
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("stored");

    QTest::newRow("day stepped up with the arrow key") << "2024-03-01" << "up" << "2024-03-02";
    QTest::newRow("day typed over") << "2024-03-01" << "type:15" << "2024-03-15";
    QTest::newRow("whole date typed over") << "2024-03-01" << "type:15042023" << "2023-04-15";
    QTest::newRow("picked in the calendar: a day on, a week down") << "2024-03-01" << "calendar" << "2024-03-09";
    QTest::newRow("typed into an empty cell") << "" << "type:15032024" << "2024-03-15";
}

void TestDataGrid::dateEditorStoresIsoDate()
{
    QFETCH(QString, admitted);
    QFETCH(QString, how);
    QFETCH(QString, stored);

    TestDatabase td;
    seedThreePatients(td);
    td.exec(QStringLiteral("UPDATE OTR3 SET DATAPOST = %1 WHERE FIO = 'Алексеев'")
                .arg(admitted.isEmpty() ? QStringLiteral("NULL") : "'" + admitted + "'"));
    Screen s;
    auto columns = patientColumns();
    columns.push_back(column("Поступление", "DATAPOST", EditorKind::Date, 12));
    QVERIFY(s.build(columns));
    const QDate before = QDate::fromString(admitted, Qt::ISODate);
    QCOMPARE(s.model()->displayText(0, 3), before.isValid() ? before.toString("dd.MM.yyyy") : QString());

    auto *date = s.edit<QDateEdit>(0, "DATAPOST");
    QVERIFY(date);
    QVERIFY(date->calendarPopup());
    if (before.isValid())
        QCOMPARE(date->date(), before);
    else
        QCOMPARE(date->text().trimmed(), QString());  // no date shows blank
    QCOMPARE(date->currentSection(), QDateTimeEdit::DaySection);  // the editor opens on the day
    if (how == QLatin1String("up")) {
        QTest::keyClick(date, Qt::Key_Up);
    } else if (how.startsWith(QLatin1String("type:"))) {
        QTest::keyClicks(date, how.mid(5));
    } else {
        // A click on the drop-down arrow opens the calendar.
        QTest::mouseClick(date, Qt::LeftButton, {}, QPoint(date->width() - 6, date->height() / 2));
        settle();
        auto *calendar = date->findChild<QCalendarWidget *>();
        QVERIFY(calendar);
        QVERIFY(calendar->isVisible());
        QCOMPARE(calendar->selectedDate(), before);
        auto *days = calendar->findChild<QTableView *>();
        QVERIFY(days);
        QTest::keyClick(days, Qt::Key_Right);
        QTest::keyClick(days, Qt::Key_Down);
        QTest::keyClick(days, Qt::Key_Return);
        settle();
        QVERIFY(!calendar->isVisible());
    }
    const QDate inEditor = date->date();
    QTest::keyClick(date, Qt::Key_Return);
    settle();
    s.key(Qt::Key_Down);

    QCOMPARE(td.onDisk("SELECT DATAPOST, typeof(DATAPOST) FROM OTR3 ORDER BY ID_O1"),
             stored + "|text\n2024-03-02|text\n2024-03-03|text");
    QCOMPARE(inEditor, QDate::fromString(stored, Qt::ISODate));
    QCOMPARE(s.model()->displayText(0, 3), QDate::fromString(stored, Qt::ISODate).toString("dd.MM.yyyy"));
    QVERIFY2(s.answers->count() == 0, qPrintable(s.answers->describe()));
}

// --- sorting and filtering -------------------------------------------------------------------

void TestDataGrid::headerClickSorts_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("ascending");  // names top to bottom
    QTest::addColumn<QString>("descending");

    // Key order: Васильев 9 (T40), Алексеев 100 (T51), Борисов 10 (T58).
    QTest::newRow("text") << "FIO" << "Алексеев,Борисов,Васильев" << "Васильев,Борисов,Алексеев";
    QTest::newRow("integer, by value not by text") << "VOZRAST" << "Васильев,Борисов,Алексеев" << "Алексеев,Борисов,Васильев";
    QTest::newRow("lookup, by the text shown") << "DIAGNOZ3" << "Васильев,Алексеев,Борисов" << "Борисов,Алексеев,Васильев";
}

void TestDataGrid::headerClickSorts()
{
    QFETCH(QString, field);
    QFETCH(QString, ascending);
    QFETCH(QString, descending);

    TestDatabase td;
    td.exec("INSERT INTO OT_R (ID, MKB) VALUES (1, 'T58 Токсическое действие окиси углерода'), "
            "(2, 'T40 Отравление наркотиками'), (3, 'T51 Токсическое действие алкоголя')");
    td.exec(seedPatient("Васильев", 9, {}, {}, "2"));
    td.exec(seedPatient("Алексеев", 100, {}, {}, "3"));
    td.exec(seedPatient("Борисов", 10, {}, {}, "1"));
    Screen s;
    s.dictionary.setTableName("OT_R.db");
    s.table.addLookup({"DIAGNOZ3", 40, "DIADNOZ", &s.dictionary, "ID", "MKB"});
    auto columns = patientColumns();
    columns.push_back(column("Диагноз МКБ-10", "DIAGNOZ3", EditorKind::Lookup, 20));
    QVERIFY(s.build(columns));
    QCOMPARE(s.columnText("FIO"), QStringLiteral("Васильев,Алексеев,Борисов"));
    s.clickCell(2, "FIO");  // Борисов stays current through every sort

    GridHeader *header = s.grid->header();
    const int c = s.grid->columnOfField(field);
    const QPoint centre(header->sectionViewportPosition(c) + header->sectionSize(c) / 2, header->height() / 2);
    const QStringList expected{ascending, descending, ascending};
    for (int click = 0; click < 3; ++click) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
        settle();
        QCOMPARE(s.columnText("FIO"), expected[click]);
        QVERIFY(header->isSortIndicatorShown());
        QCOMPARE(header->sortIndicatorSection(), c);
        QCOMPARE(header->sortIndicatorOrder(), click == 1 ? Qt::DescendingOrder : Qt::AscendingOrder);
        QCOMPARE(s.table.value("FIO").toString(), QStringLiteral("Борисов"));
        const int at = int(expected[click].split(QLatin1Char(',')).indexOf(QStringLiteral("Борисов")));
        QCOMPARE(s.view()->currentIndex().row(), at);
    }
    // Sorting orders the rows shown; the file keeps its own.
    QCOMPARE(td.onDisk("SELECT FIO FROM OTR3 ORDER BY ID_O1"), QStringLiteral("Васильев\nАлексеев\nБорисов"));
    QVERIFY2(s.answers->count() == 0, qPrintable(s.answers->describe()));
}

void TestDataGrid::movingOffAnEditedRowInSortedGrid_data()
{
    QTest::addColumn<bool>("sorted");     // by name, through a header click
    QTest::addColumn<bool>("inserting");  // a new row before the second, or the first row edited
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("clicked");  // the row the user clicks on, by name
    QTest::addColumn<QString>("order");    // names shown afterwards, top to bottom

    QTest::newRow("key order, edited") << false << false << "Яковлев" << "Васильев" << "Яковлев,Борисов,Васильев";
    QTest::newRow("key order, inserted") << false << true << "Бобров" << "Васильев"
                                         << "Алексеев,Борисов,Васильев,Бобров";
    QTest::newRow("sorted, edited, keeps its place") << true << false << "Аксенов" << "Васильев"
                                                     << "Аксенов,Борисов,Васильев";
    QTest::newRow("sorted, edited, moves down the order") << true << false << "Яковлев" << "Васильев"
                                                          << "Борисов,Васильев,Яковлев";
    QTest::newRow("sorted, inserted above the row clicked") << true << true << "Бобров" << "Васильев"
                                                            << "Алексеев,Бобров,Борисов,Васильев";
}

// A click on another row posts the edited one and makes the row clicked current, wherever the
// posted row now sorts.
void TestDataGrid::movingOffAnEditedRowInSortedGrid()
{
    QFETCH(bool, sorted);
    QFETCH(bool, inserting);
    QFETCH(QString, typed);
    QFETCH(QString, clicked);
    QFETCH(QString, order);

    TestDatabase td;
    seedThreePatients(td);
    Screen s;
    QVERIFY(s.build(patientColumns()));
    GridHeader *header = s.grid->header();
    if (sorted) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(0) + header->sectionSize(0) / 2, header->height() / 2));
        settle();
        QCOMPARE(s.columnText("FIO"), QStringLiteral("Алексеев,Борисов,Васильев"));
    }
    int row = 0;
    if (inserting) {
        s.clickCell(1, "FIO");
        s.key(Qt::Key_Insert);
        row = 1;
    }
    auto *line = s.edit<QLineEdit>(row, "FIO");
    QVERIFY(line);
    retype(line, line, typed);

    const QStringList shown = s.columnText("FIO").split(QLatin1Char(','));
    s.clickCell(int(shown.indexOf(clicked)), "VOZRAST");

    QCOMPARE(s.table.state(), Dataset::State::Browse);
    QVERIFY(td.onDisk("SELECT FIO FROM OTR3").split(QLatin1Char('\n')).contains(typed));
    QCOMPARE(s.columnText("FIO"), order);
    QCOMPARE(s.table.value("FIO").toString(), clicked);
    QCOMPARE(s.model()->displayText(s.view()->currentIndex().row(), 0), clicked);
    QVERIFY2(s.answers->count() == 0, qPrintable(s.answers->describe()));
}

void TestDataGrid::valueFilterPopupNarrowsRows_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("offered");
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<QString>("rows");

    const QString all = ValueFilterPopup::allText();
    const QString blank = ValueFilterPopup::blankText();
    QTest::newRow("one text") << "KEM" << QStringList{all, blank, "Самостоятельно", "Скорой помощью"}
                              << QStringList{"Скорой помощью"} << "Алексеев,Григорьев";
    QTest::newRow("a text and the blanks") << "KEM" << QStringList{all, blank, "Самостоятельно", "Скорой помощью"}
                                           << QStringList{blank, "Самостоятельно"} << "Борисов,Васильев";
    QTest::newRow("an integer") << "VOZRAST" << QStringList{all, "30", "41", "55"} << QStringList{"30"}
                                << "Алексеев,Васильев";
    QTest::newRow("two integers") << "VOZRAST" << QStringList{all, "30", "41", "55"} << QStringList{"41", "55"}
                                  << "Борисов,Григорьев";
}

void TestDataGrid::valueFilterPopupNarrowsRows()
{
    QFETCH(QString, field);
    QFETCH(QStringList, offered);
    QFETCH(QStringList, checked);
    QFETCH(QString, rows);

    TestDatabase td;
    td.exec(seedPatient("Алексеев", 30, "Скорой помощью"));
    td.exec(seedPatient("Борисов", 41, "Самостоятельно"));
    td.exec(seedPatient("Васильев", 30, {}));
    td.exec(seedPatient("Григорьев", 55, "Скорой помощью"));
    Screen s;
    GridSettings settings;
    settings.columnFiltering = true;
    auto columns = patientColumns();
    columns.push_back(column("Кем доставлен", "KEM", EditorKind::PickList, 16, {"Скорой помощью", "Самостоятельно"}));
    QVERIFY(s.build(columns, settings));
    const QString everyone = QStringLiteral("Алексеев,Борисов,Васильев,Григорьев");
    QCOMPARE(s.columnText("FIO"), everyone);

    GridHeader *header = s.grid->header();
    const int c = s.grid->columnOfField(field);
    auto openPopup = [&]() -> ValueFilterPopup * {
        settle();  // a popup closed before is gone
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, header->filterButtonRect(c).center());
        settle();
        return s.grid->findChild<ValueFilterPopup *>();
    };

    QPointer<ValueFilterPopup> popup = openPopup();
    QVERIFY(popup);
    QVERIFY(popup->isVisible());
    // The click opened the filter and did not sort.
    QCOMPARE(s.columnText("FIO"), everyone);
    QListWidget *list = popup->list();
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    QCOMPARE(texts, offered);
    for (const QString &value : checked) {
        list->setCurrentRow(int(offered.indexOf(value)));
        QTest::keyClick(list, Qt::Key_Space);
    }
    for (int i = 1; i < list->count(); ++i)
        QCOMPARE(list->item(i)->checkState() == Qt::Checked, checked.contains(offered[i]));
    auto *buttons = popup->findChild<QDialogButtonBox *>();
    QVERIFY(buttons);
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Отмена"));
    QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    settle();
    QVERIFY(!popup || !popup->isVisible());
    QCOMPARE(s.columnText("FIO"), rows);
    QVERIFY(header->isFiltered(c));
    QCOMPARE(s.model()->rowCount(), int(rows.count(QLatin1Char(','))) + 1);

    // Opened again it shows what is checked; "(Все)" brings every row back.
    popup = openPopup();
    QVERIFY(popup);
    list = popup->list();
    QCOMPARE(list->count(), offered.size());  // every value is offered, not only those shown
    for (int i = 1; i < list->count(); ++i)
        QCOMPARE(list->item(i)->checkState() == Qt::Checked, checked.contains(offered[i]));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    settle();
    QVERIFY(!popup || !popup->isVisible());
    QCOMPARE(s.columnText("FIO"), everyone);
    QVERIFY(!header->isFiltered(c));
    QVERIFY2(s.answers->count() == 0, qPrintable(s.answers->describe()));
}

// --- master and detail -----------------------------------------------------------------------

void TestDataGrid::insertOnDetailGridFilesUnderMaster_data()
{
    QTest::addColumn<int>("group");      // master row the insertion is made under
    QTest::addColumn<QString>("finish");
    QTest::addColumn<QString>("filedUnder");  // OT of the new row in the file, empty if none
    QTest::addColumn<QString>("detailAfter");  // in key order
    QTest::addColumn<QString>("currentAfter");

    QTest::newRow("posted by Down") << 1 << "down" << "2" << "Борисов,Васильев,Новиков" << "Борисов";
    QTest::newRow("posted by the navigator") << 1 << "post" << "2" << "Борисов,Васильев,Новиков" << "Новиков";
    QTest::newRow("into a group without patients") << 2 << "post" << "3" << "Новиков" << "Новиков";
    QTest::newRow("posted by moving the master") << 1 << "master" << "2" << "Алексеев" << "Алексеев";
    QTest::newRow("cancelled by Esc") << 1 << "esc" << "" << "Борисов,Васильев" << "Борисов";
}

void TestDataGrid::insertOnDetailGridFilesUnderMaster()
{
    QFETCH(int, group);
    QFETCH(QString, finish);
    QFETCH(QString, filedUnder);
    QFETCH(QString, detailAfter);
    QFETCH(QString, currentAfter);

    TestDatabase td;
    td.exec("INSERT INTO OTR2 (ID, OTR) VALUES (1, 'Отравления алкоголем'), (2, 'Отравления грибами'), "
            "(3, 'Отравления лекарствами')");
    td.exec("INSERT INTO OTR3 (OT, FIO) VALUES (1, 'Алексеев'), (2, 'Борисов'), (2, 'Васильев')");

    Dataset groups;
    groups.setTableName("OTR2.db");
    Dataset patients;
    patients.setTableName("OTR3.db");
    patients.setIndexName("OT");
    patients.setMasterSource(&groups);
    patients.setMasterFields("ID");
    DataSource groupSource(&groups), patientSource(&patients);
    DialogAnswerer answers;
    groups.open();
    patients.open();

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *groupGrid = new DataGrid("cxGrid3", &groupSource, {column("Нозологические формы", "OTR", EditorKind::Text, 30)},
                                   {}, &window);
    auto *patientGrid = new DataGrid("cxGrid4", &patientSource, patientColumns(), {}, &window);
    auto *nav = new RecordNavigator("bsSkinDBNavigator4", &patientSource, &window);
    layout->addWidget(groupGrid);
    layout->addWidget(patientGrid);
    layout->addWidget(nav);
    window.resize(700, 500);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    settle();

    QTableView *groupView = groupGrid->view();
    QTableView *view = patientGrid->view();
    auto clickRow = [](QTableView *v, int row) {
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(v->model()->index(row, 0)).center());
        settle();
    };
    clickRow(groupView, group);
    QCOMPARE(groups.value("ID").toInt(), group + 1);
    const int before = patientGrid->model()->rowCount();

    QTest::keyClick(view, Qt::Key_Insert);
    settle();
    QCOMPARE(patients.state(), Dataset::State::Insert);
    QCOMPARE(patientGrid->model()->rowCount(), before + 1);
    QCOMPARE(view->currentIndex().row(), 0);
    QTest::keyClick(view, Qt::Key_F2);
    settle();
    auto *line = qobject_cast<QLineEdit *>(view->indexWidget(view->currentIndex()));
    QVERIFY(line);
    QCOMPARE(line->objectName(), QStringLiteral("editor_FIO"));
    typeText(line, QStringLiteral("Новиков"));
    QTest::keyClick(line, Qt::Key_Return);
    settle();

    if (finish == QLatin1String("down")) {
        QTest::keyClick(view, Qt::Key_Down);
    } else if (finish == QLatin1String("post")) {
        QTest::mouseClick(nav->button(RecordNavigator::Post), Qt::LeftButton);
    } else if (finish == QLatin1String("master")) {
        clickRow(groupView, 0);
    } else {
        QTest::keyClick(view, Qt::Key_Escape);
    }
    settle();

    QCOMPARE(patients.state(), Dataset::State::Browse);
    QCOMPARE(td.onDisk("SELECT OT FROM OTR3 WHERE FIO = 'Новиков'"), filedUnder);
    QCOMPARE(td.onDisk("SELECT count(*) FROM OTR3"), filedUnder.isEmpty() ? QStringLiteral("3") : QStringLiteral("4"));
    QStringList shown;
    for (int r = 0; r < patientGrid->model()->rowCount(); ++r)
        shown << patientGrid->model()->displayText(r, 0);
    QCOMPARE(shown.join(QLatin1Char(',')), detailAfter);
    QCOMPARE(patients.value("FIO").toString(), currentAfter);
    QCOMPARE(view->currentIndex().row(), patientGrid->model()->currentModelRow());
    QCOMPARE(patientGrid->model()->displayText(view->currentIndex().row(), 0), currentAfter);
    QVERIFY2(answers.count() == 0, qPrintable(answers.describe()));
}

// --- a large table ---------------------------------------------------------------------------

void TestDataGrid::largeTableIsReadOnlyWhereShown_data()
{
    QTest::addColumn<bool>("autoHeight");
    QTest::addColumn<bool>("scrollThrough");  // page by page to the bottom, or a jump there
    QTest::newRow("fixed rows, jump to the end") << false << false;
    QTest::newRow("fitted rows, jump to the end") << true << false;
    QTest::newRow("fixed rows, scrolled through") << false << true;
}

void TestDataGrid::largeTableIsReadOnlyWhereShown()
{
    QFETCH(bool, autoHeight);
    QFETCH(bool, scrollThrough);
    constexpr int kRows = 20000;
    constexpr int kFarFewer = kRows / 10;

    TestDatabase td;
    td.exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                           "INSERT INTO OTR3 (FIO, VOZRAST) SELECT 'Пациент ' || i, i % 90 FROM n")
                .arg(kRows));
    Screen s;
    GridSettings settings;
    settings.cellAutoHeight = autoHeight;
    settings.headerAutoHeight = autoHeight;
    settings.columnFiltering = autoHeight;
    QVERIFY(s.build(patientColumns(), settings));
    QTableView *view = s.view();
    QScrollBar *bar = view->verticalScrollBar();
    const int fio = s.grid->columnOfField("FIO");
    auto topRowIsRight = [&] {
        view->viewport()->repaint();  // the rows in sight are read now
        const int top = view->rowAt(0);
        return top >= 0 && s.model()->displayText(top, fio) == QStringLiteral("Пациент %1").arg(top + 1);
    };

    QCOMPARE(s.model()->rowCount(), kRows);
    QVERIFY(topRowIsRight());
    QCOMPARE(view->rowAt(0), 0);
    QVERIFY2(s.table.cachedRowCount() < kFarFewer, qPrintable(QString::number(s.table.cachedRowCount())));

    if (scrollThrough) {
        // The cursor stays on the first row while the user scrolls down to the last.
        while (bar->value() < bar->maximum()) {
            bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
            QVERIFY2(topRowIsRight(), qPrintable(QString::number(view->rowAt(0))));
        }
        QCOMPARE(s.table.recNo(), 0);
        QVERIFY2(s.table.cachedRowCount() < kRows / 2, qPrintable(QString::number(s.table.cachedRowCount())));
        return;
    }

    // Ctrl+End goes to the last row, and the grid scrolls down to it.
    s.key(Qt::Key_End, Qt::ControlModifier);
    view->viewport()->repaint();
    QCOMPARE(view->currentIndex().row(), kRows - 1);
    QCOMPARE(s.table.recNo(), kRows - 1);
    QCOMPARE(s.table.value("FIO").toString(), QStringLiteral("Пациент %1").arg(kRows));
    QCOMPARE(bar->value(), bar->maximum());
    for (int r = view->rowAt(0); r >= 0 && r < kRows && view->visualRect(s.cell(r, "FIO")).top() < view->viewport()->height(); ++r)
        QCOMPARE(s.model()->displayText(r, fio), QStringLiteral("Пациент %1").arg(r + 1));
    QCOMPARE(s.model()->displayText(kRows - 1, fio), QStringLiteral("Пациент %1").arg(kRows));

    // Dragging the scroll bar to the middle shows the rows there.
    bar->setValue(bar->maximum() / 2);
    settle();
    QVERIFY(topRowIsRight());
    QVERIFY(view->rowAt(0) > kRows / 3 && view->rowAt(0) < 2 * kRows / 3);

    QVERIFY2(s.table.cachedRowCount() > 0 && s.table.cachedRowCount() < kFarFewer,
             qPrintable(QString::number(s.table.cachedRowCount())));
    QVERIFY2(s.answers->count() == 0, qPrintable(s.answers->describe()));
}

// --- layout and accessibility ----------------------------------------------------------------

void TestDataGrid::columnWidths_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("displayWidth");
    QTest::addColumn<int>("pixelWidth");
    QTest::addColumn<int>("pointSize");  // 0: the default font
    QTest::addColumn<int>("chars");      // expected width in characters, 0 when in pixels

    QTest::newRow("display width") << "FIO" << 15 << 0 << 0 << 15;
    QTest::newRow("wide display width") << "FIO" << 40 << 0 << 0 << 40;
    QTest::newRow("display width, larger font") << "FIO" << 15 << 0 << 20 << 15;
    QTest::newRow("pixel width") << "DIA" << 0 << 255 << 0 << 0;
    QTest::newRow("pixel width over display width") << "KEM" << 20 << 77 << 0 << 0;
    QTest::newRow("the text field's own width") << "KEM" << 0 << 0 << 0 << 15;
}

void TestDataGrid::columnWidths()
{
    QFETCH(QString, field);
    QFETCH(int, displayWidth);
    QFETCH(int, pixelWidth);
    QFETCH(int, pointSize);
    QFETCH(int, chars);

    TestDatabase td;
    const QFont appFont = QApplication::font();
    if (pointSize) {
        QFont f = appFont;
        f.setPointSize(pointSize);
        QApplication::setFont(f);
    }
    Screen s;
    GridColumn c{"Столбец", field, EditorKind::Text, kHeaderCentred, displayWidth, pixelWidth, {}};
    const bool built = s.build({column("Ф.И.О.", "FIO", EditorKind::Text, 10), c});
    QApplication::setFont(appFont);
    QVERIFY(built);

    const QFontMetrics fm(s.view()->font());
    if (pointSize)
        QCOMPARE(s.view()->font().pointSize(), pointSize);
    const int expected = chars ? chars * fm.horizontalAdvance(QLatin1Char('0')) + 4 : pixelWidth;
    QCOMPARE(s.view()->columnWidth(1), expected);
    QCOMPARE(s.grid->columnWidthFor(c), expected);
    QCOMPARE(s.view()->columnWidth(0), 10 * fm.horizontalAdvance(QLatin1Char('0')) + 4);
}

void TestDataGrid::accessibleTableMatchesGrid()
{
    TestDatabase td;
    td.exec("INSERT INTO OT_R (ID, MKB) VALUES (1, 'T51 Токсическое действие алкоголя')");
    td.exec(seedPatient("Алексеев", 30, "Скорой помощью", "2024-03-01", "1", 0.5));
    td.exec(seedPatient("Борисов", 41, {}, {}, {}, {}));
    Screen s;
    s.dictionary.setTableName("OT_R.db");
    s.table.addLookup({"DIAGNOZ3", 40, "DIADNOZ", &s.dictionary, "ID", "MKB"});
    auto columns = patientColumns();
    columns.push_back(column("Поступление", "DATAPOST", EditorKind::Date, 12));
    columns.push_back(column("Диагноз МКБ-10", "DIAGNOZ3", EditorKind::Lookup, 20));
    QVERIFY(s.build(columns));
    s.view()->setAccessibleName(QStringLiteral("Отравления: пациенты"));

    QAccessibleInterface *table = QAccessible::queryAccessibleInterface(s.view());
    QVERIFY(table);
    QCOMPARE(table->role(), QAccessible::Table);
    QCOMPARE(table->text(QAccessible::Name), QStringLiteral("Отравления: пациенты"));
    QAccessibleTableInterface *cells = table->tableInterface();
    QVERIFY(cells);
    QCOMPARE(cells->columnCount(), int(columns.size()));
    QCOMPARE(cells->rowCount(), 2);
    for (int c = 0; c < cells->columnCount(); ++c)
        QCOMPARE(cells->columnDescription(c), columns[size_t(c)].caption);
    for (int r = 0; r < cells->rowCount(); ++r)
        for (int c = 0; c < cells->columnCount(); ++c) {
            QAccessibleInterface *cell = cells->cellAt(r, c);
            QVERIFY(cell);
            QCOMPARE(cell->text(QAccessible::Name), s.model()->displayText(r, c));
        }
    // What a reader hears is the text shown, not the stored form.
    QCOMPARE(cells->cellAt(0, 3)->text(QAccessible::Name), QStringLiteral("01.03.2024"));
    QCOMPARE(cells->cellAt(0, 4)->text(QAccessible::Name), QStringLiteral("T51 Токсическое действие алкоголя"));
    QCOMPARE(cells->cellAt(0, 2)->text(QAccessible::Name), QStringLiteral("0,5"));
    QCOMPARE(cells->cellAt(1, 3)->text(QAccessible::Name), QString());
}

QTEST_MAIN(TestDataGrid)
#include "test_data_grid.moc"
