#include "app/PlaceholderForm.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/AppWindows.h"

PlaceholderForm::PlaceholderForm(const QString& caption, QWidget* parent) : QWidget(parent) {
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("This window is not available yet."), this));
    auto* quit = new QPushButton(tr("&Quit"), this);
    quit->setObjectName("QuitButton");
    layout->addWidget(quit);
    connect(quit, &QPushButton::clicked, this, [this] {
        hide();
        ShowMainMenu();
    });
}
