#pragma once

#include <QtTest/qtestspontaneevent.h>
#include <QApplication>
#include <QCloseEvent>

// Asks a window to close as the window system does (its close box, Alt+F4):
// with a spontaneous close event. True when the window agreed to close.
inline bool WindowSystemClose(QWidget* window) {
    QCloseEvent close;
    QSpontaneKeyEvent::setSpontaneous(&close);
    // notify, unlike sendEvent, keeps the event spontaneous.
    QApplication::instance()->notify(window, &close);
    return close.isAccepted();
}
