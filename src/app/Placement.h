#pragma once

class QSize;
class QWidget;

// Puts a window in the middle of the primary screen (its current size).
void CentreOnScreen(QWidget* window);

// The wanted size of a window, made smaller where the primary screen's free
// area (less room for the title bar) cannot hold it.
QSize FitOnScreen(const QSize& wanted);
