#include "gui/ButtonKeys.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>

namespace {

class EnterPressesButtons : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !IsPlainEnter(static_cast<QKeyEvent*>(event)))
            return QObject::eventFilter(watched, event);
        auto* button = qobject_cast<QPushButton*>(watched);
        if (!button || !button->isEnabled() || qobject_cast<QDialog*>(button->window()))
            return QObject::eventFilter(watched, event);
        button->click();
        return true;
    }
};

EnterPressesButtons* installedFilter = nullptr;

}  // namespace

bool IsPlainEnter(const QKeyEvent* key) {
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers others = key->modifiers() & ~Qt::KeypadModifier;
    return enter && others == Qt::NoModifier && !key->isAutoRepeat();
}

void InstallEnterPressesButtons() {
    if (installedFilter || !qApp)
        return;
    installedFilter = new EnterPressesButtons(qApp);
    qApp->installEventFilter(installedFilter);
}
