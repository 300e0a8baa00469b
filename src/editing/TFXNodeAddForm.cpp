#include "editing/TFXNodeAddForm.h"

TFXNodeAddForm::TFXNodeAddForm(QWidget* parent) : PlaceholderForm(QStringLiteral("Add Nodes"), parent) {}
