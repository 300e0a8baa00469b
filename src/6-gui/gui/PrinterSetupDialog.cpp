#include "gui/PrinterSetupDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/PrintQueues.h"
#include "gui/ProgramPrinter.h"

PrinterSetupDialog::PrinterSetupDialog(const kav::PrinterSetupChoice& choice, QWidget* parent)
    : QDialog(parent), choice_(choice) {
    setObjectName(QStringLiteral("PrinterSetupDialog1"));
    setWindowTitle(QStringLiteral("Printer Setup"));

    printerChoice_ = new QComboBox(this);
    printerChoice_->setObjectName(QStringLiteral("PrinterChoice"));
    const PrintQueues queues = ListPrintQueues();
    installed_ = queues.names;
    unreachable_ = queues.reachable ? QString() : queues.problem;
    printerChoice_->addItems(installed_);
    // A printer chosen before that is gone stays shown as the choice, so that
    // the user sees what the report was meant for.
    const QString chosen = QString::fromStdString(choice.printer);
    if (!chosen.isEmpty() && !installed_.contains(chosen))
        printerChoice_->addItem(chosen);
    printerChoice_->addItem(PdfFileChoice);
    const int current = chosen.isEmpty() ? -1 : printerChoice_->findText(chosen);
    printerChoice_->setCurrentIndex(current >= 0 ? current : printerChoice_->count() - 1);
    printerNote_ = new QLabel(this);
    printerNote_->setObjectName(QStringLiteral("PrinterNote"));
    printerNote_->setWordWrap(true);

    pageSummary_ = new QLabel(this);
    pageSummary_->setObjectName(QStringLiteral("PageSummary"));
    pageSummary_->setWordWrap(true);
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
    const QString printer = QString::fromStdString(choice.printer);
    if (choice.printer.empty()) {
        printerNote_->setText(QStringLiteral("The file's name is asked after OK."));
    } else if (!unreachable_.isEmpty()) {
        printerNote_->setText(
            QStringLiteral("This printer cannot be used (%1).").arg(unreachable_));
    } else if (!installed_.contains(printer)) {
        printerNote_->setText(QStringLiteral("This printer is no longer installed."));
    } else {
        const QPrinterInfo info = QPrinterInfo::printerInfo(printer);
        printerNote_->setText(info.description().isEmpty() ? info.location() : info.description());
    }
    ShowPageSummary();
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
    const QMarginsF shown = printer.pageLayout().margins(QPageLayout::Millimeter);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::optional<std::array<double, 4>> wanted = choice_.margins;
    QPageLayout after = printer.pageLayout();
    TakePageLayout(after, choice_);
    after.setUnits(QPageLayout::Millimeter);
    choice_.margins = MarginsSetInPageSetup(wanted, shown, after.margins(), after.minimumMargins());
    ShowPageSummary();
}

// The summary names the paper a report would be printed on: without one
// chosen, the printer's default.
void PrinterSetupDialog::ShowPageSummary() {
    kav::PrinterSetupChoice choice = Choice();
    if (choice.paperName.empty() && installed_.contains(QString::fromStdString(choice.printer))) {
        const QPageSize paper =
            QPrinterInfo::printerInfo(QString::fromStdString(choice.printer)).defaultPageSize();
        if (paper.isValid()) {
            const QSizeF size = paper.size(QPageSize::Millimeter);
            choice.paperName = paper.name().toStdString();
            choice.paperWidth = size.width();
            choice.paperHeight = size.height();
        }
    }
    pageSummary_->setText(PageSummary(choice, PrinterMinimumMargins(choice)));
}
