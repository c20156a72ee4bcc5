#include "StatisticsWindow.h"

#include "Dataset.h"
#include "StatisticsQueries.h"

namespace orvelan {

TForm8::TForm8(QWidget *parent) : FixedDialog(QStringLiteral("TForm8"), QStringLiteral("Общая статистика"), QSize(688, 460), parent)
{
    for (const StatisticsQuery &q : statisticsQueries()) {
        auto *query = new Dataset(this);
        query->setObjectName(q.name);
        query->setSql(q.sql);
        query->open();
        m_queries.push_back(query);
    }
}

}  // namespace orvelan
