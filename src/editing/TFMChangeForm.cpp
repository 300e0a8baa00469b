#include "editing/TFMChangeForm.h"

TFMChangeForm::TFMChangeForm(QWidget* parent) : PlaceholderForm(QStringLiteral("Change Links"), parent) {}
