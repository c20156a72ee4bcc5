#include "GridHeader.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>

namespace orvelan {

namespace {
constexpr int kFilterButtonWidth = 14;
constexpr int kMargin = 3;
constexpr int kSortArrowWidth = 9;
}

GridHeader::GridHeader(QWidget *parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setHighlightSections(false);
}

void GridHeader::setWrapping(bool on)
{
    m_wrap = on;
    updateGeometries();
    viewport()->update();
}

void GridHeader::setFilterButtons(bool on)
{
    m_filterButtons = on;
    viewport()->update();
}

void GridHeader::setFiltered(int section, bool on)
{
    if (on)
        m_filtered.insert(section);
    else
        m_filtered.erase(section);
    viewport()->update();
}

QRect GridHeader::filterButtonRect(int section) const
{
    if (!m_filterButtons)
        return {};
    const int x = sectionViewportPosition(section);
    const int w = sectionSize(section);
    return QRect(x + w - kFilterButtonWidth - 1, 1, kFilterButtonWidth, std::min(height() - 2, 16));
}

QRect GridHeader::captionRect(const QRect &section) const
{
    QRect r = section.adjusted(kMargin, 2, -kMargin, -2);
    if (m_filterButtons)
        r.setRight(r.right() - kFilterButtonWidth);
    if (sortIndicatorSection() == logicalIndexAt(section.center()) && isSortIndicatorShown())
        r.setRight(r.right() - kSortArrowWidth);
    return r;
}

void GridHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    // The frame and the sort arrow come from the style; the caption is drawn here so that it
    // can wrap.
    QStyleOptionHeader opt;
    initStyleOption(&opt);
    initStyleOptionForIndex(&opt, logicalIndex);
    opt.rect = rect;
    const QString caption = opt.text;
    const auto sort = opt.sortIndicator;
    opt.text.clear();
    opt.sortIndicator = QStyleOptionHeader::None;  // drawn below, beside the caption
    painter->save();
    style()->drawControl(QStyle::CE_Header, &opt, painter, this);
    painter->restore();

    const QVariant align = model() ? model()->headerData(logicalIndex, orientation(), Qt::TextAlignmentRole) : QVariant();
    Qt::Alignment a = align.isValid() ? Qt::Alignment(align.toInt()) : Qt::Alignment(Qt::AlignHCenter | Qt::AlignTop);
    painter->save();
    painter->setPen(palette().color(QPalette::ButtonText));
    painter->drawText(captionRect(rect), int(a) | (m_wrap ? Qt::TextWordWrap : 0), caption);
    painter->restore();

    if (sort != QStyleOptionHeader::None) {
        const QRect c = captionRect(rect);
        const QPointF at(c.right() - 3, c.top() + fontMetrics().height() / 2.0);
        const bool up = sort == QStyleOptionHeader::SortUp;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        painter->setBrush(palette().color(QPalette::ButtonText));
        const qreal d = up ? -1 : 1;
        painter->drawPolygon(QPolygonF{{at.x() - 3, at.y() - 1.5 * d}, {at.x() + 3, at.y() - 1.5 * d}, {at.x(), at.y() + 2 * d}});
        painter->restore();
    }
    if (m_filterButtons) {
        const QRect b = filterButtonRect(logicalIndex).translated(0, rect.top());
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const bool on = isFiltered(logicalIndex);
        painter->setPen(Qt::NoPen);
        painter->setBrush(on ? palette().color(QPalette::Highlight) : palette().color(QPalette::Mid));
        const QPointF c = QRectF(b).center();
        const QPolygonF arrow{{c.x() - 4, c.y() - 2}, {c.x() + 4, c.y() - 2}, {c.x(), c.y() + 3}};
        painter->drawPolygon(arrow);
        painter->restore();
    }
}

QSize GridHeader::sectionSizeFromContents(int logicalIndex) const
{
    QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
    size.setHeight(std::max(size.height(), fontMetrics().height() + 6));
    if (!m_wrap || !model())
        return size;
    const QString caption = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
    const int width = std::max(sectionSize(logicalIndex) - 2 * kMargin - (m_filterButtons ? kFilterButtonWidth : 0) -
                                   kSortArrowWidth, 10);
    const QRect needed = fontMetrics().boundingRect(QRect(0, 0, width, 10000), Qt::TextWordWrap, caption);
    size.setHeight(std::max(size.height(), needed.height() + 6));
    return size;
}

void GridHeader::mousePressEvent(QMouseEvent *event)
{
    const int section = logicalIndexAt(event->position().toPoint());
    m_pressedOnFilter = section >= 0 && filterButtonRect(section).contains(event->position().toPoint());
    if (m_pressedOnFilter) {
        event->accept();
        return;
    }
    QHeaderView::mousePressEvent(event);
}

void GridHeader::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_pressedOnFilter) {
        m_pressedOnFilter = false;
        const int section = logicalIndexAt(event->position().toPoint());
        if (section >= 0 && filterButtonRect(section).contains(event->position().toPoint()))
            emit filterRequested(section);
        event->accept();
        return;
    }
    QHeaderView::mouseReleaseEvent(event);
}

}  // namespace orvelan
