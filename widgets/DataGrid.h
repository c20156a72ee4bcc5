#pragma once

#include "GridColumn.h"

#include <QTableView>
#include <QWidget>
#include <QVariantList>
#include <map>
#include <vector>

namespace orvelan {

class DataSource;
class Dataset;
class DatasetModel;
class GridHeader;
class GridView;

// A data-bound grid: one table view over a data source, one row per record and one column per
// declared field. Cells edit in place; moving to another row posts the edited row and Esc
// cancels it; Insert adds a row and Ctrl+Delete deletes one after asking. Clicking a header
// sorts by that column, again to reverse; with column filtering on, each header offers a value
// filter. The grid reads only the rows it shows, through the dataset.
class DataGrid : public QWidget {
    Q_OBJECT
public:
    DataGrid(const QString &name, DataSource *source, std::vector<GridColumn> columns,
             const GridSettings &settings, QWidget *parent = nullptr);

    QTableView *view() const;
    DatasetModel *model() const { return m_model; }
    Dataset *dataset() const;
    GridHeader *header() const { return m_header; }
    const GridSettings &settings() const { return m_settings; }
    // The column showing a field, or -1.
    int columnOfField(const QString &field) const;
    // Default width of a column: display width times the width of "0", plus 4 pixels.
    int columnWidthFor(const GridColumn &column) const;

    // The grid's own commands, as the keys give them.
    void insertRecord();
    void deleteRecord();     // asks first
    void cancelRecord();
    // Writes what an open cell editor holds into the record buffer and closes the editor.
    void commitEdit();
    void sortByColumn(int column);
    void openValueFilter(int column);
    void applyValueFilter(int column, const QVariantList &values);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class GridView;
    void applyColumnWidths();
    void syncViewToDataset();
    void syncDatasetToView();
    void scheduleAutoHeight();
    void fitVisibleRows();

    GridView *m_view;
    GridHeader *m_header;
    DatasetModel *m_model;
    DataSource *m_source;
    std::vector<GridColumn> m_columns;
    GridSettings m_settings;
    bool m_syncing = false;
    bool m_syncQueued = false;
    bool m_fitQueued = false;
    std::map<int, QVariantList> m_filterValues;  // per column, the values a filter keeps
};

}  // namespace orvelan
