#include "RecordNavigator.h"

#include "DataSource.h"
#include "Dataset.h"
#include "Messages.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace orvelan {

namespace {
struct ButtonText {
    const char *glyph;
    const char *name;
    const char *hint;
};
// Glyphs that every font with Cyrillic also has, so no icon theme is needed.
constexpr ButtonText kButtons[RecordNavigator::ButtonCount] = {
    {"|◀", "first", "Первая запись"},
    {"◀", "prior", "Предыдущая запись"},
    {"▶", "next", "Следующая запись"},
    {"▶|", "last", "Последняя запись"},
    {"+", "insert", "Добавить запись"},
    {"−", "delete", "Удалить запись"},
    {"▲", "edit", "Изменить запись"},
    {"✓", "post", "Сохранить изменения"},
    {"✕", "cancel", "Отменить изменения"},
    {"↻", "refresh", "Обновить данные"},
};
}  // namespace

RecordNavigator::RecordNavigator(const QString &name, DataSource *source, QWidget *parent)
    : QWidget(parent), m_source(source)
{
    setObjectName(name);
    setAccessibleName(QStringLiteral("Навигатор записей"));
    setFixedHeight(kHeight);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    for (int b = 0; b < ButtonCount; ++b) {
        auto *button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(kButtons[b].name));
        button->setText(QString::fromUtf8(kButtons[b].glyph));
        button->setToolTip(QString::fromUtf8(kButtons[b].hint));
        button->setAccessibleName(QString::fromUtf8(kButtons[b].hint));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->setMinimumSize(12, 12);  // the bar fits a narrow pane
        button->setAutoRaise(false);
        layout->addWidget(button);
        m_buttons[size_t(b)] = button;
        connect(button, &QToolButton::clicked, this, [this, b] { press(Button(b)); });
    }
    Dataset *ds = source->dataset();
    for (auto signal : {&Dataset::stateChanged, &Dataset::currentChanged, &Dataset::rowsReset, &Dataset::bufferChanged})
        connect(ds, signal, this, &RecordNavigator::updateButtons);
    updateButtons();
}

void RecordNavigator::updateButtons()
{
    Dataset *ds = m_source->dataset();
    const bool active = ds && ds->isActive();
    bool at[ButtonCount] = {};
    if (active) {
        const bool editing = ds->state() == Dataset::State::Edit || ds->state() == Dataset::State::Insert;
        const bool canModify = ds->canModify();
        bool empty = true, first = true, last = true;
        try {
            empty = ds->isEmpty();
            first = ds->isFirst();
            last = ds->isLast();
        } catch (const std::exception &) {
        }
        at[First] = at[Prior] = !first;
        at[Next] = at[Last] = !last;
        at[Insert] = at[Refresh] = canModify;
        at[Delete] = canModify && !empty;
        at[Edit] = canModify && !editing;
        at[Post] = at[Cancel] = editing;
    }
    for (int b = 0; b < ButtonCount; ++b)
        m_buttons[size_t(b)]->setEnabled(at[b]);
}

void RecordNavigator::press(Button b)
{
    Dataset *ds = m_source->dataset();
    if (!ds || !m_buttons[size_t(b)]->isEnabled())
        return;
    if (b == Delete && !confirmDelete(this))
        return;
    runReportingErrors(this, [&] {
        switch (b) {
        case First: ds->first(); break;
        case Prior: ds->prior(); break;
        case Next: ds->next(); break;
        case Last: ds->last(); break;
        case Insert: ds->insert(); break;
        case Delete: ds->deleteRecord(); break;
        case Edit: ds->edit(); break;
        case Post: ds->post(); break;
        case Cancel: ds->cancel(); break;
        case Refresh: ds->refresh(); break;
        case ButtonCount: break;
        }
    });
    updateButtons();
}

}  // namespace orvelan
