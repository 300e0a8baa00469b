#include "results/PrinterTextStream.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPagedPaintDevice>

#include "gui/GuiCommon.h"

namespace {
const QString ReportFontFamily = QStringLiteral("Monospac821 DL");
}

QFont ReportFont(int pointSize, bool bold) {
    if (!QFontDatabase::hasFamily(ReportFontFamily))
        return FixedPitchFont(pointSize, bold);
    QFont font(ReportFontFamily, pointSize);
    font.setStyleHint(QFont::TypeWriter);
    font.setBold(bold);
    return font;
}

PrinterTextStream::PrinterTextStream(QPagedPaintDevice& device, Mode mode, int pageTotal,
                                     bool turned, PageRange range)
    : device_(device),
      measuring_(mode == Mode::Measure),
      pageTotal_(pageTotal),
      turned_(turned),
      range_(range),
      pageNumberFont_(ReportFont(10)),
      font_(ReportFont(10)) {}

PrinterTextStream::~PrinterTextStream() {
    if (painting_)
        painter_.end();
}

void PrinterTextStream::DrawOnImages(QList<QImage>* images, double scale) {
    images_ = images;
    scale_ = scale;
}

bool PrinterTextStream::Open() {
    open_ = true;
    pages_ = 1;
    y_ = 0;
    pageBreakPending_ = false;
    return StartPage();
}

// Page pages_ begins: drawn only within the range, on the device's first page
// (begun with the painter) or a new one, or on an image of its own.
bool PrinterTextStream::StartPage() {
    if (!Drawing())
        return true;
    bool started = true;
    if (images_) {
        if (painting_)
            painter_.end();
        const QRect sheet = device_.pageLayout().fullRectPixels(device_.logicalDpiX());
        images_->append(QImage((QSizeF(sheet.size()) * scale_).toSize(), QImage::Format_RGB32));
        QImage& image = images_->last();
        // The fonts' sizes as on the device, whose units the layout is in.
        image.setDotsPerMeterX(qRound(device_.logicalDpiX() / 0.0254));
        image.setDotsPerMeterY(qRound(device_.logicalDpiY() / 0.0254));
        image.fill(Qt::white);
        started = painter_.begin(&image);
    } else {
        started = painting_ ? device_.newPage() : painter_.begin(&device_);
    }
    if (!started) {
        failed_ = true;
        return false;
    }
    painting_ = true;
    painter_.setFont(font_);
    TurnPainter();
    DrawPageNumber();
    return true;
}

int PrinterTextStream::Width() const {
    return turned_ ? device_.height() : device_.width();
}

int PrinterTextStream::Height() const {
    return turned_ ? device_.width() : device_.height();
}

// The lines' left edge on the sheet's bottom, their top on its left. On an
// image, the printable area's corner is placed where it lies on the sheet.
void PrinterTextStream::TurnPainter() {
    painter_.resetTransform();
    if (images_) {
        const QRect inside = device_.pageLayout().paintRectPixels(device_.logicalDpiX());
        painter_.scale(scale_, scale_);
        painter_.translate(inside.topLeft());
    }
    if (!turned_)
        return;
    painter_.translate(0, device_.height());
    painter_.rotate(-90);
}

void PrinterTextStream::SetFont(const QFont& font) {
    font_ = font;
    if (painting_)
        painter_.setFont(font_);
}

// The metrics of the current font on the device, the same whether the stream
// draws or measures.
QFontMetrics PrinterTextStream::Metrics() const {
    return QFontMetrics(font_, &device_);
}

// A measuring stream counts pages for numbering, so it keeps the numbers' line.
int PrinterTextStream::LinesHeight() const {
    if (!measuring_ && pageTotal_ <= 0)
        return Height();
    return Height() - QFontMetrics(pageNumberFont_, &device_).height() - 2;
}

void PrinterTextStream::DrawPageNumber() {
    if (!Drawing() || pageTotal_ <= 0)
        return;
    const QFontMetrics metrics(pageNumberFont_, &device_);
    painter_.setFont(pageNumberFont_);
    painter_.drawText(0, Height() - metrics.height() + metrics.ascent(),
                      QStringLiteral("page %1 of %2").arg(pages_).arg(pageTotal_));
    painter_.setFont(font_);
}

void PrinterTextStream::WriteLine(const QString& text) {
    if (!open_ || failed_)
        return;
    if (text.isEmpty()) {
        WriteEmptyLine();
    } else {
        WriteTextLine(text);
    }
}

// A drawing stream that drew no page (its range lies past the report's end)
// has failed.
bool PrinterTextStream::Close() {
    if (open_) {
        open_ = false;
        if (!measuring_ && !painting_)
            failed_ = true;
        if (painting_ && !painter_.end())
            failed_ = true;
        painting_ = false;
    }
    return !failed_;
}

void PrinterTextStream::WriteTextLine(const QString& text) {
    QString rest = text;
    while (!rest.isEmpty()) {
        if (!BeginPendingPage())
            return;
        const QFontMetrics metrics = Metrics();
        // A line that would reach below the printable area starts a new page
        // (unless it already stands at the top of one: it cannot fit anywhere).
        if (y_ > 0 && y_ + metrics.height() > LinesHeight() && !BreakPage())
            return;
        const int length = FittingLength(rest, Width());
        if (Drawing())
            painter_.drawText(0, y_ + metrics.ascent(), rest.left(length));
        rest.remove(0, length);

        const int advance = metrics.height() + 2;
        y_ += advance;
        if (y_ > LinesHeight() - 2 * advance) {
            y_ = 0;
            pageBreakPending_ = true;
        }
    }
}

void PrinterTextStream::WriteEmptyLine() {
    if (!BeginPendingPage())
        return;
    y_ += Metrics().height();
    if (y_ > LinesHeight()) {
        y_ = 0;
        pageBreakPending_ = true;
    }
}

// The page break that the last line asked for is made only now that there is
// something to put on the new page.
bool PrinterTextStream::BeginPendingPage() {
    if (!pageBreakPending_)
        return true;
    pageBreakPending_ = false;
    return BreakPage();
}

bool PrinterTextStream::BreakPage() {
    y_ = 0;
    ++pages_;
    return StartPage();
}

// The longest start of text that fits in width (at least one character, so
// that every line makes progress).
int PrinterTextStream::FittingLength(const QString& text, int width) const {
    const QFontMetrics metrics = Metrics();
    int length = static_cast<int>(text.size());
    while (length > 1 && metrics.horizontalAdvance(text.left(length)) > width)
        --length;
    return length;
}
