#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string>
#include <vector>

#include "workspace/FileChoice.h"

class QAbstractItemView;
class QCloseEvent;
class QPushButton;
class QWidget;

namespace kav {
class Prompts;
struct Workspace;
}  // namespace kav

// The classic sixteen-colour names the windows are painted with.
namespace Colours {
inline const QColor Navy{0x00, 0x00, 0x80};
inline const QColor Purple{0x80, 0x00, 0x80};
inline const QColor Lime{0x00, 0xFF, 0x00};
inline const QColor Yellow{0xFF, 0xFF, 0x00};
inline const QColor Fuchsia{0xFF, 0x00, 0xFF};
inline const QColor Aqua{0x00, 0xFF, 0xFF};
inline const QColor Silver{0xC0, 0xC0, 0xC0};
inline const QColor Red{0xFF, 0x00, 0x00};
inline const QColor White{0xFF, 0xFF, 0xFF};
inline const QColor Black{0x00, 0x00, 0x00};
inline const QColor Maroon{0x80, 0x00, 0x00};
inline const QColor Green{0x00, 0x80, 0x00};
inline const QColor Olive{0x80, 0x80, 0x00};
inline const QColor Teal{0x00, 0x80, 0x80};
inline const QColor Blue{0x00, 0x00, 0xFF};
inline const QColor Gray{0x80, 0x80, 0x80};
}  // namespace Colours

// Courier where it is installed, otherwise the system's fixed-pitch font.
QFont FixedPitchFont(int pointSize = 10, bool bold = false);

// Fills the widget's background with colour.
void PaintBackground(QWidget* widget, const QColor& colour);

// Sets the colour of a widget's text (labels, list items).
void PaintText(QWidget* widget, const QColor& colour);

// Legend entries (rich text) that wrap as a whole: words, and a colour
// sample with its words.
QString Unbroken(QString text);
QString LegendSwatch(const QColor& colour, const QString& text);

// Node names are bytes; windows show them as Latin-1.
QString FromBytes(const std::string& bytes);
std::string ToBytes(const QString& text);

// A file name (the file system's bytes) as the user reads it.
QString ShownFileName(const std::string& fileName);

// What the windows write through kav::ChooseFileToWrite: the dialog, the
// problem's own files (protectedFiles) refused, names shown as the user reads
// them.
kav::FileToWrite WindowFileToWrite(const std::vector<std::string>& protectedFiles,
                                   const kav::FileDialogRequest& dialog);

// True when no file has this name or the user agrees to replace it; one of
// protectedFiles is refused with a message (false).
bool MayWriteFile(kav::Prompts& prompts, const std::vector<std::string>& protectedFiles,
                  const std::string& fileName);

// A push button with its object name and tool tip.
QPushButton* NewButton(const QString& caption, const QString& hint, const QString& name,
                       QWidget* parent);

// A window with no title-bar buttons (no close, minimise or maximise).
void RemoveTitleBarButtons(QWidget* window);

// Shows a window and paints it before returning. The window system may take a
// few round trips to put the window on screen, so this waits for that (a
// second at most); user input is left for later.
void ShowAndPaintNow(QWidget* window);

// Shown and exposed by the window system.
bool IsOnScreen(const QWidget* window);

// Refuses a close asked by the window system (Alt+F4 on a window without a
// close box) with the plain message beep, so that the user knows it was
// refused; the window's own buttons close it.
void RefuseWindowSystemClose(QCloseEvent* event, kav::Prompts& prompts);

// A list with uniform item sizes takes the width of every line from one of
// them, so longer lines could not be scrolled to. This makes every line as
// wide as the longest one of the list's model (set the model first).
void SizeLinesByLongest(QAbstractItemView* list);
