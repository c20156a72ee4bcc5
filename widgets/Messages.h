#pragma once

#include <QEvent>
#include <QString>
#include <exception>

class QWidget;

namespace orvelan {

// The box for an error no window handles itself: captioned with the program's title, with the
// error icon, the message and OK.
void showErrorBox(QWidget *parent, const QString &message);
QString errorMessage(const std::exception &error);

// Runs one user action; an error abandons it with the error box, and the program goes on.
// Returns whether the action completed.
template <class Action>
bool runReportingErrors(QWidget *parent, Action &&action)
{
    try {
        action();
        return true;
    } catch (const std::exception &e) {
        showErrorBox(parent, errorMessage(e));
        return false;
    }
}

// Asks "Delete record?" in a box captioned "Confirm"; true only for OK. When the box closes,
// the window that owns `parent` receives a ProgramDialogClosed event, as it would on getting
// focus back from any window of the program.
bool confirmDelete(QWidget *parent);

// The event a window receives when a dialog of the program it owned has closed.
QEvent::Type programDialogClosedEvent();

}  // namespace orvelan
