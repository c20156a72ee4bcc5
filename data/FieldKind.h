#pragma once

#include <QString>

namespace orvelan {

// The kinds a stored field can have. Widths belong to Text only; Memo is unbounded.
enum class FieldKind { AutoInc, Integer, Text, Date, Number, Memo };

QString fieldKindName(FieldKind kind);

}  // namespace orvelan
