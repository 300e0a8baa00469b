#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <algorithm>
#include <tuple>

// One line of text as pdftotext found it: the words and the box around them,
// in points from the page's top left corner.
struct PdfLine {
    int page = 0;
    QString text;
    double left = 1e9, top = 1e9, right = 0, bottom = 0;
};

struct PdfPages {
    double width = 0, height = 0;
    QList<PdfLine> lines;
};

// Reads a PDF's words and their boxes (pdftotext -bbox): with `words`, every
// word as it comes; otherwise the words of one baseline joined into a line,
// from the top of the first page down.
inline PdfPages ReadPdf(const QString& file, bool words = false) {
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-bbox", file, "-"});
    pdftotext.waitForFinished(30000);
    const QString html = QString::fromUtf8(pdftotext.readAllStandardOutput());
    static const QRegularExpression item(
        R"re(<page width="([\d.]+)" height="([\d.]+)">|<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    PdfPages pages;
    QList<PdfLine> found;
    int page = 0;
    for (const QRegularExpressionMatch& match : item.globalMatch(html)) {
        if (!match.captured(1).isEmpty()) {
            pages.width = match.captured(1).toDouble();
            pages.height = match.captured(2).toDouble();
            ++page;
            continue;
        }
        found.append(PdfLine{page, match.captured(7), match.captured(3).toDouble(),
                             match.captured(4).toDouble(), match.captured(5).toDouble(),
                             match.captured(6).toDouble()});
    }
    if (words) {
        pages.lines = found;
        return pages;
    }
    std::sort(found.begin(), found.end(), [](const PdfLine& a, const PdfLine& b) {
        return std::tie(a.page, a.top, a.left) < std::tie(b.page, b.top, b.left);
    });
    for (const PdfLine& word : found) {
        if (pages.lines.isEmpty() || pages.lines.last().page != word.page ||
            word.top - pages.lines.last().top > 0.5) {
            pages.lines.append(word);
            continue;
        }
        PdfLine& line = pages.lines.last();
        line.text += " " + word.text;
        line.right = qMax(line.right, word.right);
        line.bottom = qMax(line.bottom, word.bottom);
    }
    return pages;
}
