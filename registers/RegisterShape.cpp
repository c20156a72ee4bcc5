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

}  // namespace orvelan
