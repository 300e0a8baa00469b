#include "editing/TFMLinkAddForm.h"

TFMLinkAddForm::TFMLinkAddForm(QWidget* parent) : PlaceholderForm(QStringLiteral("Add Links"), parent) {}
