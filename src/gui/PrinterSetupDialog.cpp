#include "gui/PrinterSetupDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/ProgramPrinter.h"

PrinterSetupDialog::PrinterSetupDialog(const kav::PrinterSetupChoice& choice, QWidget* parent)
    : QDialog(parent), choice_(choice) {
    setObjectName(QStringLiteral("PrinterSetupDialog1"));
    setWindowTitle(QStringLiteral("Printer Setup"));

    printerChoice_ = new QComboBox(this);
    printerChoice_->setObjectName(QStringLiteral("PrinterChoice"));
    printerChoice_->addItems(InstalledPrinters());
    printerChoice_->addItem(PdfFileChoice);
    const int current = choice.printer.empty()
                            ? -1
                            : printerChoice_->findText(QString::fromStdString(choice.printer));
    printerChoice_->setCurrentIndex(current >= 0 ? current : printerChoice_->count() - 1);
    printerNote_ = new QLabel(this);
    printerNote_->setObjectName(QStringLiteral("PrinterNote"));

    pageSummary_ = new QLabel(this);
    pageSummary_->setObjectName(QStringLiteral("PageSummary"));
    auto* pageButton = new QPushButton(QStringLiteral("&Paper and Orientation..."), this);
    pageButton->setObjectName(QStringLiteral("PageButton"));

    auto* printerBox = new QGroupBox(QStringLiteral("Printer"), this);
    auto* printerForm = new QFormLayout(printerBox);
    printerForm->addRow(QStringLiteral("&Name:"), printerChoice_);
    printerForm->addRow(QString(), printerNote_);

    auto* pageBox = new QGroupBox(QStringLiteral("Paper"), this);
    auto* pageLayout = new QVBoxLayout(pageBox);
    pageLayout->addWidget(pageSummary_);
    pageLayout->addWidget(pageButton, 0, Qt::AlignRight);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("DialogButtons"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(printerBox);
    layout->addWidget(pageBox);
    layout->addWidget(buttons);

    connect(printerChoice_, &QComboBox::currentIndexChanged, this,
            &PrinterSetupDialog::PrinterChoiceChange);
    connect(pageButton, &QPushButton::clicked, this, &PrinterSetupDialog::PageButtonClick);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    PrinterChoiceChange();
    setMinimumWidth(420);
}

kav::PrinterSetupChoice PrinterSetupDialog::Choice() const {
    kav::PrinterSetupChoice choice = choice_;
    // "PDF file" is the last entry, after the installed printers.
    const bool pdfFile = printerChoice_->currentIndex() == printerChoice_->count() - 1;
    choice.printer = pdfFile ? std::string() : printerChoice_->currentText().toStdString();
    return choice;
}

void PrinterSetupDialog::PrinterChoiceChange() {
    const kav::PrinterSetupChoice choice = Choice();
    if (choice.printer.empty()) {
        printerNote_->setText(QStringLiteral("The file's name is asked after OK."));
    } else {
        const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(choice.printer));
        printerNote_->setText(info.description().isEmpty() ? info.location() : info.description());
    }
    pageSummary_->setText(PageSummary(choice));
}

// Qt's page setup dialog, for the printer chosen above.
void PrinterSetupDialog::PageButtonClick() {
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrinter(printer, Choice());
    QPageSetupDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("PageSetupDialog"));
    // Pages per sheet and the reversed orientations are printer options that a
    // report printed with this choice would not carry: not offered.
    for (const char* ignored :
         {"pagesPerSheetButtonGroup", "reverseLandscape", "reversePortrait"}) {
        if (auto* control = dialog.findChild<QWidget*>(QLatin1String(ignored)))
            control->hide();
    }
    if (dialog.exec() != QDialog::Accepted)
        return;
    TakePageLayout(printer.pageLayout(), choice_);
    pageSummary_->setText(PageSummary(Choice()));
}
