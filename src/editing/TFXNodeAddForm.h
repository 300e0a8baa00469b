#pragma once

#include "app/PlaceholderForm.h"

// Placeholder until the window is built.
class TFXNodeAddForm : public PlaceholderForm {
    Q_OBJECT
public:
    explicit TFXNodeAddForm(QWidget* parent = nullptr);
};
