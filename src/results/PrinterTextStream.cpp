#include "results/PrinterTextStream.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPrinter>

#include "app/GuiCommon.h"

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

PrinterTextStream::PrinterTextStream(QPrinter& printer)
    : printer_(printer), font_(ReportFont(10)) {}

PrinterTextStream::~PrinterTextStream() {
    if (open_)
        painter_.end();
}

bool PrinterTextStream::Open(const QString& jobName) {
    printer_.setDocName(jobName);
    if (!painter_.begin(&printer_)) {
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
    if (printer_.printerState() == QPrinter::Error)
        failed_ = true;
    return !failed_;
}

QString PrinterTextStream::ErrorText() const {
    if (!printer_.outputFileName().isEmpty()) {
        return QStringLiteral("The file %1 could not be written.").arg(printer_.outputFileName());
    }
    if (printer_.printerName().isEmpty())
        return QStringLiteral("There is no printer to print on.");
    return QStringLiteral("The printer %1 could not print the report.").arg(printer_.printerName());
}

void PrinterTextStream::WriteTextLine(const QString& text) {
    QString rest = text;
    while (!rest.isEmpty()) {
        if (!BeginPendingPage())
            return;
        const QFontMetrics metrics = painter_.fontMetrics();
        const int length = FittingLength(rest, printer_.width());
        painter_.drawText(0, y_ + metrics.ascent(), rest.left(length));
        rest.remove(0, length);

        const int advance = metrics.height() + 2;
        y_ += advance;
        if (y_ > printer_.height() - 2 * advance) {
            y_ = 0;
            pageBreakPending_ = true;
        }
    }
}

void PrinterTextStream::WriteEmptyLine() {
    if (!BeginPendingPage())
        return;
    y_ += painter_.fontMetrics().height();
    if (y_ > printer_.height()) {
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
    if (!printer_.newPage()) {
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
