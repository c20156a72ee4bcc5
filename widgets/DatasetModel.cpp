#include "DatasetModel.h"

#include "Dataset.h"
#include "EngineError.h"

#include <QDate>
#include <QLocale>

namespace orvelan {

QString cellText(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::Double:
        return QLocale(QLocale::Russian).toString(value.toDouble(), 'g', 15);
    default:
        return value.toString();
    }
}

DatasetModel::DatasetModel(Dataset *dataset, std::vector<GridColumn> columns, QObject *parent)
    : QAbstractTableModel(parent), m_dataset(dataset), m_columns(std::move(columns))
{
    m_active = dataset->isActive();
    connect(dataset, &Dataset::stateChanged, this, &DatasetModel::onStateChanged);
    connect(dataset, &Dataset::rowsReset, this, &DatasetModel::onRowsReset);
    connect(dataset, &Dataset::currentChanged, this, &DatasetModel::onCurrentChanged);
    connect(dataset, &Dataset::bufferChanged, this, &DatasetModel::onBufferChanged);
}

int DatasetModel::columnOfField(const QString &field) const
{
    for (size_t c = 0; c < m_columns.size(); ++c)
        if (m_columns[c].field.compare(field, Qt::CaseInsensitive) == 0)
            return int(c);
    return -1;
}

int DatasetModel::datasetColumn(int c) const
{
    return m_dataset && c >= 0 && c < columnCount() ? m_dataset->fieldIndex(m_columns[size_t(c)].field) : -1;
}

int DatasetModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_dataset || !m_active || !m_dataset->isActive())
        return 0;
    try {
        return m_dataset->recordCount() + (m_inserting ? 1 : 0);
    } catch (const std::exception &) {
        return 0;  // an unreadable table shows no rows; the action that failed reports it
    }
}

int DatasetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

int DatasetModel::datasetRow(int modelRow) const
{
    if (!m_inserting || modelRow < m_insertRow)
        return modelRow;
    return modelRow == m_insertRow ? -1 : modelRow - 1;
}

int DatasetModel::currentModelRow() const
{
    if (!m_dataset || !m_dataset->isActive())
        return -1;
    if (m_inserting)
        return m_insertRow;
    return m_dataset->recNo();
}

QVariant DatasetModel::fieldValue(int modelRow, int column) const
{
    const int dc = datasetColumn(column);
    if (dc < 0)
        return {};
    const int row = datasetRow(modelRow);
    try {
        if (row < 0)
            return m_dataset->value(dc);
        if (row == m_dataset->recNo())
            return m_dataset->state() == Dataset::State::Edit ? m_dataset->value(dc) : m_dataset->rowValue(row, dc);
        return m_dataset->rowValue(row, dc);
    } catch (const std::exception &) {
        return {};
    }
}

QString DatasetModel::displayText(int modelRow, int column) const
{
    return cellText(fieldValue(modelRow, column));
}

QVariant DatasetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return displayText(index.row(), index.column());
    case Qt::EditRole:
        return fieldValue(index.row(), index.column());
    case Qt::AccessibleTextRole:
        return displayText(index.row(), index.column());
    case Qt::TextAlignmentRole: {
        const QVariant v = fieldValue(index.row(), index.column());
        const bool numeric = v.typeId() == QMetaType::Int || v.typeId() == QMetaType::Double;
        return QVariant::fromValue((numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
    }
    default:
        return {};
    }
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= columnCount())
            return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return m_columns[size_t(section)].caption;
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(m_columns[size_t(section)].headerAlignment);
        default:
            return {};
        }
    }
    // The row indicator: the current row, and whether it is being edited or inserted.
    if (role == Qt::DisplayRole && section == currentModelRow() && m_dataset) {
        switch (m_dataset->state()) {
        case Dataset::State::Insert: return QStringLiteral("*");
        case Dataset::State::Edit: return QStringLiteral("I");
        default: return QStringLiteral("▶");
        }
    }
    if (role == Qt::AccessibleTextRole)
        return QStringLiteral("Строка %1").arg(section + 1);
    return {};
}

Qt::ItemFlags DatasetModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_editable && m_dataset && m_dataset->canModify() && datasetColumn(index.column()) >= 0)
        f |= Qt::ItemIsEditable;
    return f;
}

void DatasetModel::moveDatasetTo(int modelRow)
{
    if (!m_dataset || !m_dataset->isActive() || modelRow == currentModelRow())
        return;
    const int row = datasetRow(modelRow);
    if (row < 0)
        return;
    const auto state = m_dataset->state();
    if (state == Dataset::State::Edit || state == Dataset::State::Insert)
        m_dataset->moveToKey(m_dataset->rowKey(row));  // the post may move rows about
    else
        m_dataset->moveTo(row);
}

bool DatasetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !m_dataset)
        return false;
    moveDatasetTo(index.row());
    const GridColumn &c = m_columns[size_t(index.column())];
    if (c.editor == EditorKind::Lookup)
        m_dataset->setLookupValue(c.field, value);
    else
        m_dataset->setValue(c.field, value);
    return true;
}

void DatasetModel::onStateChanged()
{
    const bool active = m_dataset->isActive();
    const bool inserting = m_dataset->state() == Dataset::State::Insert;
    if (active != m_active) {
        beginResetModel();
        m_active = active;
        m_inserting = inserting;
        m_insertRow = std::max(m_dataset->recNo(), 0);
        endResetModel();
    } else if (m_inserting && !inserting) {
        beginRemoveRows({}, m_insertRow, m_insertRow);
        m_inserting = false;
        endRemoveRows();
    } else if (!m_inserting && inserting) {
        const int at = std::max(m_dataset->recNo(), 0);
        beginInsertRows({}, at, at);
        m_insertRow = at;
        m_inserting = true;
        endInsertRows();
    }
    const int now = currentModelRow();
    if (now >= 0 && now < rowCount())
        emit headerDataChanged(Qt::Vertical, now, now);
}

void DatasetModel::onRowsReset()
{
    beginResetModel();
    m_active = m_dataset->isActive();
    m_inserting = m_active && m_dataset->state() == Dataset::State::Insert;
    endResetModel();
}

void DatasetModel::onCurrentChanged()
{
    // Only the indicator of the row left and of the row reached changes.
    const int now = currentModelRow();
    const int rows = rowCount();
    for (int r : {m_lastCurrent, now})
        if (r >= 0 && r < rows)
            emit headerDataChanged(Qt::Vertical, r, r);
    m_lastCurrent = now;
}

void DatasetModel::onBufferChanged()
{
    const int now = currentModelRow();
    if (now >= 0 && now < rowCount())
        emit dataChanged(index(now, 0), index(now, columnCount() - 1));
}

}  // namespace orvelan
