#include "RegisterDecl.h"

namespace orvelan {

RegisterDecl reanimationRegister()
{
    const QStringList broughtBy{"Скорой помощью", "Самостоятельно", "Родственниками", "Посторонними ", "Милицией"};

    RegisterDecl r;
    r.name = QStringLiteral("Реанимация");
    r.groupTable = "Table9", r.groupFile = "OTR4.db", r.groupSource = "DataSource9";
    r.patientTable = "Table10", r.patientFile = "OTR5.db", r.patientSource = "DataSource10";
    r.linkIndex = "ID_OBS", r.masterField = "ID_OTR";
    r.lookups = {{"DIAGNOZ1", 40, "DIAGNOZ", "Table14", "ID", "MKB"}};
    r.groupGrid = "cxGrid5", r.groupNavigator = "bsSkinDBNavigator5";
    r.patientGrid = "cxGrid6", r.patientNavigator = "bsSkinDBNavigator6";
    r.groupColumns = {formsColumn("NAME_LONG", 40, 0, SortOrder::None)};
    r.patientColumns = wardPatientColumns(broughtBy, 26, 40);
    r.groupSettings = groupGridSettings();
    r.patientSettings = patientGridSettings();
    return r;
}

}  // namespace orvelan
