#include "editing/EditingWidgets.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/GuiCommon.h"

bool IsCharacterKey(const QKeyEvent* event) {
    if (event->modifiers() & (Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (event->key()) {
        case Qt::Key_Backspace:
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Delete:
            return false;
        default:
            return !event->text().isEmpty();
    }
}

bool IsNumberFieldKey(const QKeyEvent* event) {
    if (event->key() == Qt::Key_Backspace)
        return true;
    const QString text = event->text();
    if (text.size() != 1)
        return false;
    const QChar c = text.front();
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') ||
           c == QLatin1Char('-') || c == QChar(8);
}

bool IsFieldExit(const QEvent* event) {
    if (event->type() != QEvent::FocusOut)
        return false;
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

void RefuseWindowClose(QCloseEvent* event) {
    if (event->spontaneous())
        event->ignore();
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    button->setAutoDefault(false);
    return button;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, QWidget* buddy,
                  bool bold) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    if (buddy)
        label->setBuddy(buddy);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

QLineEdit* MakeField(QWidget* parent, const char* name, const QString& hint) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setToolTip(hint);
    return field;
}

QListWidget* MakeFixedPitchList(QWidget* parent, const char* name, const QString& hint) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setToolTip(hint);
    list->setFont(FixedPitchFont());
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setUniformItemSizes(true);
    return list;
}

int SelectedNumber(const QListWidget* list) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? 0 : list->row(selected.front()) + 1;
}
