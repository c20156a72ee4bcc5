#pragma once

#include "FixedDialog.h"

namespace orvelan {

// The five ICD-10 diagnosis dictionary windows, one per dictionary table.
class TForm2 : public FixedDialog {
public:
    explicit TForm2(QWidget *parent = nullptr)
        : FixedDialog(QStringLiteral("TForm2"), QStringLiteral("Диагноз МКБ-10 терапия"), QSize(492, 320), parent) {}
};

class TForm3 : public FixedDialog {
public:
    explicit TForm3(QWidget *parent = nullptr)
        : FixedDialog(QStringLiteral("TForm3"), QStringLiteral("Диагноз МКБ-10 умершие клинический"), QSize(492, 320), parent) {}
};

class TForm4 : public FixedDialog {
public:
    explicit TForm4(QWidget *parent = nullptr)
        : FixedDialog(QStringLiteral("TForm4"), QStringLiteral("Диагноз МКБ-10 отравления"), QSize(492, 320), parent) {}
};

class TForm5 : public FixedDialog {
public:
    explicit TForm5(QWidget *parent = nullptr)
        : FixedDialog(QStringLiteral("TForm5"), QStringLiteral("Диагоз МКБ-10 реанимация"), QSize(484, 269), parent) {}
};

class TForm7 : public FixedDialog {
public:
    explicit TForm7(QWidget *parent = nullptr)
        : FixedDialog(QStringLiteral("TForm7"), QStringLiteral("Диагноз МКБ-10 умершие патологоанатомический"),
                      QSize(492, 320), parent) {}
};

}  // namespace orvelan
