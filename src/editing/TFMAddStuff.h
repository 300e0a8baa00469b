#pragma once

#include "app/PlaceholderForm.h"

// Placeholder until the window is built.
class TFMAddStuff : public PlaceholderForm {
    Q_OBJECT
public:
    explicit TFMAddStuff(QWidget* parent = nullptr);
};
