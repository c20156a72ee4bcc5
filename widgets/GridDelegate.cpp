#include "GridDelegate.h"

#include "Dataset.h"
#include "DatasetModel.h"
#include "Messages.h"

#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>

namespace orvelan {

namespace {

// The date editor's lowest date stands for "no date" and shows blank.
const QDate kNoDate(100, 1, 1);

// A date editor that can also be emptied: Delete or Backspace over the whole text leaves no date.
class DateEditor : public QDateEdit {
public:
    explicit DateEditor(QWidget *parent) : QDateEdit(parent) {}

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        const bool erase = event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace;
        if (erase && (lineEdit()->selectedText() == lineEdit()->text() || date() == minimumDate())) {
            setDate(minimumDate());
            event->accept();
            return;
        }
        // Digits typed into an empty date start from today's date, day first.
        if (date() == minimumDate() && !event->text().isEmpty() && event->text()[0].isDigit()) {
            setDate(QDate::currentDate());
            setSelectedSection(QDateTimeEdit::DaySection);
        }
        QDateEdit::keyPressEvent(event);
    }
};

QVariant keyOfRow(DatasetModel *model, int modelRow, const QString &lookupField)
{
    Dataset *ds = model->dataset();
    const LookupDef *l = ds->lookupDef(lookupField);
    if (!l)
        return {};
    const int keyColumn = ds->fieldIndex(l->keyField);
    const int row = model->datasetRow(modelRow);
    if (row < 0 || (row == ds->recNo() && ds->state() == Dataset::State::Edit))
        return ds->value(keyColumn);
    return ds->rowValue(row, keyColumn);
}

}  // namespace

GridDelegate::GridDelegate(DatasetModel *model, QObject *parent) : QStyledItemDelegate(parent), m_model(model) {}

QWidget *GridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    const GridColumn &c = m_model->column(index.column());
    const FieldDef *def = m_model->dataset()->fieldDef(c.field);
    QWidget *editor = nullptr;
    switch (c.editor) {
    case EditorKind::Text: {
        auto *line = new QLineEdit(parent);
        if (def && def->kind == FieldKind::Text && def->width > 0)
            line->setMaxLength(def->width);
        editor = line;
        break;
    }
    case EditorKind::Date: {
        auto *date = new DateEditor(parent);
        date->setCalendarPopup(true);
        date->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        date->setMinimumDate(kNoDate);
        date->setSpecialValueText(QStringLiteral(" "));
        editor = date;
        break;
    }
    case EditorKind::PickList: {
        auto *combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr);  // typed text stays as typed
        combo->setMaxVisibleItems(kPickListRows);
        combo->addItems(c.pickList);
        if (def && def->width > 0)
            combo->lineEdit()->setMaxLength(def->width);
        editor = combo;
        break;
    }
    case EditorKind::Lookup: {
        auto *combo = new QComboBox(parent);
        combo->setEditable(false);  // typing jumps to a matching entry; only entries are taken
        combo->setMaxVisibleItems(kPickListRows);
        try {
            for (const LookupEntry &e : m_model->dataset()->lookupEntries(c.field))
                combo->addItem(e.text, e.key);
        } catch (const std::exception &e) {
            showErrorBox(parent, errorMessage(e));
        }
        editor = combo;
        break;
    }
    }
    editor->setObjectName(QStringLiteral("editor_") + c.field);
    editor->setAccessibleName(c.caption);
    return editor;
}

void GridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const GridColumn &c = m_model->column(index.column());
    const QVariant v = m_model->fieldValue(index.row(), index.column());
    switch (c.editor) {
    case EditorKind::Text:
        static_cast<QLineEdit *>(editor)->setText(cellText(v));
        break;
    case EditorKind::Date: {
        auto *date = static_cast<QDateEdit *>(editor);
        date->setDate(v.typeId() == QMetaType::QDate ? v.toDate() : kNoDate);
        date->setSelectedSection(QDateTimeEdit::DaySection);
        break;
    }
    case EditorKind::PickList:
        static_cast<QComboBox *>(editor)->setEditText(cellText(v));
        break;
    case EditorKind::Lookup: {
        auto *combo = static_cast<QComboBox *>(editor);
        const QString key = cellText(keyOfRow(m_model, index.row(), c.field));
        int at = -1;
        for (int i = 0; i < combo->count() && !key.isEmpty(); ++i)
            if (combo->itemData(i).toString() == key) {
                at = i;
                break;
            }
        combo->setCurrentIndex(at);
        break;
    }
    }
}

void GridDelegate::setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &index) const
{
    // Showing an error takes the focus from the editor, which asks to commit again.
    if (m_committing)
        return;
    const GridColumn &c = m_model->column(index.column());
    QVariant value;
    bool changed = false;
    switch (c.editor) {
    case EditorKind::Text:
        value = static_cast<QLineEdit *>(editor)->text();
        changed = value.toString() != cellText(m_model->fieldValue(index.row(), index.column()));
        break;
    case EditorKind::Date: {
        const QDate d = static_cast<QDateEdit *>(editor)->date();
        value = d == kNoDate ? QVariant() : QVariant(d);
        const QVariant old = m_model->fieldValue(index.row(), index.column());
        changed = value.isNull() ? !old.isNull() : old.toDate() != d;
        break;
    }
    case EditorKind::PickList:
        value = static_cast<QComboBox *>(editor)->currentText();
        changed = value.toString() != cellText(m_model->fieldValue(index.row(), index.column()));
        break;
    case EditorKind::Lookup: {
        auto *combo = static_cast<QComboBox *>(editor);
        if (combo->currentIndex() < 0)
            return;
        value = combo->currentData();
        changed = cellText(value) != cellText(keyOfRow(m_model, index.row(), c.field));
        break;
    }
    }
    if (!changed)
        return;
    m_committing = true;
    runReportingErrors(editor, [&] { m_model->setData(index, value, Qt::EditRole); });
    m_committing = false;
}

void GridDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &) const
{
    QRect r = option.rect;
    // A combo needs the height of one line of text, whatever the row's height.
    if (qobject_cast<QComboBox *>(editor) || qobject_cast<QDateEdit *>(editor))
        r.setHeight(std::max(r.height(), editor->sizeHint().height()));
    editor->setGeometry(r);
}

}  // namespace orvelan
