#include "MainWindow.h"

#include "DataGrid.h"
#include "Dataset.h"
#include "Messages.h"
#include "RecordNavigator.h"
#include "RegisterView.h"
#include "Schema.h"
#include "SunkenLabel.h"
#include "TherapyRules.h"

#include <QCloseEvent>
#include <QDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

namespace orvelan {

namespace {

// The dictionary tables that the registers' lookup fields read.
constexpr std::pair<const char *, const char *> kDictionaryTables[] = {
    {"Table5", "DIAGNOZ.db"}, {"Table13", "OT_R.db"}, {"Table14", "OT_R1.db"},
    {"Table15", "TYPE_WORK.db"}, {"Table16", "PATANATOM.db"},
};

QFrame *loweredPanel(const QString &name, QWidget *parent)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setLineWidth(1);
    return panel;
}

}  // namespace

TForm1::TForm1(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Orvelan 1.0"));
    setAccessibleName(QStringLiteral("Orvelan 1.0: база данных отделения токсикологии"));
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSize(8);
    f.setStyleHint(QFont::SansSerif);
    setFont(f);

    // Panel1: the header strip above the two panes.
    QFrame *panel1 = loweredPanel(QStringLiteral("Panel1"), this);
    auto *panel1Layout = new QVBoxLayout(panel1);
    panel1Layout->setContentsMargins(1, 1, 1, 1);
    panel1Layout->setSpacing(0);
    auto *header = new QFrame(panel1);
    header->setObjectName(QStringLiteral("LMDSimplePanel2"));
    header->setFixedHeight(47);
    header->setFrameShape(QFrame::Panel);
    header->setFrameShadow(QFrame::Sunken);
    header->setLineWidth(2);
    header->setAutoFillBackground(true);
    header->setAccessibleName(QStringLiteral("Заголовок"));
    QPalette hp = header->palette();
    const QColor caption = hp.color(QPalette::Active, QPalette::Highlight);
    hp.setColor(QPalette::Window, caption);
    header->setPalette(hp);
    auto *label = new SunkenLabel(QStringLiteral("База данных отделения токсикологии"), header);
    label->setObjectName(QStringLiteral("LMDSimpleLabel1"));
    QFont lf(QStringLiteral("MS Sans Serif"));
    lf.setStyleHint(QFont::SansSerif);
    lf.setPixelSize(20);
    label->setFont(lf);
    label->setShadowColor(caption);
    label->setDepth(3);
    label->move(336, 5);
    label->resize(label->sizeHint());
    panel1Layout->addWidget(header);

    m_splitter = new QSplitter(Qt::Horizontal, panel1);
    m_splitter->setObjectName(QStringLiteral("Splitter1"));
    m_splitter->setHandleWidth(6);
    m_splitter->setOpaqueResize(false);  // a line follows the mouse; the pane resizes on release
    m_splitter->setChildrenCollapsible(false);
    m_groupBox = new QGroupBox(QStringLiteral("Отравления"), m_splitter);
    m_groupBox->setObjectName(QStringLiteral("GroupBox1"));
    m_groupBox->setAccessibleName(QStringLiteral("Нозологические формы"));
    auto *groupLayout = new QVBoxLayout(m_groupBox);
    groupLayout->setContentsMargins(2, 2, 2, 2);
    groupLayout->setSpacing(0);
    QFrame *panel2 = loweredPanel(QStringLiteral("Panel2"), m_splitter);
    panel2->setAccessibleName(QStringLiteral("Пациенты"));
    auto *patientLayout = new QVBoxLayout(panel2);
    patientLayout->setContentsMargins(1, 1, 1, 1);
    patientLayout->setSpacing(0);
    m_splitter->addWidget(m_groupBox);
    m_splitter->addWidget(panel2);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({265, 425});
    panel1Layout->addWidget(m_splitter, 1);
    setCentralWidget(panel1);

    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar1"));
    status->setFixedHeight(26);
    status->setSizeGripEnabled(true);
    status->setAccessibleName(QStringLiteral("Строка состояния"));
    setStatusBar(status);

    // The tables: dictionaries first, then each register's group and patient tables.
    for (const auto &[name, file] : kDictionaryTables) {
        auto *t = new Dataset(this);
        t->setObjectName(QString::fromLatin1(name));
        t->setTableName(QString::fromLatin1(file));
        if (const TableDef *def = findTable(t->tableName()))
            for (const FieldDef &field : def->fields)
                t->addField(field);
    }
    const RegisterDecl decls[] = {intoxicationsRegister(), therapyRegister(), reanimationRegister(), deceasedRegister()};
    for (size_t r = 0; r < 4; ++r)
        m_registers[r] = new RegisterView(decls[r], [this](const QString &name) { return table(name); }, m_groupBox, panel2, this);
    // Grids fill the panes; the navigators sit at their bottoms.
    for (RegisterView *r : m_registers) {
        groupLayout->addWidget(r->groupGrid(), 1);
        patientLayout->addWidget(r->patientGrid(), 1);
    }
    for (RegisterView *r : m_registers) {
        groupLayout->addWidget(r->groupNavigator());
        patientLayout->addWidget(r->patientNavigator());
    }
    m_therapyRules = std::make_unique<TherapyRules>(*table(QStringLiteral("Table1")), *table(QStringLiteral("Table2")));
    m_therapyRules->install();
    buildMenu();
    showRegister(Intoxications);

    for (const auto &[name, file] : kDictionaryTables)
        table(QString::fromLatin1(name))->open();
    for (RegisterView *r : m_registers)
        r->open();

    resize(696, 480);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect g = geometry();
        g.moveCenter(screen->availableGeometry().center());
        move(g.topLeft());
    }
}

TForm1::~TForm1() = default;

Dataset *TForm1::table(const QString &objectName) const
{
    return findChild<Dataset *>(objectName, Qt::FindDirectChildrenOnly);
}

void TForm1::buildMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    bar->setAccessibleName(QStringLiteral("Главное меню"));
    auto item = [this](QWidget *menu, const char *name, const QString &caption, auto handler) {
        auto *action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
        menu->addAction(action);
        return action;
    };
    QMenu *n1 = bar->addMenu(QStringLiteral("МКБ-10"));
    n1->setObjectName(QStringLiteral("N1"));
    n1->menuAction()->setObjectName(QStringLiteral("N1"));
    item(n1, "N2", QStringLiteral("Диагноз МКБ-10 терапия"), [this] { showModally("TForm2"); });
    item(n1, "N102", QStringLiteral("Диагноз МКБ-10 реанимация"), [this] { showModally("TForm5"); });
    item(n1, "N101", QStringLiteral("Диагноз МКБ-10 отравления"), [this] { showModally("TForm4"); });
    item(n1, "N3", QStringLiteral("Диагноз МКБ-10 умершие клинический"), [this] { showModally("TForm3"); });
    item(n1, "N103", QStringLiteral("Диагноз МКБ-10 умершие патологоанатомический"), [this] { showModally("TForm7"); });
    item(bar, "N4", QStringLiteral("Поиск"), [this] { showModally("TForm6"); });
    QMenu *n5 = bar->addMenu(QStringLiteral("Базы"));
    n5->setObjectName(QStringLiteral("N5"));
    n5->menuAction()->setObjectName(QStringLiteral("N5"));
    item(n5, "N6", QStringLiteral("Отравления"), &TForm1::N6Click);
    item(n5, "N7", QStringLiteral("Терапия"), &TForm1::N7Click);
    item(n5, "N8", QStringLiteral("Реанимация"), &TForm1::N8Click);
    item(n5, "N9", QStringLiteral("Умершие"), &TForm1::N9Click);
    item(bar, "N10", QStringLiteral("Общая статистика"), [this] { showModally("TForm8"); });
    item(bar, "N11", QStringLiteral("Платные услуги"), [this] { showModally("TForm10"); });
    item(bar, "N12", QStringLiteral("Адреса телефоны"), [this] { showModally("TForm9"); });
    item(bar, "N13", QStringLiteral("Записная книжка"), [this] { showModally("TForm11"); });
    item(bar, "N14", QStringLiteral("О программе"), [this] { showModally("TForm12"); });
}

// Switching only shows and hides grids and navigators and sets the pane's caption; every
// table stays open where it stood.
void TForm1::showRegister(Register shown)
{
    m_registers[size_t(shown)]->setShown(true);
    m_groupBox->setTitle(m_registers[size_t(shown)]->decl().name);
    for (size_t r = 0; r < 4; ++r)
        if (r != size_t(shown))
            m_registers[r]->setShown(false);
}

void TForm1::N6Click() { showRegister(Intoxications); }
void TForm1::N7Click() { showRegister(Therapy); }
void TForm1::N8Click() { showRegister(Reanimation); }
void TForm1::N9Click() { showRegister(Deceased); }

RegisterView *TForm1::shownRegister() const
{
    for (RegisterView *r : m_registers)
        if (!r->groupGrid()->isHidden())
            return r;
    return nullptr;
}

void TForm1::showModally(const char *windowName)
{
    if (auto *dialog = findChild<QDialog *>(QString::fromLatin1(windowName), Qt::FindDirectChildrenOnly))
        dialog->exec();
    FormActivate();  // the main window is active again
}

void TForm1::FormActivate()
{
    Dataset *table1 = table(QStringLiteral("Table1"));
    Dataset *table2 = table(QStringLiteral("Table2"));
    try {
        if (!table1->isActive())
            table1->open();
        if (!table2->isActive()) {
            table2->open();
            if (table2->recordCount() == 0)
                table2->close();
        }
    } catch (const std::exception &) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Ошибка"), QStringLiteral("Нет базы данных"),
                        QMessageBox::Ok);
        box.setObjectName(QStringLiteral("NoDatabaseBox"));
        box.exec();
    }
}

bool TForm1::event(QEvent *event)
{
    if (event->type() == programDialogClosedEvent()) {
        FormActivate();
        return true;
    }
    return QMainWindow::event(event);
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        QMetaObject::invokeMethod(this, &TForm1::FormActivate, Qt::QueuedConnection);
    }
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // A row still being typed is written before the program ends; if it cannot be, the
    // window stays open with the row as typed.
    for (RegisterView *r : m_registers) {
        r->groupGrid()->commitEdit();
        r->patientGrid()->commitEdit();
    }
    for (Dataset *t : findChildren<Dataset *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!runReportingErrors(this, [t] { if (t->isActive()) t->checkBrowseMode(); })) {
            event->ignore();
            return;
        }
    }
    FormClose();
    event->accept();
}

void TForm1::FormClose()
{
    Dataset *table1 = table(QStringLiteral("Table1"));
    Dataset *table2 = table(QStringLiteral("Table2"));
    runReportingErrors(this, [&] {
        if (table1->isActive())
            table1->close();
        if (table2->isActive())
            table2->close();
    });
}

}  // namespace orvelan
