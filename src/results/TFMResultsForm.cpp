#include "results/TFMResultsForm.h"

TFMResultsForm::TFMResultsForm(QWidget* parent) : PlaceholderForm(QStringLiteral("Results"), parent) {}
