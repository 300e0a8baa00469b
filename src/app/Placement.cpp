#include "app/Placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <functional>

#include "app/AppWindows.h"

namespace {

// The room a window system's title bar and borders take, for a window whose
// frame has not been seen yet and no other program window's either.
const QMargins UnknownFrame(4, 30, 4, 4);

QMargins FrameMargins(const QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

// The frame the window system will put around window: its own when it has
// been on screen, otherwise that of the main menu, which is on screen first.
QMargins ExpectedFrame(const QWidget* window) {
    const QMargins own = FrameMargins(window);
    if (!own.isNull())
        return own;
    if (const QWidget* menu = TheWindows().mainMenu; menu && menu != window) {
        const QMargins menus = FrameMargins(menu);
        if (!menus.isNull())
            return menus;
    }
    return QGuiApplication::platformName() == QLatin1String("offscreen") ? QMargins()
                                                                          : UnknownFrame;
}

QRect AvailableArea(const QWidget* near) {
    const QScreen* screen = near ? near->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// Moves window so that its frame's centre is at centre, kept on screen.
void MoveFrameTo(QWidget* window, const QPoint& centre, const QWidget* near) {
    const QRect area = AvailableArea(near);
    if (area.isEmpty())
        return;
    const QSize frame = window->size().grownBy(ExpectedFrame(window));
    window->move(PlacedFrame(frame, centre, area).topLeft());
}

// Runs place each time the program (not the window system) shows window.
class PlaceOnShow : public QObject {
  public:
    PlaceOnShow(QWidget* window, std::function<void()> place)
        : QObject(window), place_(std::move(place)) {
        window->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && !event->spontaneous())
            place_();
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void()> place_;
};

}  // namespace

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

QRect PlacedFrame(const QSize& frame, const QPoint& centre, const QRect& area) {
    QRect placed(QPoint(0, 0), frame);
    placed.moveCenter(centre);
    // Right and bottom edges first, so that for a frame larger than the area
    // the left and top edges win.
    placed.moveRight(std::min(placed.right(), area.right()));
    placed.moveBottom(std::min(placed.bottom(), area.bottom()));
    placed.moveLeft(std::max(placed.left(), area.left()));
    placed.moveTop(std::max(placed.top(), area.top()));
    return placed;
}

void PlaceOverMainMenu(QWidget* window) {
    new PlaceOnShow(window, [window] {
        const QWidget* menu = TheWindows().mainMenu;
        if (!menu || menu == window)
            return;
        MoveFrameTo(window, menu->frameGeometry().center(), menu);
    });
}

void PlaceBelowTitleOf(QWidget* window, const QWidget* opener) {
    const QPointer<const QWidget> guarded(opener);
    new PlaceOnShow(window, [window, guarded] {
        if (!guarded)
            return;
        // The window's frame starts a little below where the opener's title
        // bar ends, centred across the opener.
        constexpr int Gap = 6;
        const QRect below = guarded->geometry();
        const int frameHeight = window->height() + ExpectedFrame(window).top() +
                                ExpectedFrame(window).bottom();
        const QPoint centre(below.center().x(), below.top() + Gap + frameHeight / 2);
        MoveFrameTo(window, centre, guarded);
    });
}
