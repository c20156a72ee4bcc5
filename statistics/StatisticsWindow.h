#pragma once

#include "FixedDialog.h"

#include <vector>

namespace orvelan {

class Dataset;

// The statistics window. Its counting queries run once, when the window is created, so it
// shows the counts of start-up.
class TForm8 : public FixedDialog {
    Q_OBJECT
public:
    explicit TForm8(QWidget *parent = nullptr);
    const std::vector<Dataset *> &queries() const { return m_queries; }

private:
    std::vector<Dataset *> m_queries;
};

}  // namespace orvelan
