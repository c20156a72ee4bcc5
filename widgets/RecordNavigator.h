#pragma once

#include <QWidget>
#include <array>

class QToolButton;

namespace orvelan {

class DataSource;

// A bar of ten buttons acting on the dataset of a data source: first, prior, next, last,
// insert, delete, edit, post, cancel, refresh. Each is enabled only when it can act, and all
// are disabled while the dataset is closed. Delete asks first.
class RecordNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh, ButtonCount };

    RecordNavigator(const QString &name, DataSource *source, QWidget *parent = nullptr);

    QToolButton *button(Button b) const { return m_buttons[size_t(b)]; }
    void press(Button b);  // what a click does
    void updateButtons();

    static constexpr int kHeight = 25;

private:
    DataSource *m_source;
    std::array<QToolButton *, ButtonCount> m_buttons{};
};

}  // namespace orvelan
