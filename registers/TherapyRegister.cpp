#include "RegisterDecl.h"

namespace orvelan {

RegisterDecl therapyRegister()
{
    const QStringList broughtBy{"Скорой помощью", "Самостоятельно", "Посторонними ", "Родственниками", "Милицией"};

    RegisterDecl r;
    r.name = QStringLiteral("Терапия");
    r.groupTable = "Table1", r.groupFile = "OTRAVLENIYA.db", r.groupSource = "DataSource1";
    r.patientTable = "Table2", r.patientFile = "FIO.db", r.patientSource = "DataSource2";
    r.linkIndex = "ID_OBS", r.masterField = "ID_OTR";
    r.lookups = {{"DIAGNOZ1", 44, "DIAGNOZ", "Table5", "ID", "NAME_DIAGNOZ"}};
    r.groupGrid = "cxGrid1", r.groupNavigator = "bsSkinDBNavigator1";
    r.patientGrid = "cxGrid2", r.patientNavigator = "bsSkinDBNavigator2";
    r.groupColumns = {formsColumn("NAME_LONG", 40, 0, SortOrder::Descending)};
    r.patientColumns = wardPatientColumns(broughtBy, 25, 44);
    r.groupSettings = groupGridSettings();
    r.patientSettings = patientGridSettings();
    return r;
}

}  // namespace orvelan
