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
                                     bool turned)
    : device_(device),
      measuring_(mode == Mode::Measure),
      pageTotal_(pageTotal),
      turned_(turned),
      pageNumberFont_(ReportFont(10)),
      font_(ReportFont(10)) {}

PrinterTextStream::~PrinterTextStream() {
    if (open_)
        painter_.end();
}

bool PrinterTextStream::Open() {
    if (!measuring_ && !painter_.begin(&device_)) {
        failed_ = true;
        return false;
    }
    open_ = true;
    pages_ = 1;
    y_ = 0;
    pageBreakPending_ = false;
    if (!measuring_) {
        painter_.setFont(font_);
        TurnPainter();
    }
    DrawPageNumber();
    return true;
}

int PrinterTextStream::Width() const {
    return turned_ ? device_.height() : device_.width();
}

int PrinterTextStream::Height() const {
    return turned_ ? device_.width() : device_.height();
}

// The lines' left edge on the sheet's bottom, their top on its left.
void PrinterTextStream::TurnPainter() {
    if (!turned_)
        return;
    painter_.resetTransform();
    painter_.translate(0, device_.height());
    painter_.rotate(-90);
}

void PrinterTextStream::SetFont(const QFont& font) {
    font_ = font;
    if (open_ && !measuring_)
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
    if (measuring_ || pageTotal_ <= 0)
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

bool PrinterTextStream::Close() {
    if (open_) {
        open_ = false;
        if (!measuring_ && !painter_.end())
            failed_ = true;
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
        if (!measuring_)
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
    if (!measuring_ && !device_.newPage()) {
        failed_ = true;
        return false;
    }
    if (!measuring_)
        TurnPainter();
    ++pages_;
    DrawPageNumber();
    return true;
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
