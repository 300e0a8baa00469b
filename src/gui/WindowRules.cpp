#include "gui/WindowRules.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "gui/AnchorWindow.h"

namespace {

class NoMinimising : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::WindowStateChange && watched->isWidgetType()) {
            auto* window = static_cast<QWidget*>(watched);
            if (window->isWindow() && window != AnchorWindow() && window->isMinimized())
                BringBack(window);
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
};

NoMinimising* installedRules = nullptr;

}  // namespace

void InstallWindowRules() {
    if (installedRules || !qApp)
        return;
    installedRules = new NoMinimising(qApp);
    qApp->installEventFilter(installedRules);
}
