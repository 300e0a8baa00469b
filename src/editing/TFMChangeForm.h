#pragma once

#include "app/PlaceholderForm.h"

// Placeholder until the window is built.
class TFMChangeForm : public PlaceholderForm {
    Q_OBJECT
public:
    explicit TFMChangeForm(QWidget* parent = nullptr);
};
