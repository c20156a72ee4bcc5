#include "ValueFilterPopup.h"

#include "DatasetModel.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvelan {

ValueFilterPopup::ValueFilterPopup(const QString &caption, const QVariantList &values, const QVariantList &checked,
                                   QWidget *parent)
    : QFrame(parent, Qt::Popup), m_values(values)
{
    setObjectName(QStringLiteral("ValueFilterPopup"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFrameShape(QFrame::StyledPanel);
    setAccessibleName(QStringLiteral("Фильтр по столбцу «%1»").arg(caption));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    m_list = new QListWidget(this);
    m_list->setAccessibleName(accessibleName());
    auto *all = new QListWidgetItem(allText(), m_list);
    all->setData(Qt::UserRole, QStringLiteral("all"));
    for (const QVariant &v : values) {
        auto *item = new QListWidgetItem(v.isNull() ? blankText() : cellText(v), m_list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        bool on = false;
        for (const QVariant &c : checked)
            on = on || (c.isNull() ? v.isNull() : (!v.isNull() && cellText(c) == cellText(v)));
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    layout->addWidget(m_list);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    layout->addWidget(buttons);
    // "(Все)" clears every check and shows all rows at once.
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        if (item->data(Qt::UserRole).toString() == QLatin1String("all")) {
            emit applied({});
            close();
        }
    });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        emit applied(checkedValues());
        close();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    resize(260, 280);
}

QVariantList ValueFilterPopup::checkedValues() const
{
    QVariantList out;
    for (int i = 1; i < m_list->count(); ++i)
        if (m_list->item(i)->checkState() == Qt::Checked)
            out << m_values[i - 1];
    return out;
}

}  // namespace orvelan
