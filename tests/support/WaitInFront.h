#pragma once

#include <QGuiApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>

// Waits until window has the keyboard. QTest::qWaitForWindowActive is not
// enough: Qt counts a window as active while its transient parent is.
inline bool WaitInFront(QWidget* window) {
    return QTest::qWaitFor([window] {
        return window->isVisible() &&
               QGuiApplication::focusWindow() == window->window()->windowHandle();
    });
}
