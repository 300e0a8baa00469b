#include "app/Placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void CentreOnScreen(QWidget* window) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

QSize FitOnScreen(const QSize& wanted) {
    // Room the window system's title bar and borders take around a window.
    constexpr int FrameAllowance = 40;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return wanted;
    const QSize room =
        screen->availableGeometry().size() - QSize(FrameAllowance / 2, FrameAllowance);
    return wanted.boundedTo(room);
}
