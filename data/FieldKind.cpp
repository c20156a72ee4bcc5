#include "FieldKind.h"

namespace orvelan {

QString fieldKindName(FieldKind kind)
{
    switch (kind) {
    case FieldKind::AutoInc: return QStringLiteral("счётчик");
    case FieldKind::Integer: return QStringLiteral("целое");
    case FieldKind::Text: return QStringLiteral("текст");
    case FieldKind::Date: return QStringLiteral("дата");
    case FieldKind::Number: return QStringLiteral("число");
    case FieldKind::Memo: return QStringLiteral("мемо");
    }
    return {};
}

}  // namespace orvelan
