#pragma once

#include <QFrame>
#include <QVariantList>

class QListWidget;

namespace orvelan {

// The drop-down of a column header's value filter: the column's distinct values, each with a
// check box, and "(Все)" to show every row again.
class ValueFilterPopup : public QFrame {
    Q_OBJECT
public:
    ValueFilterPopup(const QString &caption, const QVariantList &values, const QVariantList &checked,
                     QWidget *parent = nullptr);

    QListWidget *list() const { return m_list; }
    // Values left checked; empty means no filter.
    QVariantList checkedValues() const;

    static QString blankText() { return QStringLiteral("(Пустые)"); }
    static QString allText() { return QStringLiteral("(Все)"); }

signals:
    void applied(const QVariantList &values);

private:
    QListWidget *m_list;
    QVariantList m_values;
};

}  // namespace orvelan
