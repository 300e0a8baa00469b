#include "gui/Placement.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <functional>

#include "gui/AnchorWindow.h"

namespace {

// The room a window system's title bar and borders take, until the frame of a
// window on screen has been seen.
const QMargins UnknownFrame(4, 30, 4, 4);

// The frame the window system puts around window: its own once it has been on
// screen; before that, the largest frame seen around any window of the program
// (resizable windows may get a wider bottom edge than fixed ones), so that the
// window is not placed partly off screen.
QMargins WindowFrame(const QWidget* window) {
    static QMargins largest;
    if (window && window->windowHandle()) {
        const QMargins own = window->windowHandle()->frameMargins();
        if (!own.isNull())
            return own;
    }
    for (const QWidget* shown : QApplication::topLevelWidgets()) {
        if (!shown->isVisible() || !shown->windowHandle() || shown->windowType() != Qt::Window)
            continue;
        const QMargins margins = shown->windowHandle()->frameMargins();
        largest = QMargins(std::max(largest.left(), margins.left()),
                           std::max(largest.top(), margins.top()),
                           std::max(largest.right(), margins.right()),
                           std::max(largest.bottom(), margins.bottom()));
    }
    if (!largest.isNull())
        return largest;
    return QGuiApplication::platformName() == QLatin1String("offscreen") ? QMargins()
                                                                         : UnknownFrame;
}

QRect AvailableArea(const QWidget* near) {
    const QScreen* screen = near ? near->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// Puts window, with its frame, centred at centre and on screen. The inside is
// what is positioned: before a window has been on screen, the window system
// does not know its frame yet and would take a frame position as the inside's.
void MoveFrameTo(QWidget* window, const QPoint& centre, const QWidget* near) {
    if (!ProgramPlacesWindows())
        return;
    const QRect area = AvailableArea(near);
    if (area.isEmpty())
        return;
    const QMargins frame = WindowFrame(window);
    const QRect placed = PlacedFrame(window->size().grownBy(frame), centre, area);
    window->setGeometry(placed.marginsRemoved(frame));
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

bool InTransientChainOf(const QWindow* candidate, const QWindow* window) {
    for (const QWindow* w = candidate; w; w = w->transientParent()) {
        if (w == window)
            return true;
    }
    return false;
}

// Chooses window's transient parent among the windows on screen, leaving out
// leaving (a window being hidden).
class TransientKeeper : public QObject {
  public:
    TransientKeeper(QWidget* window, const QWidget* opener)
        : QObject(window), window_(window), opener_(opener) {
        window->installEventFilter(this);
    }

    void Choose(const QWidget* leaving = nullptr) {
        QWindow* own = window_->windowHandle();
        // The main menu is the root the others are kept with.
        if (!own || window_ == AnchorWindow())
            return;
        QWindow* parent = nullptr;
        for (const QWidget* candidate :
             {opener_.data(), static_cast<const QWidget*>(AnchorWindow())}) {
            if (Suits(candidate, leaving)) {
                parent = candidate->windowHandle();
                break;
            }
        }
        if (own->transientParent() != parent)
            own->setTransientParent(parent);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && !event->spontaneous())
            Choose();
        else if (event->type() == QEvent::Hide && !event->spontaneous())
            MoveChildrenOff();
        return QObject::eventFilter(watched, event);
    }

  private:
    bool Suits(const QWidget* candidate, const QWidget* leaving) const {
        return candidate && candidate != window_ && candidate != leaving &&
               candidate->isVisible() && candidate->windowHandle() &&
               !InTransientChainOf(candidate->windowHandle(), window_->windowHandle());
    }

    // The windows kept with this one, now hidden, find another.
    void MoveChildrenOff() {
        for (QWidget* shown : QApplication::topLevelWidgets()) {
            if (!shown->isVisible() || !shown->windowHandle() ||
                shown->windowHandle()->transientParent() != window_->windowHandle())
                continue;
            for (QObject* child : shown->children()) {
                if (auto* keeper = dynamic_cast<TransientKeeper*>(child))
                    keeper->Choose(window_);
            }
        }
    }

    QWidget* window_;
    QPointer<const QWidget> opener_;
};

}  // namespace

void KeepWithOpener(QWidget* window, const QWidget* opener) {
    new TransientKeeper(window, opener);
}

bool ProgramPlacesWindows() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void CentreOnScreen(QWidget* window) {
    MoveFrameTo(window, AvailableArea(nullptr).center(), nullptr);
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
        const QWidget* menu = AnchorWindow();
        if (!menu || menu == window)
            return;
        MoveFrameTo(window, menu->geometry().marginsAdded(WindowFrame(menu)).center(), menu);
    });
}

void PlaceBelowTitleOf(QWidget* window, const QWidget* opener) {
    const QPointer<const QWidget> guarded(opener);
    new PlaceOnShow(window, [window, guarded] {
        if (!guarded)
            return;
        // The window's frame starts a little below the opener's title bar,
        // which ends where the opener's inside begins, centred across it.
        constexpr int Gap = 6;
        const QRect inside = guarded->geometry();
        const QMargins frame = WindowFrame(window);
        const int frameHeight = window->height() + frame.top() + frame.bottom();
        const QPoint centre(inside.center().x(), inside.top() + Gap + frameHeight / 2);
        MoveFrameTo(window, centre, guarded);
    });
}

QRect FrameBeside(const QSize& wanted, int least, const QRect& other, const QRect& area,
                  BesideFallback fallback) {
    const int height = std::min(wanted.height(), area.height());
    const int top = std::clamp(other.top(), area.top(), area.bottom() + 1 - height);
    const int rightRoom = area.right() - other.right();
    const int leftRoom = other.left() - area.left();
    if (rightRoom >= least)
        return QRect(other.right() + 1, top, std::min(wanted.width(), rightRoom), height);
    if (leftRoom >= least) {
        const int width = std::min(wanted.width(), leftRoom);
        return QRect(other.left() - width, top, width, height);
    }
    if (fallback == BesideFallback::RoomierSide) {
        const int width = std::min(area.width(), least);
        return leftRoom > rightRoom ? QRect(area.left(), top, width, height)
                                    : QRect(area.right() + 1 - width, top, width, height);
    }
    // Over other, against the screen's right edge, leaving at least two fifths
    // of the screen (or what the least width leaves) on the left.
    const int width =
        std::min({wanted.width(), area.width(), std::max(least, area.width() * 3 / 5)});
    return QRect(area.right() + 1 - width, top, width, height);
}

void PlaceBeside(QWidget* window, const QWidget* other, BesideFallback fallback) {
    if (!ProgramPlacesWindows())
        return;
    if (other == nullptr || !other->isVisible()) {
        CentreOnScreen(window);
        return;
    }
    const QRect area = AvailableArea(other);
    if (area.isEmpty())
        return;
    const QMargins frame = WindowFrame(window);
    const int least = window->minimumSizeHint().width() + frame.left() + frame.right();
    const QRect placed =
        FrameBeside(window->size().grownBy(frame), least,
                    other->geometry().marginsAdded(WindowFrame(other)), area, fallback);
    window->setGeometry(placed.marginsRemoved(frame));
}
