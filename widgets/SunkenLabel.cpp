#include "SunkenLabel.h"

#include <QPainter>

namespace orvelan {

SunkenLabel::SunkenLabel(const QString &text, QWidget *parent) : QWidget(parent), m_text(text)
{
    setAccessibleName(text);
    setAttribute(Qt::WA_TranslucentBackground);
}

QSize SunkenLabel::sizeHint() const
{
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(m_text) + m_depth + 2, fm.height() + m_depth + 2};
}

void SunkenLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setFont(font());
    const QRect r = rect().adjusted(1, 1, -m_depth - 1, -m_depth - 1);
    const int flags = Qt::AlignLeft | Qt::AlignTop;
    p.setPen(m_shadow.darker(160));
    p.drawText(r.translated(-1, -1), flags, m_text);
    p.setPen(m_light);
    p.drawText(r.translated(m_depth - 1, m_depth - 1), flags, m_text);
    p.setPen(m_shadow);
    p.drawText(r, flags, m_text);
}

}  // namespace orvelan
