#include "FixedDialog.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

namespace orvelan {

FixedDialog::FixedDialog(const QString &name, const QString &caption, QSize clientSize, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(name);
    setWindowTitle(caption);
    setAccessibleName(caption);
    setFixedSize(clientSize);
    setModal(true);
}

void FixedDialog::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            QRect r = frameGeometry();
            r.moveCenter(screen->availableGeometry().center());
            move(r.topLeft());
        }
    }
    QDialog::showEvent(event);
}

}  // namespace orvelan
