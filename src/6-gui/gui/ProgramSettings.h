#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// What the program keeps across runs, in one file in the user's configuration
// folder (kavrilon/kavrilon.ini): the last folder of a file dialog, the
// problems loaded or saved last, and the sizes of the results, picture and
// Step Through windows. A file that is missing, unreadable or unwritable
// gives what a first run has and is not an error.

// The folder the last file dialog ended in, when it still exists.
QString LastFolder();
void RememberFolder(const QString& folder);

// Node files and DIMACS files loaded or saved, the latest first, at most
// RecentLimit, those that still exist.
constexpr int RecentLimit = 8;
QStringList RecentProblems();
void RememberProblem(const QString& file);

// window opens at the size it had when it was last hidden (kept on screen),
// in this run or an earlier one.
void RememberSize(QWidget* window);
