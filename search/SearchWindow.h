#pragma once

#include "FixedDialog.h"

namespace orvelan {

// The surname search across the four patient tables.
class TForm6 : public FixedDialog {
public:
    explicit TForm6(QWidget *parent = nullptr) : FixedDialog(QStringLiteral("TForm6"), QStringLiteral("Поиск"), QSize(644, 572), parent) {}
};

}  // namespace orvelan
