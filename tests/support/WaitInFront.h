#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

// Waits until window has the keyboard. QTest::qWaitForWindowActive is not
// enough: Qt counts a window as active while its transient parent is.
inline bool WaitInFront(QWidget* window) {
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window->window(); });
}
