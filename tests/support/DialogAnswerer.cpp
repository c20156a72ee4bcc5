#include "DialogAnswerer.h"

#include <QAbstractButton>
#include <QApplication>

namespace orvelan {

DialogAnswerer::DialogAnswerer(std::initializer_list<QMessageBox::StandardButton> answers) : m_answers(answers)
{
    connect(&m_timer, &QTimer::timeout, this, &DialogAnswerer::tick);
    m_timer.start(5);
}

void DialogAnswerer::tick()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible() || box->property("answered").toBool())
        return;
    box->setProperty("answered", true);
    Seen s{box->objectName(), box->windowTitle(), box->text(), box->icon(), {}};
    for (QAbstractButton *b : box->buttons())
        s.buttons << b->text().remove(QLatin1Char('&'));
    m_seen.push_back(s);
    QMessageBox::StandardButton answer = QMessageBox::Ok;
    if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    }
    if (QAbstractButton *b = box->button(answer))
        b->click();
    else
        box->reject();
}

QString DialogAnswerer::describe() const
{
    QStringList out;
    for (const Seen &s : m_seen)
        out << s.title + QStringLiteral(": ") + s.text;
    return out.join(QStringLiteral("; "));
}

}  // namespace orvelan
