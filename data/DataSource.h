#pragma once

#include "Dataset.h"  // a complete type, for the guarded pointer

#include <QObject>
#include <QPointer>

namespace orvelan {

// Connects one table or query object to the grids and navigators that show it.
class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(Dataset *dataset = nullptr, QObject *parent = nullptr)
        : QObject(parent), m_dataset(dataset) {}
    Dataset *dataset() const { return m_dataset; }
    void setDataset(Dataset *dataset) { m_dataset = dataset; }

private:
    QPointer<Dataset> m_dataset;
};

}  // namespace orvelan
