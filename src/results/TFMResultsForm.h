#pragma once

#include "app/PlaceholderForm.h"

// Placeholder until the window is built.
class TFMResultsForm : public PlaceholderForm {
    Q_OBJECT
public:
    explicit TFMResultsForm(QWidget* parent = nullptr);
};
