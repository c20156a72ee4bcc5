#include "Messages.h"

#include "EngineError.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

namespace orvelan {

QString errorMessage(const std::exception &error)
{
    if (const auto *e = dynamic_cast<const EngineError *>(&error))
        return e->message();
    return QString::fromUtf8(error.what());
}

void showErrorBox(QWidget *parent, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), message, QMessageBox::Ok,
                    parent ? parent->window() : nullptr);
    box.setObjectName(QStringLiteral("ErrorBox"));
    box.exec();
}

QEvent::Type programDialogClosedEvent()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

bool confirmDelete(QWidget *parent)
{
    QWidget *owner = parent ? parent->window() : nullptr;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), QStringLiteral("Delete record?"),
                    QMessageBox::Ok | QMessageBox::Cancel, owner);
    box.setObjectName(QStringLiteral("ConfirmDelete"));
    box.setDefaultButton(QMessageBox::Cancel);
    const bool ok = box.exec() == QMessageBox::Ok;
    if (owner) {
        QEvent closed(programDialogClosedEvent());
        QCoreApplication::sendEvent(owner, &closed);
    }
    return ok;
}

}  // namespace orvelan
