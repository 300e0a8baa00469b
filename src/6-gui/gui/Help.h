#pragma once

#include <QString>

class QTextDocument;
class QWidget;

// The guide's chapter heading that explains the window named objectName (a
// top-level window's object name); the guide's title for any other window.
QString HelpChapterFor(const QString& objectName);

// The position of the heading whose text is heading in a rendered document,
// or -1 when it has none.
int HeadingPosition(const QTextDocument& document, const QString& heading);

// F1 in any window of the program opens the guide (built into the program)
// at the chapter for that window, in one Help window kept with that window.
// Call once the QApplication exists; calling it again does nothing.
void InstallHelpKey();

// Opens the Help window over window at the chapter for it; the Help window.
QWidget* ShowHelpFor(QWidget* window);
