#include "gui/AnchorWindow.h"

#include <QPointer>
#include <QWidget>

namespace {

// Cleared by itself when the window is destroyed.
QPointer<QWidget>& Anchor() {
    static QPointer<QWidget> anchor;
    return anchor;
}

}  // namespace

void SetAnchorWindow(QWidget* window) {
    Anchor() = window;
}

QWidget* AnchorWindow() {
    return Anchor().data();
}
