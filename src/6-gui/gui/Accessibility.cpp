#include "gui/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QLabel>
#include <QWidget>

QString PlainCaption(const QString& caption) {
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype k = 0; k < caption.size(); ++k) {
        if (caption[k] == QLatin1Char('&') && k + 1 < caption.size())
            ++k;
        plain += caption[k];
    }
    return plain;
}

void NameByLabel(QLabel* label, QWidget* control) {
    label->setBuddy(control);
    control->setAccessibleName(PlainCaption(label->text()));
}

void ReadInOrder(std::initializer_list<QWidget*> widgets) {
    for (QWidget* widget : widgets)
        widget->raise();
}

namespace {

// The first class of the Qt library the object is built on.
const char* QtBaseClass(const QObject* object) {
    const QMetaObject* meta = object->metaObject();
    while (meta && meta->superClass() && qstrncmp(meta->className(), "Q", 1) != 0)
        meta = meta->superClass();
    return meta ? meta->className() : "";
}

QAccessibleInterface* WindowRole(const QString& /*className*/, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (!widget->isWindow() || qstrcmp(QtBaseClass(object), "QWidget") != 0)
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

}  // namespace

void InstallWindowRoles() {
    QAccessible::installFactory(WindowRole);
}

void AnnounceText(QWidget* widget, const QString& text) {
    widget->setAccessibleName(text);
    if (QWidget* focused = QApplication::focusWidget(); focused && focused != widget)
        focused->setAccessibleDescription(text);
}

SpokenLines::SpokenLines(Spoken spoken, QObject* parent)
    : QStringListModel(parent), spoken_(std::move(spoken)) {}

QVariant SpokenLines::data(const QModelIndex& index, int role) const {
    if (role == Qt::AccessibleTextRole && index.isValid()) {
        const QString spoken = spoken_(index.row());
        if (!spoken.isEmpty())
            return spoken;
        role = Qt::DisplayRole;
    }
    return QStringListModel::data(index, role);
}
