#pragma once

#include "FixedDialog.h"

namespace orvelan {

// Staff by department and the hospitals' telephone book.
class TForm9 : public FixedDialog {
public:
    explicit TForm9(QWidget *parent = nullptr) : FixedDialog(QStringLiteral("TForm9"), QStringLiteral("Сотрудники "), QSize(755, 610), parent) {}
};

}  // namespace orvelan
