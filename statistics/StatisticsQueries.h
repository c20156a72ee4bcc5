#pragma once

#include <QString>
#include <vector>

namespace orvelan {

// A counting query of the statistics window, with the columns its chart reads.
struct StatisticsQuery {
    QString name;         // `Query1` …
    QString sql;          // local SQL, lines joined by line breaks
    QString labelColumn;
    QString countColumn;
};

// The counting queries in the order they open (there is no `Query14`).
const std::vector<StatisticsQuery> &statisticsQueries();

}  // namespace orvelan
