#include "RegisterDecl.h"

namespace orvelan {

RegisterDecl intoxicationsRegister()
{
    using E = EditorKind;
    const QStringList sex = sexPickList();
    const QStringList broughtBy{"Скорой помощью", "Самостоятельно", "Милицией", "Посторонними"};
    const QStringList cause{"Случайное", "Суицидальное", "Криминальное"};
    const QStringList sinceIntoxication{"Первые 6 часов", "6 -12 часов", "12 -24 часа", "Более 24 часов"};
    const QStringList severity{"Легкая", "Средняя", "Тяжелая", "Крайне тяжелая"};
    const QStringList agreement{"Совпадение", "Расхождение"};
    const QStringList outcome = outcomePickList();

    RegisterDecl r;
    r.name = QStringLiteral("Отравления");
    r.groupTable = "Table7", r.groupFile = "OTR2.db", r.groupSource = "DataSource7";
    r.patientTable = "Table8", r.patientFile = "OTR3.db", r.patientSource = "DataSource8";
    r.linkIndex = "OT", r.masterField = "ID";
    r.patientWidths = {{"SEX", 1}};
    r.lookups = {{"DIAGNOZ3", 40, "DIADNOZ", "Table13", "ID", "MKB"}};
    r.groupGrid = "cxGrid3", r.groupNavigator = "bsSkinDBNavigator3";
    r.patientGrid = "cxGrid4", r.patientNavigator = "bsSkinDBNavigator4";
    r.groupColumns = {formsColumn("OTR", 40, 0, SortOrder::None)};
    r.patientColumns = {
        //  caption                    field         editor       header                display  px   pick list
        {"№ истории",                 "N IST",      E::Text,     kHeaderCentred,        15, 0,   {}},
        {"Ф.И.О.",                    "FIO",        E::Text,     kHeaderCentred,        40, 0,   {}},
        {"Поступление",               "DATAPOST",   E::Date,     kHeaderCentred,        15, 0,   {}},
        {"Выписка",                   "DataVIP",    E::Date,     kHeaderCentred,        15, 0,   {}},
        {"Пол",                       "SEX",        E::PickList, kHeaderCentred,         7, 0,   sex},
        {"Возраст",                   "VOZRAST",    E::Text,     kHeaderCentred,        10, 0,   {}},
        {"Житель",                    "GHITEL",     E::Text,     kHeaderCentred,        15, 0,   {}},
        {"Койко-день",                "KOIKO",      E::Text,     kHeaderCentred,        15, 0,   {}},
        {"Кем доставлен",             "KEM",        E::PickList, kHeaderCentred,        16, 0,   broughtBy},
        {"Причины отравления",        "PRICHINY",   E::PickList, kHeaderCentred,        21, 0,   cause},
        {"Диагноз МКБ-10",            "DIAGNOZ3",   E::Lookup,   kHeaderCentred,        40, 0,   {}},
        {"Диагноз(полный)",           "DIA",        E::Text,     kHeaderCentredMiddle,   0, 255, {}},
        {"Время отравления",          "VREMIA_OTR", E::PickList, kHeaderCentred,        20, 0,   sinceIntoxication},
        {"Ст.тяжести",                "ST_TIAG",    E::PickList, kHeaderCentred,        20, 0,   severity},
        {"Лист нетрудоспособности",   "LIST NETR",  E::Text,     kHeaderCentred,        26, 0,   {}},
        {"Сопадение",                 "DIAGNOZSOVP",E::PickList, kHeaderCentred,        13, 0,   agreement},
        {"% Алкоголя",                "%ALC",       E::Text,     kHeaderLeft,           15, 0,   {}},
        {"Яд",                        "IAG",        E::Text,     kHeaderCentred,        20, 0,   {}},
        {"Исход",                     "ISHOD",      E::PickList, kHeaderCentred,        15, 0,   outcome},
    };
    r.groupSettings = groupGridSettings();
    r.patientSettings = patientGridSettings();
    return r;
}

}  // namespace orvelan
