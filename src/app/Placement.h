#pragma once

class QWidget;

// Puts a window in the middle of the primary screen (its current size).
void CentreOnScreen(QWidget* window);
