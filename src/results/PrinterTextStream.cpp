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

PrinterTextStream::PrinterTextStream(QPagedPaintDevice& device)
    : device_(device), font_(ReportFont(10)) {}

PrinterTextStream::~PrinterTextStream() {
    if (open_)
        painter_.end();
}

bool PrinterTextStream::Open() {
    if (!painter_.begin(&device_)) {
        failed_ = true;
        return false;
    }
    open_ = true;
    pages_ = 1;
    y_ = 0;
    pageBreakPending_ = false;
    painter_.setFont(font_);
    return true;
}

void PrinterTextStream::SetFont(const QFont& font) {
    font_ = font;
    if (open_)
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
        if (!painter_.end())
            failed_ = true;
    }
    return !failed_;
}

void PrinterTextStream::WriteTextLine(const QString& text) {
    QString rest = text;
    while (!rest.isEmpty()) {
        if (!BeginPendingPage())
            return;
        const QFontMetrics metrics = painter_.fontMetrics();
        // A line that would reach below the printable area starts a new page
        // (unless it already stands at the top of one: it cannot fit anywhere).
        if (y_ > 0 && y_ + metrics.height() > device_.height() && !BreakPage())
            return;
        const int length = FittingLength(rest, device_.width());
        painter_.drawText(0, y_ + metrics.ascent(), rest.left(length));
        rest.remove(0, length);

        const int advance = metrics.height() + 2;
        y_ += advance;
        if (y_ > device_.height() - 2 * advance) {
            y_ = 0;
            pageBreakPending_ = true;
        }
    }
}

void PrinterTextStream::WriteEmptyLine() {
    if (!BeginPendingPage())
        return;
    y_ += painter_.fontMetrics().height();
    if (y_ > device_.height()) {
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
    if (!device_.newPage()) {
        failed_ = true;
        return false;
    }
    ++pages_;
    return true;
}

// The longest start of text that fits in width (at least one character, so
// that every line makes progress).
int PrinterTextStream::FittingLength(const QString& text, int width) const {
    const QFontMetrics metrics = painter_.fontMetrics();
    int length = static_cast<int>(text.size());
    while (length > 1 && metrics.horizontalAdvance(text.left(length)) > width)
        --length;
    return length;
}
