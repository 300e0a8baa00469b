#include "gui/ZoomPanView.h"

#include <QApplication>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {

constexpr double ReadableScale = 0.6;
constexpr double NaturalScale = 1.0;
// fitInView leaves this many pixels on every side.
constexpr int FitMargin = 2;

}  // namespace

ZoomPanView::ZoomPanView(QWidget* parent) : QGraphicsView(parent) {}

void ZoomPanView::SetPictureBounds(const QRectF& bounds) {
    setSceneRect(bounds);
    if (fitting_ || Scale() < FitScale())
        Fit();
}

double ZoomPanView::FitScale() const {
    const QRectF bounds = sceneRect();
    if (bounds.isEmpty())
        return NaturalScale;
    const QRectF room =
        QRectF(viewport()->rect()).adjusted(FitMargin, FitMargin, -FitMargin, -FitMargin);
    return std::min(room.width() / bounds.width(), room.height() / bounds.height());
}

void ZoomPanView::Fit() {
    fitting_ = true;
    if (!sceneRect().isEmpty())
        fitInView(sceneRect(), Qt::KeepAspectRatio);
}

void ZoomPanView::Zoom(double factor) {
    ZoomAbout(factor, viewport()->rect().center());
}

// The point under viewPoint stays there, as far as the picture's edges let it.
void ZoomPanView::ZoomAbout(double factor, const QPoint& viewPoint) {
    const double fit = FitScale();
    const double scale = std::clamp(Scale() * factor, fit, std::max(fit, MostScale));
    if (scale <= fit) {
        Fit();
        return;
    }
    fitting_ = false;
    const QPointF under = mapToScene(viewPoint);
    setTransform(QTransform::fromScale(scale, scale));
    const QPoint moved = mapFromScene(under) - viewPoint;
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + moved.x());
    verticalScrollBar()->setValue(verticalScrollBar()->value() + moved.y());
}

void ZoomPanView::ReadableAround(const QPointF& centre) {
    if (Scale() >= ReadableScale)
        return;
    fitting_ = false;
    setTransform(QTransform::fromScale(NaturalScale, NaturalScale));
    centerOn(centre);
}

void ZoomPanView::resizeEvent(QResizeEvent* event) {
    QGraphicsView::resizeEvent(event);
    if (fitting_ || Scale() < FitScale())
        Fit();
}

void ZoomPanView::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0)
        return;
    ZoomAbout(std::pow(ZoomStep, steps), event->position().toPoint());
    event->accept();
}

void ZoomPanView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            Zoom(ZoomStep);
            return;
        case Qt::Key_Minus:
            Zoom(1.0 / ZoomStep);
            return;
        case Qt::Key_0:
        case Qt::Key_F:
            Fit();
            return;
        default:
            QGraphicsView::keyPressEvent(event);
    }
}

void ZoomPanView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QGraphicsView::mousePressEvent(event);
        return;
    }
    pressed_ = true;
    panning_ = false;
    pressAt_ = lastAt_ = event->position().toPoint();
    event->accept();
}

void ZoomPanView::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_) {
        QGraphicsView::mouseMoveEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    if (!panning_ && (at - pressAt_).manhattanLength() >= QApplication::startDragDistance()) {
        panning_ = true;
        viewport()->setCursor(Qt::ClosedHandCursor);
    }
    if (panning_) {
        const QPoint moved = at - lastAt_;
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - moved.x());
        verticalScrollBar()->setValue(verticalScrollBar()->value() - moved.y());
    }
    lastAt_ = at;
    event->accept();
}

void ZoomPanView::mouseReleaseEvent(QMouseEvent* event) {
    if (!pressed_ || event->button() != Qt::LeftButton) {
        QGraphicsView::mouseReleaseEvent(event);
        return;
    }
    pressed_ = false;
    event->accept();
    if (panning_) {
        panning_ = false;
        viewport()->unsetCursor();
        return;
    }
    SelectAt(event->position().toPoint());
}

void ZoomPanView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QGraphicsView::mouseDoubleClickEvent(event);
        return;
    }
    event->accept();
    Fit();
}

void ZoomPanView::SelectAt(const QPoint& at) {
    if (scene() == nullptr)
        return;
    QGraphicsItem* item = itemAt(at);
    if (item != nullptr && item->isSelected())
        return;
    scene()->clearSelection();
    if (item != nullptr && (item->flags() & QGraphicsItem::ItemIsSelectable))
        item->setSelected(true);
}
