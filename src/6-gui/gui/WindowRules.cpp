#include "gui/WindowRules.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QEvent>
#include <QPointer>
#include <QShortcutEvent>
#include <QTimer>
#include <QWidget>

#include "gui/AnchorWindow.h"

namespace {

// The window an object acts in: its own, or for an object that is no widget
// (a shortcut, a button group) the window of the widget that owns it.
QWidget* WindowOf(const QObject* object) {
    for (; object; object = object->parent()) {
        if (object->isWidgetType())
            return static_cast<const QWidget*>(object)->window();
    }
    return nullptr;
}

bool IsKeyEvent(const QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
            return true;
        default:
            return false;
    }
}

class WindowRules : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange && watched->isWidgetType()) {
            auto* window = static_cast<QWidget*>(watched);
            if (window->isWindow() && window != AnchorWindow() && window->isMinimized())
                BringBack(window);
        } else if (IsKeyEvent(event)) {
            const QWidget* window = WindowOf(watched);
            if (window && !window->isVisible()) {
                // Taken as the hidden window's own key, so that no shortcut of
                // the window now on screen acts on it either; then dropped.
                if (event->type() == QEvent::ShortcutOverride)
                    event->accept();
                return true;
            }
            if (event->type() == QEvent::Shortcut)
                return PressAtOnce(watched, static_cast<QShortcutEvent*>(event));
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    // After the window system has finished minimising, so that it takes the
    // window back rather than overriding the change.
    static void BringBack(QWidget* window) {
        QTimer::singleShot(0, window, [guarded = QPointer<QWidget>(window)] {
            if (!guarded || !guarded->isMinimized())
                return;
            guarded->setWindowState(guarded->windowState() & ~Qt::WindowMinimized);
            if (guarded->isVisible()) {
                guarded->raise();
                guarded->activateWindow();
            }
        });
    }

    // A button's accelerator clicks it now. An accelerator that several
    // controls share is left to Qt, which moves the focus between them.
    static bool PressAtOnce(QObject* watched, const QShortcutEvent* shortcut) {
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button || shortcut->isAmbiguous())
            return false;
        if (button->isEnabled())
            button->click();
        return true;
    }
};

WindowRules* installedRules = nullptr;

}  // namespace

void InstallWindowRules() {
    if (installedRules || !qApp)
        return;
    installedRules = new WindowRules(qApp);
    qApp->installEventFilter(installedRules);
}

bool ClickOfHiddenWindow(const QObject* sender) {
    if (!qobject_cast<const QAbstractButton*>(sender) && !qobject_cast<const QButtonGroup*>(sender))
        return false;
    const QWidget* window = WindowOf(sender);
    return window && !window->isVisible();
}
