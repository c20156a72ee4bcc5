#pragma once

#include "FixedDialog.h"

namespace orvelan {

// The About window.
class TForm12 : public FixedDialog {
public:
    explicit TForm12(QWidget *parent = nullptr) : FixedDialog(QStringLiteral("TForm12"), QStringLiteral("О программе"), QSize(329, 269), parent) {}
};

}  // namespace orvelan
