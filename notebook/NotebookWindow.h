#pragma once

#include "FixedDialog.h"

namespace orvelan {

// Dated topics with their notes, beside a calculator.
class TForm11 : public FixedDialog {
public:
    explicit TForm11(QWidget *parent = nullptr) : FixedDialog(QStringLiteral("TForm11"), QStringLiteral("Записная книжка"), QSize(868, 625), parent) {}
};

}  // namespace orvelan
