#include "gui/FocusFrame.h"

#include <QApplication>
#include <QColor>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <cmath>

namespace {

const QString RingName = QStringLiteral("FocusFrame");

double Linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour) {
    return 0.2126 * Linear(colour.redF()) + 0.7152 * Linear(colour.greenF()) +
           0.0722 * Linear(colour.blueF());
}

// The colour that shows around control: that of the nearest container that
// paints its background, or of the window.
QColor BackgroundAround(const QWidget* control) {
    const QWidget* container = control->parentWidget();
    while (container && !container->isWindow() && !container->autoFillBackground())
        container = container->parentWidget();
    if (!container)
        container = control;
    return container->palette().color(container->backgroundRole());
}

// The frame itself: a child of the focused control's window, on top of its
// other children, shaped as a ring so that the control stays uncovered and
// clicks pass through.
class Ring : public QWidget {
  public:
    explicit Ring(QWidget* window) : QWidget(window) {
        setObjectName(RingName);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

    void Surround(QWidget* control) {
        const QRect inner(control->mapTo(parentWidget(), QPoint(0, 0)), control->size());
        const QRect outer =
            inner.adjusted(-FocusFrameWidth, -FocusFrameWidth, FocusFrameWidth, FocusFrameWidth);
        setGeometry(outer);
        setMask(QRegion(rect()).subtracted(QRegion(inner.translated(-outer.topLeft()))));
        colour_ = FocusFrameColour(BackgroundAround(control));
        raise();
        show();
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), colour_); }

  private:
    QColor colour_;
};

// Follows the application's focus from control to control.
class FocusFrames : public QObject {
  public:
    explicit FocusFrames(QApplication* app) : QObject(app) {
        connect(app, &QApplication::focusChanged, this, &FocusFrames::Follow);
    }

  protected:
    // The focused control moved, was resized, hidden or shown, or its window
    // was resized (which may move the control with its container).
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == focused_ || (focused_ && watched == focused_->window())) {
            switch (event->type()) {
                case QEvent::Move:
                case QEvent::Resize:
                case QEvent::Show:
                case QEvent::Hide:
                    Place();
                    break;
                default:
                    break;
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    void Follow(QWidget* /*old*/, QWidget* now) {
        if (focused_) {
            focused_->removeEventFilter(this);
            focused_->window()->removeEventFilter(this);
        }
        focused_ = now && !now->isWindow() ? now : nullptr;
        // A focus that moved to another window leaves the last one unframed.
        if (ring_ && (!focused_ || ring_->window() != focused_->window()))
            ring_->hide();
        if (focused_) {
            focused_->installEventFilter(this);
            focused_->window()->installEventFilter(this);
        }
        Place();
    }

    void Place() {
        if (!focused_)
            return;
        if (!focused_->isVisible()) {
            if (ring_)
                ring_->hide();
            return;
        }
        QWidget* window = focused_->window();
        // One frame per window, made the first time a control there has focus.
        auto* ring =
            static_cast<Ring*>(window->findChild<QWidget*>(RingName, Qt::FindDirectChildrenOnly));
        if (!ring)
            ring = new Ring(window);
        ring_ = ring;
        ring->Surround(focused_);
    }

    QPointer<QWidget> focused_;
    QPointer<Ring> ring_;
};

FocusFrames* installedFrames = nullptr;

}  // namespace

QColor FocusFrameColour(const QColor& background) {
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
}

double ContrastRatio(const QColor& first, const QColor& second) {
    const double a = Luminance(first) + 0.05;
    const double b = Luminance(second) + 0.05;
    return a > b ? a / b : b / a;
}

void InstallFocusFrames() {
    if (installedFrames || !qApp)
        return;
    installedFrames = new FocusFrames(qobject_cast<QApplication*>(qApp));
}
