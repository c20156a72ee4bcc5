#pragma once

#include "GridColumn.h"

#include <QString>
#include <utility>
#include <vector>

namespace orvelan {

// A lookup field of a register's patient table, naming its dictionary's table object.
struct RegisterLookup {
    QString name;
    int width;
    QString keyField;
    QString dictionary;      // object name of the main window's dictionary table object
    QString lookupKeyField;
    QString resultField;
};

// One patient register as data: its tables and their link, the grids and navigators of its
// two panes, their columns, pick lists and settings. One shape builds every register from it.
struct RegisterDecl {
    QString name;                 // group pane caption and menu item text

    QString groupTable, groupFile, groupSource;
    QString patientTable, patientFile, patientSource;
    QString linkIndex, masterField;
    // Field objects of the patient table that declare another width than the table's own.
    std::vector<std::pair<QString, int>> patientWidths;
    std::vector<RegisterLookup> lookups;
    bool lookupsWhileEditing = true;

    QString groupGrid, groupNavigator, patientGrid, patientNavigator;
    std::vector<GridColumn> groupColumns, patientColumns;
    GridSettings groupSettings, patientSettings;
};

// The four registers, in menu order.
RegisterDecl intoxicationsRegister();
RegisterDecl therapyRegister();
RegisterDecl reanimationRegister();
RegisterDecl deceasedRegister();

// Settings every register shares.
GridSettings groupGridSettings();
GridSettings patientGridSettings();
// The group grids' one column.
GridColumn formsColumn(const QString &field, int displayWidth, int pixelWidth, SortOrder order);
// Pick lists several registers offer alike.
QStringList sexPickList();
QStringList outcomePickList();
// The patient columns of the Therapy and Reanimation registers, whose tables have the same fields;
// they differ in the order of "Кем доставлен" and in two widths.
std::vector<GridColumn> wardPatientColumns(const QStringList &broughtBy, int sickLeaveWidth, int diagnosisWidth);

}  // namespace orvelan
