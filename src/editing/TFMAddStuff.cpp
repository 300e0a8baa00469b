#include "editing/TFMAddStuff.h"

TFMAddStuff::TFMAddStuff(QWidget* parent) : PlaceholderForm(QStringLiteral("Add Nodes or Links"), parent) {}
