#include "RegisterDecl.h"

namespace orvelan {

RegisterDecl therapyRegister()
{
    using E = EditorKind;
    const QStringList sex{"М", "Ж"};
    const QStringList broughtBy{"Скорой помощью", "Самостоятельно", "Посторонними ", "Родственниками", "Милицией"};
    const QStringList outcome{"Выздоровление", "Улучшение", "Переведен"};

    RegisterDecl r;
    r.name = QStringLiteral("Терапия");
    r.groupTable = "Table1", r.groupFile = "OTRAVLENIYA.db", r.groupSource = "DataSource1";
    r.patientTable = "Table2", r.patientFile = "FIO.db", r.patientSource = "DataSource2";
    r.linkIndex = "ID_OBS", r.masterField = "ID_OTR";
    r.lookups = {{"DIAGNOZ1", 44, "DIAGNOZ", "Table5", "ID", "NAME_DIAGNOZ"}};
    r.groupGrid = "cxGrid1", r.groupNavigator = "bsSkinDBNavigator1";
    r.patientGrid = "cxGrid2", r.patientNavigator = "bsSkinDBNavigator2";
    r.groupColumns = {formsColumn("NAME_LONG", 40, 0, SortOrder::Descending)};
    r.patientColumns = {
        //  caption                    field          editor       header                display  px   pick list
        {"№ истории",                 "N IST",       E::Text,     kHeaderCentred,        15, 0,   {}},
        {"Ф.И.О.",                    "FIO",         E::Text,     kHeaderCentred,        40, 0,   {}},
        {"Поступление",               "DATA_TO",     E::Date,     kHeaderCentred,        15, 0,   {}},
        {"Выписка",                   "DATA_FROM",   E::Date,     kHeaderCentred,        15, 0,   {}},
        {"Пол",                       "SEX",         E::PickList, kHeaderCentred,         7, 0,   sex},
        {"Возраст",                   "VOZ",         E::Text,     kHeaderCentred,        10, 0,   {}},
        {"Кем доставлен",             "KEM_DOST",    E::PickList, kHeaderCentred,        20, 0,   broughtBy},
        {"Лист нетрудоспособности",   "IS_LIST_Y_N", E::Text,     kHeaderCentred,        25, 0,   {}},
        {"Диагноз МКБ-10",            "DIAGNOZ1",    E::Lookup,   kHeaderCentred,        44, 0,   {}},
        {"Диагноз(полный)",           "DIA",         E::Text,     kHeaderCentredMiddle,   0, 255, {}},
        {"Исход",                     "ISHOD",       E::PickList, kHeaderCentred,        15, 0,   outcome},
    };
    r.groupSettings = groupGridSettings();
    r.patientSettings = patientGridSettings();
    return r;
}

}  // namespace orvelan
