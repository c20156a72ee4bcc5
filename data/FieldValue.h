#pragma once

#include "Schema.h"

#include <QDate>
#include <QVariant>

namespace orvelan {

// Turns what a user or a caller offers into the value a field stores, or refuses it with a
// message naming field and value. Empty text is null; text is cut to the field's width.
QVariant toFieldValue(const FieldDef &field, const QVariant &input);

// The stored form of a value (dates become ISO 8601 text).
QVariant toStorage(const FieldDef &field, const QVariant &value);
// The value of a stored column as the field's kind reads it.
QVariant fromStorage(const FieldDef &field, const QVariant &stored);

// ISO 8601 text for any date, years before 1 included (they sort before every later date).
QString isoDate(const QDate &date);
QDate parseDate(const QString &text);

}  // namespace orvelan
