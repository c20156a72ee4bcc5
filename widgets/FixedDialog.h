#pragma once

#include <QDialog>

namespace orvelan {

// A window of the program other than the main one: a fixed-size dialog with a caption,
// centred on the screen, created once and hidden, not destroyed, when it closes.
class FixedDialog : public QDialog {
    Q_OBJECT
public:
    FixedDialog(const QString &name, const QString &caption, QSize clientSize, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;
};

}  // namespace orvelan
