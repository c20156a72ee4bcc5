#pragma once

#include <QHeaderView>
#include <set>

namespace orvelan {

// The column headers of a data-bound grid: captions that may wrap onto several lines (the
// header then grows), and, when column filtering is on, a filter button in each header.
class GridHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit GridHeader(QWidget *parent = nullptr);

    void setWrapping(bool on);
    void setFilterButtons(bool on);
    bool hasFilterButtons() const { return m_filterButtons; }
    void setFiltered(int section, bool on);
    bool isFiltered(int section) const { return m_filtered.count(section) > 0; }
    // Where a section's filter button is drawn, in header coordinates.
    QRect filterButtonRect(int section) const;

signals:
    void filterRequested(int section);

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    QSize sectionSizeFromContents(int logicalIndex) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QRect captionRect(const QRect &section) const;

    bool m_wrap = false;
    bool m_filterButtons = false;
    bool m_pressedOnFilter = false;
    std::set<int> m_filtered;
};

}  // namespace orvelan
