#include "RegisterView.h"

#include "DataGrid.h"
#include "DataSource.h"
#include "Dataset.h"
#include "EngineError.h"
#include "RecordNavigator.h"
#include "Schema.h"

#include <QLayout>
#include <QWidget>

namespace orvelan {

namespace {

// Field objects for every field of a table, as its schema gives them, with the widths the
// register declares otherwise.
void declareFields(Dataset &table, const QString &file, const std::vector<std::pair<QString, int>> &widths)
{
    const TableDef *def = findTable(file);
    if (!def)
        throw EngineError(QStringLiteral("Таблица «%1» не описана").arg(file));
    for (FieldDef f : def->fields) {
        for (const auto &[name, width] : widths)
            if (name == f.name)
                f.width = width;
        table.addField(f);
    }
}

}  // namespace

RegisterView::RegisterView(const RegisterDecl &decl, const DictionaryByName &dictionary, QWidget *groupPane,
                           QWidget *patientPane, QObject *owner)
    : QObject(owner), m_decl(decl)
{
    setObjectName(decl.name);
    m_groupTable = new Dataset(owner);
    m_groupTable->setObjectName(decl.groupTable);
    m_groupTable->setTableName(decl.groupFile);
    declareFields(*m_groupTable, decl.groupFile, {});
    m_groupSource = new DataSource(m_groupTable, owner);
    m_groupSource->setObjectName(decl.groupSource);

    m_patientTable = new Dataset(owner);
    m_patientTable->setObjectName(decl.patientTable);
    m_patientTable->setTableName(decl.patientFile);
    declareFields(*m_patientTable, decl.patientFile, decl.patientWidths);
    m_patientTable->setIndexName(decl.linkIndex);
    m_patientTable->setMasterSource(m_groupTable);
    m_patientTable->setMasterFields(decl.masterField);
    m_patientTable->setLookupsWhileEditing(decl.lookupsWhileEditing);
    for (const RegisterLookup &l : decl.lookups)
        m_patientTable->addLookup({l.name, l.width, l.keyField, dictionary(l.dictionary), l.lookupKeyField, l.resultField});
    m_patientSource = new DataSource(m_patientTable, owner);
    m_patientSource->setObjectName(decl.patientSource);

    m_groupGrid = new DataGrid(decl.groupGrid, m_groupSource, decl.groupColumns, decl.groupSettings, groupPane);
    m_groupGrid->setAccessibleName(QStringLiteral("%1: нозологические формы").arg(decl.name));
    m_groupNavigator = new RecordNavigator(decl.groupNavigator, m_groupSource, groupPane);
    m_groupNavigator->setAccessibleName(QStringLiteral("%1: навигатор нозологических форм").arg(decl.name));
    m_patientGrid = new DataGrid(decl.patientGrid, m_patientSource, decl.patientColumns, decl.patientSettings, patientPane);
    m_patientGrid->setAccessibleName(QStringLiteral("%1: пациенты").arg(decl.name));
    m_patientNavigator = new RecordNavigator(decl.patientNavigator, m_patientSource, patientPane);
    m_patientNavigator->setAccessibleName(QStringLiteral("%1: навигатор пациентов").arg(decl.name));
    m_groupGrid->view()->setAccessibleName(m_groupGrid->accessibleName());
    m_patientGrid->view()->setAccessibleName(m_patientGrid->accessibleName());
}

void RegisterView::open()
{
    m_groupTable->open();
    m_patientTable->open();
}

void RegisterView::setShown(bool shown)
{
    for (QWidget *w : {static_cast<QWidget *>(m_groupGrid), static_cast<QWidget *>(m_patientGrid),
                       static_cast<QWidget *>(m_groupNavigator), static_cast<QWidget *>(m_patientNavigator)})
        w->setVisible(shown);
}

}  // namespace orvelan
