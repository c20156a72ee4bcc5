#pragma once

#include "RegisterDecl.h"

#include <QObject>
#include <functional>

class QWidget;

namespace orvelan {

class DataGrid;
class DataSource;
class Dataset;
class RecordNavigator;

// The objects of one register, built from its declaration: the group and patient table
// objects with their data sources and link, and a grid and a navigator in each pane.
class RegisterView : public QObject {
    Q_OBJECT
public:
    using DictionaryByName = std::function<Dataset *(const QString &objectName)>;

    RegisterView(const RegisterDecl &decl, const DictionaryByName &dictionary, QWidget *groupPane,
                 QWidget *patientPane, QObject *owner);

    const RegisterDecl &decl() const { return m_decl; }
    Dataset *groupTable() const { return m_groupTable; }
    Dataset *patientTable() const { return m_patientTable; }
    DataGrid *groupGrid() const { return m_groupGrid; }
    DataGrid *patientGrid() const { return m_patientGrid; }
    RecordNavigator *groupNavigator() const { return m_groupNavigator; }
    RecordNavigator *patientNavigator() const { return m_patientNavigator; }

    void open();                 // the group table, then the patient table
    void setShown(bool shown);   // grids and navigators; the tables stay as they are

private:
    RegisterDecl m_decl;
    Dataset *m_groupTable;
    Dataset *m_patientTable;
    DataSource *m_groupSource;
    DataSource *m_patientSource;
    DataGrid *m_groupGrid;
    DataGrid *m_patientGrid;
    RecordNavigator *m_groupNavigator;
    RecordNavigator *m_patientNavigator;
};

}  // namespace orvelan
