#pragma once

#include "FixedDialog.h"

namespace orvelan {

// Paid services: payments, the price list and sums over a period.
class TForm10 : public FixedDialog {
public:
    explicit TForm10(QWidget *parent = nullptr) : FixedDialog(QStringLiteral("TForm10"), QStringLiteral("Платные услуги"), QSize(698, 569), parent) {}
};

}  // namespace orvelan
