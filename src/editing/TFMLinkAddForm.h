#pragma once

#include "app/PlaceholderForm.h"

// Placeholder until the window is built.
class TFMLinkAddForm : public PlaceholderForm {
    Q_OBJECT
public:
    explicit TFMLinkAddForm(QWidget* parent = nullptr);
};
