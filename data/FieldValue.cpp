#include "FieldValue.h"
#include "EngineError.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace orvelan {

namespace {

[[noreturn]] void refuse(const FieldDef &field, const QVariant &input, const QString &why)
{
    throw EngineError(QStringLiteral("Поле «%1»: значение «%2» %3").arg(field.name, input.toString(), why));
}

bool isBlank(const QString &s)
{
    for (QChar c : s)
        if (!c.isSpace())
            return false;
    return true;
}

// Cuts to a number of characters, never splitting a surrogate pair.
QString cut(const QString &s, int width)
{
    if (width <= 0)
        return s;
    int units = 0;
    for (int chars = 0; units < s.size() && chars < width; ++chars)
        units += (s[units].isHighSurrogate() && units + 1 < s.size()) ? 2 : 1;
    return s.left(units);
}

}  // namespace

QString isoDate(const QDate &date)
{
    if (!date.isValid())
        return {};
    const int y = date.year();
    return QStringLiteral("%1%2-%3-%4")
        .arg(y < 1 ? QStringLiteral("-") : QString())
        .arg(std::abs(y), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

QDate parseDate(const QString &text)
{
    const QString t = text.trimmed();
    for (const char *fmt : {"yyyy-MM-dd", "dd.MM.yyyy", "d.M.yyyy", "dd.MM.yy"}) {
        QDate d = QDate::fromString(t, QLatin1String(fmt));
        if (d.isValid())
            return fmt == std::string_view("dd.MM.yy") && d.year() < 1930 ? d.addYears(100) : d;
    }
    if (t.startsWith(QLatin1Char('-'))) {  // years before 1, as isoDate writes them
        const QStringList p = t.mid(1).split(QLatin1Char('-'));
        if (p.size() == 3)
            return QDate(-p[0].toInt(), p[1].toInt(), p[2].toInt());
    }
    return {};
}

QVariant toFieldValue(const FieldDef &field, const QVariant &input)
{
    const bool nullInput = !input.isValid() || input.isNull();
    switch (field.kind) {
    case FieldKind::AutoInc:
        throw EngineError(QStringLiteral("Поле «%1» заполняется автоматически и не изменяется").arg(field.name));
    case FieldKind::Text:
    case FieldKind::Memo: {
        if (nullInput)
            return {};
        const QString s = input.toString();
        if (isBlank(s))
            return {};
        return field.kind == FieldKind::Text ? cut(s, field.width) : s;
    }
    case FieldKind::Integer: {
        if (nullInput)
            return {};
        qlonglong v = 0;
        bool ok = false;
        switch (input.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::Short:
            v = input.toLongLong(&ok);
            break;
        case QMetaType::Double:
        case QMetaType::Float: {
            const double d = input.toDouble();
            ok = std::isfinite(d) && d == std::floor(d) && std::abs(d) < 1e15;
            v = ok ? qlonglong(d) : 0;
            break;
        }
        default: {
            const QString s = input.toString().trimmed();
            if (s.isEmpty())
                return {};
            v = s.toLongLong(&ok);
        }
        }
        if (!ok)
            refuse(field, input, QStringLiteral("не является целым числом"));
        if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
            refuse(field, input, QStringLiteral("вне допустимого диапазона (от -2147483648 до 2147483647)"));
        return QVariant(int(v));
    }
    case FieldKind::Number: {
        if (nullInput)
            return {};
        bool ok = false;
        double d = 0;
        if (input.typeId() == QMetaType::QString) {
            QString s = input.toString().trimmed();
            if (s.isEmpty())
                return {};
            s.replace(QLatin1Char(','), QLatin1Char('.'));
            d = QLocale::c().toDouble(s, &ok);
        } else {
            d = input.toDouble(&ok);
        }
        if (!ok || !std::isfinite(d))
            refuse(field, input, QStringLiteral("не является числом"));
        return QVariant(d);
    }
    case FieldKind::Date: {
        if (nullInput)
            return {};
        QDate d;
        if (input.typeId() == QMetaType::QDate)
            d = input.toDate();
        else if (input.typeId() == QMetaType::QDateTime)
            d = input.toDateTime().date();
        else {
            const QString s = input.toString();
            if (isBlank(s))
                return {};
            d = parseDate(s);
        }
        if (!d.isValid())
            refuse(field, input, QStringLiteral("не является датой"));
        return QVariant(d);
    }
    }
    return {};
}

QVariant toStorage(const FieldDef &field, const QVariant &value)
{
    if (field.kind == FieldKind::Date && value.typeId() == QMetaType::QDate)
        return isoDate(value.toDate());
    return value;
}

QVariant fromStorage(const FieldDef &field, const QVariant &stored)
{
    if (!stored.isValid() || stored.isNull())
        return {};
    switch (field.kind) {
    case FieldKind::Date: {
        const QDate d = parseDate(stored.toString());
        return d.isValid() ? QVariant(d) : stored;
    }
    case FieldKind::AutoInc:
    case FieldKind::Integer:
        return stored.typeId() == QMetaType::LongLong ? QVariant(int(stored.toLongLong())) : stored;
    case FieldKind::Number:
        return stored.typeId() == QMetaType::LongLong ? QVariant(stored.toDouble()) : stored;
    default:
        return stored.typeId() == QMetaType::QString ? stored : QVariant(stored.toString());
    }
}

}  // namespace orvelan
