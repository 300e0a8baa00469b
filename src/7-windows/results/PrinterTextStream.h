#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QString>

class QPagedPaintDevice;

// A line-oriented text stream bound to a printer or a PDF: Open starts the
// job, every written line is drawn at the left edge of the printable area
// below the previous one, and Close ends the job and ejects the last page. The
// font can change between lines.
//
// Layout: a line with text advances by the height of its font plus two device
// units, and the next line goes on a new page when the position comes within
// two such advances of the page bottom; an empty line advances by the font
// height and breaks the page only once the position passes the bottom. A text
// line is drawn only where it fits wholly above the bottom of the printable
// area; one that would not goes to the top of a new page. A line wider than
// the page is broken at the page edge and continues on the next line. A page
// is started only when a line is written on it, so a report never ends with a
// blank page.
//
// With page numbers, the last line of the printable area of every page
// carries "page N of M" and the report's lines stay above it. M is known only
// once the report is laid out: a measuring stream (which draws nothing and
// starts no job, and keeps the last line free as a numbered stream does)
// counts the pages first.
//
// With a page range, every page is laid out and numbered as in the whole
// report, but only the pages in the range are drawn (the device's first page
// is the range's first). A preview stream draws its pages on images of the
// whole sheet instead of on the device, laid out in the device's units.
//
// A turned stream lays its lines out across upright pages, as on a page
// turned a quarter turn: the top of its lines at the sheet's left edge, their
// left at the sheet's bottom.
// Pages first to last (0: to the end).
struct PageRange {
    int first = 1;
    int last = 0;
    bool Holds(int page) const { return page >= first && (last <= 0 || page <= last); }
};

class PrinterTextStream {
  public:
    enum class Mode { Draw, Measure };
    // `pageTotal` > 0: every page is numbered out of that many.
    explicit PrinterTextStream(QPagedPaintDevice& device, Mode mode = Mode::Draw, int pageTotal = 0,
                               bool turned = false, PageRange range = {});
    ~PrinterTextStream();
    PrinterTextStream(const PrinterTextStream&) = delete;
    PrinterTextStream& operator=(const PrinterTextStream&) = delete;

    // Before Open: the pages go to `images`, each the whole sheet at `scale`
    // pixels per device unit.
    void DrawOnImages(QList<QImage>* images, double scale);
    // Starts the job; false (and Failed) when the device refuses it.
    bool Open();
    void SetFont(const QFont& font);
    // Draws one line; an empty text is an empty line. Does nothing once the
    // stream has failed.
    void WriteLine(const QString& text);
    // Ends the job; false when it failed at any point.
    bool Close();

    bool Failed() const { return failed_; }
    // Pages started so far.
    int PageCount() const { return pages_; }

  private:
    void WriteTextLine(const QString& text);
    void WriteEmptyLine();
    bool BeginPendingPage();
    bool BreakPage();
    bool StartPage();
    bool Drawing() const { return !measuring_ && range_.Holds(pages_); }
    int FittingLength(const QString& text, int width) const;
    QFontMetrics Metrics() const;
    // The height the report's lines may fill.
    int LinesHeight() const;
    void DrawPageNumber();
    // The printable area as the lines see it.
    int Width() const;
    int Height() const;
    void TurnPainter();

    QPagedPaintDevice& device_;
    const bool measuring_;
    const int pageTotal_;
    const bool turned_;
    const PageRange range_;
    QList<QImage>* images_ = nullptr;
    double scale_ = 1;
    bool painting_ = false;
    const QFont pageNumberFont_;
    QPainter painter_;
    QFont font_;
    int y_ = 0;
    int pages_ = 0;
    bool open_ = false;
    bool pageBreakPending_ = false;
    bool failed_ = false;
};

// The report font: "Monospac821 DL" where it is installed, otherwise the
// fixed-pitch font of the program, at the given size.
QFont ReportFont(int pointSize, bool bold = false);
