#include "RegisterDecl.h"

namespace orvelan {

RegisterDecl reanimationRegister()
{
    using E = EditorKind;
    const QStringList sex{"М", "Ж"};
    const QStringList broughtBy{"Скорой помощью", "Самостоятельно", "Родственниками", "Посторонними ", "Милицией"};
    const QStringList outcome{"Выздоровление", "Улучшение", "Переведен"};

    RegisterDecl r;
    r.name = QStringLiteral("Реанимация");
    r.groupTable = "Table9", r.groupFile = "OTR4.db", r.groupSource = "DataSource9";
    r.patientTable = "Table10", r.patientFile = "OTR5.db", r.patientSource = "DataSource10";
    r.linkIndex = "ID_OBS", r.masterField = "ID_OTR";
    r.lookups = {{"DIAGNOZ1", 40, "DIAGNOZ", "Table14", "ID", "MKB"}};
    r.groupGrid = "cxGrid5", r.groupNavigator = "bsSkinDBNavigator5";
    r.patientGrid = "cxGrid6", r.patientNavigator = "bsSkinDBNavigator6";
    r.groupColumns = {formsColumn("NAME_LONG", 40, 0, SortOrder::None)};
    r.patientColumns = {
        //  caption                    field          editor       header                display  px   pick list
        {"№ истории",                 "N IST",       E::Text,     kHeaderCentred,        15, 0,   {}},
        {"Ф.И.О.",                    "FIO",         E::Text,     kHeaderCentred,        40, 0,   {}},
        {"Поступление",               "DATA_TO",     E::Date,     kHeaderCentred,        15, 0,   {}},
        {"Выписка",                   "DATA_FROM",   E::Date,     kHeaderCentred,        15, 0,   {}},
        {"Пол",                       "SEX",         E::PickList, kHeaderCentred,         7, 0,   sex},
        {"Возраст",                   "VOZ",         E::Text,     kHeaderCentred,        10, 0,   {}},
        {"Кем доставлен",             "KEM_DOST",    E::PickList, kHeaderCentred,        20, 0,   broughtBy},
        {"Лист нетрудоспособности",   "IS_LIST_Y_N", E::Text,     kHeaderCentred,        26, 0,   {}},
        {"Диагноз МКБ-10",            "DIAGNOZ1",    E::Lookup,   kHeaderCentred,        40, 0,   {}},
        {"Диагноз(полный)",           "DIA",         E::Text,     kHeaderCentredMiddle,   0, 255, {}},
        {"Исход",                     "ISHOD",       E::PickList, kHeaderCentred,        15, 0,   outcome},
    };
    r.groupSettings = groupGridSettings();
    r.patientSettings = patientGridSettings();
    return r;
}

}  // namespace orvelan
