#include "RegisterDecl.h"

namespace orvelan {

RegisterDecl deceasedRegister()
{
    using E = EditorKind;
    const QStringList category{"Отравления", "Терапия", "Реанимация"};
    const QStringList sex = sexPickList();
    const QStringList timeOfDeath{"До 3-х часов", "До 12 часов", "До 3-х суток", "Свыше 3-х суток"};
    const QStringList agreement{"Совпадение", "Расхождение"};

    RegisterDecl r;
    r.name = QStringLiteral("Умершие");
    r.groupTable = "Table11", r.groupFile = "OTR6.db", r.groupSource = "DataSource11";
    r.patientTable = "Table12", r.patientFile = "MORE.db", r.patientSource = "DataSource12";
    r.linkIndex = "MORT", r.masterField = "ID_OTR";
    r.lookups = {
        {"PAT", 50, "DIAGN PAT", "Table16", "NAME_LONG", "NAME_LONG"},
        {"KLIN", 50, "DIAGN KLIN", "Table15", "NAME_LONG", "NAME_LONG"},
    };
    r.lookupsWhileEditing = false;  // looked-up texts are computed when rows are read
    r.groupGrid = "cxGrid7", r.groupNavigator = "bsSkinDBNavigator7";
    r.patientGrid = "cxGrid8", r.patientNavigator = "bsSkinDBNavigator8";
    r.groupColumns = {formsColumn("NAME_LONG", 0, 238, SortOrder::Ascending)};
    r.patientColumns = {
        //  caption                                   field          editor       header                display px   pick list    sort
        {"№ истории",                                "N ist bol",   E::Text,     kHeaderCentred,        15, 0,   {}},
        {"Категория",                                "KATEGOR",     E::PickList, kHeaderCentredMiddle,  13, 0,   category},
        {"Ф.И.О.",                                   "FIO",         E::Text,     kHeaderCentred,        50, 0,   {},          SortOrder::Ascending},
        {"Пол",                                      "SEX",         E::PickList, kHeaderCentred,         7, 0,   sex},
        {"Возраст",                                  "VOZRAST",     E::Text,     kHeaderCentred,        10, 0,   {}},
        {"Дата поступления",                         "DATA_P",      E::Date,     kHeaderCentred,        20, 0,   {}},
        {"Дата смерти",                              "DATA_S",      E::Date,     kHeaderCentred,        15, 0,   {}},
        {"Время смерти",                             "VREMIA",      E::PickList, kHeaderCentred,        15, 0,   timeOfDeath},
        {"Диагноз патологоанатомический  МКБ-10",    "PAT",         E::Lookup,   kHeaderCentred,        50, 0,   {}},
        {"Диагноз патологоанатомический(полный)",    "DIA_PAT",     E::Text,     kHeaderCentredMiddle,   0, 255, {}},
        {"Диагноз клинический МКБ-10",               "KLIN",        E::Lookup,   kHeaderCentred,        50, 0,   {}},
        {"Диагноз клинический(полный)",              "DIA",         E::Text,     kHeaderLeft,            0, 255, {}},
        {"Совпадение",                               "COVP",        E::PickList, kHeaderCentred,        15, 0,   agreement},
        {"% Алкоголя",                               "% alk",       E::Text,     kHeaderCentred,        15, 0,   {}},
        {"Примечания",                               "PRIMECHANIA", E::Text,     kHeaderCentred,        40, 0,   {}},
    };
    r.groupSettings = groupGridSettings();
    r.groupSettings.border = false;
    r.patientSettings = patientGridSettings();
    r.patientSettings.cellHints = true;
    return r;
}

}  // namespace orvelan
