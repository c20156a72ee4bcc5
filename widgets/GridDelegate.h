#pragma once

#include <QStyledItemDelegate>

namespace orvelan {

class DatasetModel;

// The in-place editors of a data-bound grid: text limited to the field's size, a date with a
// drop-down calendar, a pick-list combo that also takes typed text, and a lookup combo that
// takes only dictionary entries. A value the field refuses is reported and changes nothing.
class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit GridDelegate(DatasetModel *model, QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Rows shown at once by a pick list's drop-down.
    static constexpr int kPickListRows = 8;

private:
    DatasetModel *m_model;
    mutable bool m_committing = false;
};

}  // namespace orvelan
