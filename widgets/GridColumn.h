#pragma once

#include <QString>
#include <QStringList>
#include <Qt>
#include <vector>

namespace orvelan {

// How a grid cell is edited.
enum class EditorKind {
    Text,      // plain text, no more characters than the field holds
    Date,      // a date with a drop-down calendar
    PickList,  // a combo offering fixed values; typed text is accepted too
    Lookup,    // a combo of dictionary texts; only its entries can be chosen
};

enum class SortOrder { None, Ascending, Descending };

// One column of a data-bound grid, declared by the window that shows it.
struct GridColumn {
    QString caption;
    QString field;             // a field or lookup field of the grid's dataset
    EditorKind editor = EditorKind::Text;
    Qt::Alignment headerAlignment = Qt::AlignHCenter | Qt::AlignTop;
    int displayWidth = 0;      // in characters; 0 takes the field's own display width
    int pixelWidth = 0;        // when set, the width in pixels instead
    QStringList pickList;      // the values a PickList column offers, in order
    SortOrder sortOrder = SortOrder::None;
};

// Header alignments the windows use.
inline constexpr Qt::Alignment kHeaderCentred = Qt::AlignHCenter | Qt::AlignTop;
inline constexpr Qt::Alignment kHeaderCentredMiddle = Qt::AlignCenter;
inline constexpr Qt::Alignment kHeaderLeft = Qt::AlignLeft | Qt::AlignTop;

// The settings of a grid's table view.
struct GridSettings {
    bool rowIndicator = true;     // the narrow column marking the current row and its state
    bool columnFiltering = false; // a value filter in every column header
    bool cellAutoHeight = false;  // rows grow to show wrapped cell text
    bool headerAutoHeight = false;// header captions wrap and the header grows
    bool cellHints = false;       // a hint shows the whole text of a cell that does not fit
    bool scrollBars = true;
    bool rowSelect = false;       // whole rows selected, cells not edited
    bool border = true;
};

}  // namespace orvelan
