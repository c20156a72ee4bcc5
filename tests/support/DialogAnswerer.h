#pragma once

#include <QMessageBox>
#include <QObject>
#include <QTimer>
#include <deque>
#include <vector>

namespace orvelan {

// Answers the message boxes a test provokes, as a user would: each box that opens modally is
// recorded and closed with the next button of the queue (OK once the queue is empty).
class DialogAnswerer : public QObject {
public:
    struct Seen {
        QString objectName, title, text;
        QMessageBox::Icon icon;
        QStringList buttons;
    };

    explicit DialogAnswerer(std::initializer_list<QMessageBox::StandardButton> answers = {});
    const std::vector<Seen> &seen() const { return m_seen; }
    int count() const { return int(m_seen.size()); }
    // Titles and texts of every box seen, for failure messages.
    QString describe() const;

private:
    void tick();

    QTimer m_timer;
    std::deque<QMessageBox::StandardButton> m_answers;
    std::vector<Seen> m_seen;
};

}  // namespace orvelan
