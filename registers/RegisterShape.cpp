#include "RegisterDecl.h"

namespace orvelan {

GridSettings groupGridSettings()
{
    GridSettings s;
    s.rowIndicator = true;
    s.columnFiltering = false;
    return s;
}

GridSettings patientGridSettings()
{
    GridSettings s;
    s.rowIndicator = true;
    s.columnFiltering = true;
    s.cellAutoHeight = true;
    s.headerAutoHeight = true;
    return s;
}

GridColumn formsColumn(const QString &field, int displayWidth, int pixelWidth, SortOrder order)
{
    return {QStringLiteral("Нозологические формы"), field, EditorKind::Text, kHeaderCentred, displayWidth, pixelWidth, {}, order};
}

QStringList sexPickList() { return {QStringLiteral("М"), QStringLiteral("Ж")}; }

QStringList outcomePickList()
{
    return {QStringLiteral("Выздоровление"), QStringLiteral("Улучшение"), QStringLiteral("Переведен")};
}

std::vector<GridColumn> wardPatientColumns(const QStringList &broughtBy, int sickLeaveWidth, int diagnosisWidth)
{
    using E = EditorKind;
    return {
        //  caption                    field          editor       header                display          px   pick list
        {"№ истории",                 "N IST",       E::Text,     kHeaderCentred,        15,              0,   {}},
        {"Ф.И.О.",                    "FIO",         E::Text,     kHeaderCentred,        40,              0,   {}},
        {"Поступление",               "DATA_TO",     E::Date,     kHeaderCentred,        15,              0,   {}},
        {"Выписка",                   "DATA_FROM",   E::Date,     kHeaderCentred,        15,              0,   {}},
        {"Пол",                       "SEX",         E::PickList, kHeaderCentred,         7,              0,   sexPickList()},
        {"Возраст",                   "VOZ",         E::Text,     kHeaderCentred,        10,              0,   {}},
        {"Кем доставлен",             "KEM_DOST",    E::PickList, kHeaderCentred,        20,              0,   broughtBy},
        {"Лист нетрудоспособности",   "IS_LIST_Y_N", E::Text,     kHeaderCentred,        sickLeaveWidth,  0,   {}},
        {"Диагноз МКБ-10",            "DIAGNOZ1",    E::Lookup,   kHeaderCentred,        diagnosisWidth,  0,   {}},
        {"Диагноз(полный)",           "DIA",         E::Text,     kHeaderCentredMiddle,   0,              255, {}},
        {"Исход",                     "ISHOD",       E::PickList, kHeaderCentred,        15,              0,   outcomePickList()},
    };
}

}  // namespace orvelan
