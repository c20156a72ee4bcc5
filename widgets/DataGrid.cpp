#include "DataGrid.h"

#include "DataSource.h"
#include "Dataset.h"
#include "DatasetModel.h"
#include "GridDelegate.h"
#include "GridHeader.h"
#include "Messages.h"
#include "ValueFilterPopup.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

namespace orvelan {

// The table view of a grid, with the grid's keys, cell hints and a row sync before editing.
class GridView : public QTableView {
public:
    explicit GridView(DataGrid *grid) : QTableView(grid), m_grid(grid) {}

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const bool ctrl = event->modifiers() & Qt::ControlModifier;
        if (event->key() == Qt::Key_Insert && !event->modifiers()) {
            m_grid->insertRecord();
            return;
        }
        if (event->key() == Qt::Key_Delete && ctrl) {
            m_grid->deleteRecord();
            return;
        }
        if (event->key() == Qt::Key_Escape && state() != EditingState) {
            m_grid->cancelRecord();
            return;
        }
        QTableView::keyPressEvent(event);
    }

    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override
    {
        // The dataset must stand on the row before its fields change.
        if (index.isValid() && (index.flags() & Qt::ItemIsEditable) && trigger != NoEditTriggers &&
            index.row() != m_grid->model()->currentModelRow() && state() != EditingState) {
            if (!runReportingErrors(this, [&] { m_grid->model()->moveDatasetTo(index.row()); })) {
                m_grid->syncViewToDataset();
                return false;
            }
        }
        return QTableView::edit(index, trigger, event);
    }

    bool viewportEvent(QEvent *event) override
    {
        if (event->type() == QEvent::ToolTip && m_grid->settings().cellHints) {
            auto *help = static_cast<QHelpEvent *>(event);
            const QModelIndex index = indexAt(help->pos());
            const QString text = index.isValid() ? m_grid->model()->displayText(index.row(), index.column()) : QString();
            const QRect cell = visualRect(index);
            const QRect needed =
                fontMetrics().boundingRect(QRect(0, 0, cell.width() - 6, 100000), Qt::TextWordWrap, text);
            if (!text.isEmpty() && (needed.width() > cell.width() - 6 || needed.height() > cell.height() - 2))
                QToolTip::showText(help->globalPos(), text, viewport(), cell);
            else
                QToolTip::hideText();
            return true;
        }
        return QTableView::viewportEvent(event);
    }

public:
    // The height a row needs to show the wrapped text of every column, in sight or not.
    int heightForRow(int row)
    {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.features |= QStyleOptionViewItem::WrapText;
        int height = verticalHeader()->defaultSectionSize();
        for (int c = 0; c < model()->columnCount(); ++c) {
            option.rect = QRect(0, 0, columnWidth(c), height);
            height = std::max(height, itemDelegate()->sizeHint(option, model()->index(row, c)).height());
        }
        return height;
    }

    void commitOpenEditor()
    {
        if (state() != EditingState)
            return;
        if (QWidget *editor = indexWidget(currentIndex())) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }

private:
    DataGrid *m_grid;
};

DataGrid::DataGrid(const QString &name, DataSource *source, std::vector<GridColumn> columns,
                   const GridSettings &settings, QWidget *parent)
    : QWidget(parent), m_source(source), m_columns(columns), m_settings(settings)
{
    setObjectName(name);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new GridView(this);
    m_view->setObjectName(name + QStringLiteral("DBTableView1"));
    layout->addWidget(m_view);

    m_model = new DatasetModel(source->dataset(), std::move(columns), this);
    m_model->setEditable(!settings.rowSelect);
    m_header = new GridHeader(m_view);
    m_header->setWrapping(settings.headerAutoHeight);
    m_header->setFilterButtons(settings.columnFiltering);
    m_view->setHorizontalHeader(m_header);
    m_view->setModel(m_model);
    m_view->setItemDelegate(new GridDelegate(m_model, m_view));
    m_view->setWordWrap(settings.cellAutoHeight);
    m_view->setTextElideMode(Qt::ElideRight);
    m_view->setSortingEnabled(false);  // sorting goes through the dataset, not the model
    m_view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    if (!settings.border)
        m_view->setFrameShape(QFrame::NoFrame);
    if (!settings.scrollBars) {
        m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    if (settings.rowSelect) {
        m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
        m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    } else {
        m_view->setSelectionBehavior(QAbstractItemView::SelectItems);
        m_view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                                QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    }
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);

    QHeaderView *rows = m_view->verticalHeader();
    rows->setVisible(settings.rowIndicator);
    rows->setDefaultAlignment(Qt::AlignCenter);
    rows->setMinimumSectionSize(4);
    rows->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    rows->setSectionResizeMode(settings.cellAutoHeight ? QHeaderView::Interactive : QHeaderView::Fixed);
    rows->setFixedWidth(14);
    m_header->setMinimumSectionSize(8);
    m_header->setStretchLastSection(false);
    applyColumnWidths();

    for (size_t c = 0; c < m_columns.size(); ++c)
        if (m_columns[c].sortOrder != SortOrder::None) {
            source->dataset()->setSortField(m_columns[c].field, m_columns[c].sortOrder == SortOrder::Ascending);
            m_header->setSortIndicatorShown(true);
            m_header->setSortIndicator(int(c), m_columns[c].sortOrder == SortOrder::Ascending ? Qt::AscendingOrder
                                                                                              : Qt::DescendingOrder);
        }
    if (!m_header->isSortIndicatorShown())
        m_header->setSortIndicator(-1, Qt::AscendingOrder);

    connect(m_header, &QHeaderView::sectionClicked, this, &DataGrid::sortByColumn);
    connect(m_header, &GridHeader::filterRequested, this, &DataGrid::openValueFilter);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (m_syncing || m_syncQueued)
            return;
        m_syncQueued = true;
        QMetaObject::invokeMethod(this, &DataGrid::syncDatasetToView, Qt::QueuedConnection);
    });
    connect(source->dataset(), &Dataset::currentChanged, this, &DataGrid::syncViewToDataset);
    connect(m_model, &QAbstractItemModel::modelReset, this, &DataGrid::syncViewToDataset);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &DataGrid::syncViewToDataset);
    if (settings.cellAutoHeight) {
        connect(m_model, &QAbstractItemModel::modelReset, this, &DataGrid::scheduleAutoHeight);
        connect(m_model, &QAbstractItemModel::dataChanged, this, &DataGrid::scheduleAutoHeight);
        connect(m_model, &QAbstractItemModel::rowsInserted, this, &DataGrid::scheduleAutoHeight);
        connect(m_view->verticalScrollBar(), &QScrollBar::valueChanged, this, &DataGrid::scheduleAutoHeight);
        connect(m_header, &QHeaderView::sectionResized, this, &DataGrid::scheduleAutoHeight);
        m_view->viewport()->installEventFilter(this);
    }
    if (settings.headerAutoHeight)
        connect(m_header, &QHeaderView::sectionResized, this, [this](int section) {
            emit m_model->headerDataChanged(Qt::Horizontal, section, section);  // the header may need more lines
        });
    syncViewToDataset();
}

QTableView *DataGrid::view() const { return m_view; }
Dataset *DataGrid::dataset() const { return m_source->dataset(); }
int DataGrid::columnOfField(const QString &field) const { return m_model->columnOfField(field); }

int DataGrid::columnWidthFor(const GridColumn &column) const
{
    if (column.pixelWidth > 0)
        return column.pixelWidth;
    int chars = column.displayWidth;
    if (chars <= 0) {
        const FieldDef *def = dataset()->fieldDef(column.field);
        chars = def && def->kind == FieldKind::Text && def->width > 0 ? def->width : 10;
    }
    return chars * m_view->fontMetrics().horizontalAdvance(QLatin1Char('0')) + 4;
}

void DataGrid::applyColumnWidths()
{
    for (size_t c = 0; c < m_columns.size(); ++c)
        m_view->setColumnWidth(int(c), columnWidthFor(m_columns[c]));
}

void DataGrid::syncViewToDataset()
{
    if (m_syncing)
        return;
    m_syncing = true;
    const int row = m_model->currentModelRow();
    QItemSelectionModel *sel = m_view->selectionModel();
    if (row >= 0 && row < m_model->rowCount()) {
        const int column = std::max(m_view->currentIndex().column(), 0);
        const QModelIndex index = m_model->index(row, std::min(column, m_model->columnCount() - 1));
        if (m_view->currentIndex() != index) {
            QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::ClearAndSelect;
            if (m_settings.rowSelect)
                flags |= QItemSelectionModel::Rows;
            sel->setCurrentIndex(index, flags);
        }
        m_view->scrollTo(index);
    } else {
        sel->clear();
    }
    m_syncing = false;
}

void DataGrid::syncDatasetToView()
{
    m_syncQueued = false;
    const int row = m_view->currentIndex().row();
    if (row < 0 || row == m_model->currentModelRow() || !dataset()->isActive())
        return;
    if (!runReportingErrors(this, [&] { m_model->moveDatasetTo(row); }))
        syncViewToDataset();  // the edited row could not be posted: it stays current
}

void DataGrid::insertRecord()
{
    if (m_settings.rowSelect)
        return;
    runReportingErrors(this, [&] { dataset()->insert(); });
    m_view->setFocus();
}

void DataGrid::deleteRecord()
{
    if (m_settings.rowSelect || !dataset()->canModify() || m_model->rowCount() == 0)
        return;
    if (!confirmDelete(this))
        return;
    runReportingErrors(this, [&] { dataset()->deleteRecord(); });
}

void DataGrid::commitEdit() { m_view->commitOpenEditor(); }

void DataGrid::cancelRecord()
{
    runReportingErrors(this, [&] { dataset()->cancel(); });
}

void DataGrid::sortByColumn(int column)
{
    if (column < 0 || column >= int(m_columns.size()))
        return;
    const QString &field = m_columns[size_t(column)].field;
    Dataset *ds = dataset();
    const bool ascending = ds->sortField().compare(field, Qt::CaseInsensitive) != 0 || !ds->sortAscending();
    if (runReportingErrors(this, [&] { ds->setSortField(field, ascending); })) {
        m_header->setSortIndicatorShown(true);
        m_header->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
}

void DataGrid::openValueFilter(int column)
{
    if (!m_settings.columnFiltering || column < 0 || column >= int(m_columns.size()) || !dataset()->isActive())
        return;
    QVariantList values;
    if (!runReportingErrors(this, [&] { values = dataset()->distinctValues(m_columns[size_t(column)].field); }))
        return;
    auto *popup = new ValueFilterPopup(m_columns[size_t(column)].caption, values,
                                       m_filterValues[column], this);
    connect(popup, &ValueFilterPopup::applied, this, [this, column](const QVariantList &v) { applyValueFilter(column, v); });
    const QRect section(m_header->sectionViewportPosition(column), 0, m_header->sectionSize(column), m_header->height());
    popup->move(m_header->mapToGlobal(section.bottomLeft()));
    popup->show();
}

void DataGrid::applyValueFilter(int column, const QVariantList &values)
{
    const QString &field = m_columns[size_t(column)].field;
    if (runReportingErrors(this, [&] { dataset()->setValueFilter(field, values); })) {
        m_filterValues[column] = values;
        m_header->setFiltered(column, !values.isEmpty());
    }
}

bool DataGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view->viewport() && event->type() == QEvent::Resize)
        scheduleAutoHeight();  // more rows may come into sight
    return QWidget::eventFilter(watched, event);
}

void DataGrid::scheduleAutoHeight()
{
    if (m_fitQueued)
        return;
    m_fitQueued = true;
    QMetaObject::invokeMethod(this, &DataGrid::fitVisibleRows, Qt::QueuedConnection);
}

// Rows grow to show their wrapped text. Only the rows in sight are measured, so a grid over a
// large table never reads rows it does not show.
void DataGrid::fitVisibleRows()
{
    m_fitQueued = false;
    const int rows = m_model->rowCount();
    const int first = m_view->rowAt(0);
    if (first < 0)
        return;
    const int height = m_view->viewport()->height();
    int y = 0;
    for (int r = first; r < rows && y <= height; ++r) {
        const int h = m_view->heightForRow(r);
        if (m_view->rowHeight(r) != h)
            m_view->setRowHeight(r, h);
        y += h;
    }
}

}  // namespace orvelan
