#pragma once

#include "GridColumn.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <vector>

namespace orvelan {

class Dataset;  // outlives the grids bound to it: windows own their datasets for the whole run

// The rows of a dataset as a table model: one row per visible record, one column per declared
// grid column. Rows are read through the dataset as the view asks for them, so a model over a
// large table holds only the dataset's pages. While a row is being inserted it shows as one
// extra row at the place of insertion.
class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    DatasetModel(Dataset *dataset, std::vector<GridColumn> columns, QObject *parent = nullptr);

    Dataset *dataset() const { return m_dataset; }
    const GridColumn &column(int c) const { return m_columns[size_t(c)]; }
    int columnOfField(const QString &field) const;
    void setEditable(bool on) { m_editable = on; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Writes into the dataset's record buffer; a value the field cannot take throws, and then
    // nothing changes. For a lookup column the value is the chosen dictionary entry's key.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    // Row mapping between the view and the dataset (-1: the row being inserted).
    int datasetRow(int modelRow) const;
    int currentModelRow() const;
    // Moves the dataset to the record shown in a model row; the edited row is posted first.
    void moveDatasetTo(int modelRow);

    // The text a cell shows.
    QString displayText(int modelRow, int column) const;
    // The raw field value of a cell (a lookup column's key is its key field's value).
    QVariant fieldValue(int modelRow, int column) const;

private:
    void onStateChanged();
    void onRowsReset();
    void onCurrentChanged();
    void onBufferChanged();
    int datasetColumn(int c) const;

    Dataset *m_dataset;
    std::vector<GridColumn> m_columns;
    bool m_editable = true;
    bool m_inserting = false;
    int m_insertRow = 0;
    bool m_active = false;
    int m_lastCurrent = -1;
};

// The text a value shows in a cell.
QString cellText(const QVariant &value);

}  // namespace orvelan
