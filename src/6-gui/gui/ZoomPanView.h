#pragma once

#include <QGraphicsView>
#include <QPoint>
#include <QRectF>

// A picture that zooms and pans the same way wherever one is shown. The
// wheel zooms about the pointer, + and - about the middle; 0, F and a
// double-click show the picture whole again; a drag from anywhere, over an
// item too, moves it, and a click without movement selects what is under it.
// One rule bounds it: the scale goes from the whole picture in the view up to
// MostScale pixels a point (or the whole picture, where that is larger), and
// the picture cannot be moved out of the view. A picture shown whole stays
// whole as the view is resized.
class ZoomPanView : public QGraphicsView {
  public:
    static constexpr double ZoomStep = 1.25;
    static constexpr double MostScale = 16.0;  // the largest PNG scale

    explicit ZoomPanView(QWidget* parent = nullptr);

    // The picture's bounds, kept whole in the view while it is shown whole.
    void SetPictureBounds(const QRectF& bounds);
    // Zooms about a point of the viewport (by default its middle).
    void Zoom(double factor);
    void ZoomAbout(double factor, const QPoint& viewPoint);
    // The whole picture in the view.
    void Fit();
    // Natural size about centre, where the whole picture is too small to read.
    void ReadableAround(const QPointF& centre);
    double Scale() const { return transform().m11(); }
    double FitScale() const;
    bool Fitting() const { return fitting_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void SelectAt(const QPoint& at);

    bool fitting_ = true;
    bool pressed_ = false;
    bool panning_ = false;
    QPoint pressAt_;
    QPoint lastAt_;
};
