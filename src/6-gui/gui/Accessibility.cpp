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

// Qt names a drop-down by its current entry on this platform and leaves the
// label to a relation, which not every reader follows: this one answers with
// the name the program gave it and otherwise is Qt's own.
class NamedDropDown : public QAccessibleInterface {
  public:
    explicit NamedDropDown(QAccessibleInterface* qt) : qt_(qt) {}

    bool isValid() const override { return qt_->isValid(); }
    QObject* object() const override { return qt_->object(); }
    QWindow* window() const override { return qt_->window(); }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation match) const override {
        return qt_->relations(match);
    }
    QAccessibleInterface* focusChild() const override { return qt_->focusChild(); }
    QAccessibleInterface* childAt(int x, int y) const override { return qt_->childAt(x, y); }
    QAccessibleInterface* parent() const override { return qt_->parent(); }
    QAccessibleInterface* child(int index) const override { return qt_->child(index); }
    int childCount() const override { return qt_->childCount(); }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return qt_->indexOfChild(child);
    }
    QString text(QAccessible::Text t) const override {
        const QString name = static_cast<QWidget*>(qt_->object())->accessibleName();
        return t == QAccessible::Name && !name.isEmpty() ? name : qt_->text(t);
    }
    void setText(QAccessible::Text t, const QString& text) override { qt_->setText(t, text); }
    QRect rect() const override { return qt_->rect(); }
    QAccessible::Role role() const override { return qt_->role(); }
    QAccessible::State state() const override { return qt_->state(); }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return qt_->interface_cast(type);
    }

  private:
    QAccessibleInterface* qt_;
};

bool makingQtInterface = false;

QAccessibleInterface* NamedDropDownOf(QWidget* box) {
    makingQtInterface = true;
    QAccessibleInterface* qt = QAccessible::queryAccessibleInterface(box);
    makingQtInterface = false;
    return qt ? new NamedDropDown(qt) : nullptr;
}

QAccessibleInterface* ProgramRoles(const QString& /*className*/, QObject* object) {
    if (makingQtInterface || !object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (widget->isWindow() && qstrcmp(QtBaseClass(object), "QWidget") == 0)
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (qstrcmp(QtBaseClass(object), "QComboBox") == 0)
        return NamedDropDownOf(widget);
    return nullptr;
}

}  // namespace

void InstallWindowRoles() {
    QAccessible::installFactory(ProgramRoles);
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
