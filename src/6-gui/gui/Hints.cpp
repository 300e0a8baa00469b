#include "gui/Hints.h"

#include <QApplication>
#include <QEvent>
#include <QToolTip>

namespace {

bool hintsShown = true;

// Swallows every tool-tip request while hints are off.
class HintSwitch : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ToolTip && !hintsShown)
            return true;
        return QObject::eventFilter(watched, event);
    }
};

HintSwitch* installedSwitch = nullptr;

}  // namespace

bool HintsShown() {
    return hintsShown;
}

void SetHintsShown(bool shown) {
    hintsShown = shown;
    if (!shown)
        QToolTip::hideText();
}

void InstallHintSwitch() {
    if (installedSwitch || !qApp)
        return;
    installedSwitch = new HintSwitch(qApp);
    qApp->installEventFilter(installedSwitch);
}
