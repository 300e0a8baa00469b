#include "gui/PrinterSetupDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPageSize>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <array>

#include "gui/ProgramPrinter.h"

namespace {

// The papers offered besides the printer's own default.
const std::array<QPageSize::PageSizeId, 7> Papers = {
    QPageSize::A4, QPageSize::Letter, QPageSize::Legal,    QPageSize::A3,
    QPageSize::A5, QPageSize::B5,     QPageSize::Executive};

const QString PrintersDefaultPaper = QStringLiteral("The printer's default");

// The sides a printer may offer, as the dialog names them.
const std::array<std::pair<const char*, const char*>, 3> SideNames = {{
    {"one-sided", "One-sided"},
    {"two-sided-long-edge", "Two-sided, long edge"},
    {"two-sided-short-edge", "Two-sided, short edge"},
}};

QSpinBox* NewSpinBox(const QString& name, int minimum, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(name);
    box->setRange(minimum, 9999);
    return box;
}

// The page dialog: paper, orientation and margins, the program's own (Qt's
// works only on its own view of the print system).
class PageDialog : public QDialog {
  public:
    PageDialog(const kav::PrinterSetupChoice& choice, QWidget* parent) : QDialog(parent) {
        setObjectName(QStringLiteral("PageSetupDialog"));
        setWindowTitle(QStringLiteral("Page Setup"));
        paper_ = new QComboBox(this);
        paper_->setObjectName(QStringLiteral("PaperChoice"));
        if (!choice.printer.empty())
            paper_->addItem(PrintersDefaultPaper);
        for (QPageSize::PageSizeId id : Papers)
            paper_->addItem(QPageSize::name(id), static_cast<int>(id));
        const int chosen = paper_->findText(QString::fromStdString(choice.paperName));
        paper_->setCurrentIndex(std::max(chosen, 0));
        portrait_ = new QRadioButton(QStringLiteral("P&ortrait"), this);
        landscape_ = new QRadioButton(QStringLiteral("&Landscape"), this);
        portrait_->setObjectName(QStringLiteral("Portrait"));
        landscape_->setObjectName(QStringLiteral("Landscape"));
        (choice.landscape ? landscape_ : portrait_)->setChecked(true);

        auto* form = new QFormLayout;
        form->addRow(QStringLiteral("&Paper:"), paper_);
        auto* turns = new QVBoxLayout;
        turns->addWidget(portrait_);
        turns->addWidget(landscape_);
        form->addRow(QStringLiteral("Orientation:"), turns);
        const auto wanted = choice.margins.value_or(std::array<double, 4>{
            DefaultMarginMm, DefaultMarginMm, DefaultMarginMm, DefaultMarginMm});
        const char* const labels[] = {"L&eft:", "&Top:", "&Right:", "&Bottom:"};
        const char* const names[] = {"MarginLeft", "MarginTop", "MarginRight", "MarginBottom"};
        for (std::size_t side = 0; side < 4; ++side) {
            margins_[side] = new QDoubleSpinBox(this);
            margins_[side]->setObjectName(QLatin1String(names[side]));
            margins_[side]->setRange(0, 100);
            margins_[side]->setDecimals(1);
            margins_[side]->setSuffix(QStringLiteral(" mm"));
            margins_[side]->setValue(wanted[side]);
            shown_[side] = margins_[side]->value();
            form->addRow(QLatin1String(labels[side]), margins_[side]);
        }
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        auto* layout = new QVBoxLayout(this);
        layout->addLayout(form);
        layout->addWidget(buttons);
    }

    // Takes what the dialog shows into the choice; the margins only when the
    // user changed one of them (else the report's defaults stay).
    void Take(kav::PrinterSetupChoice& choice) const {
        if (paper_->currentText() == PrintersDefaultPaper) {
            choice.paperName.clear();
            choice.paperWidth = choice.paperHeight = 0;
        } else {
            const QPageSize paper(
                static_cast<QPageSize::PageSizeId>(paper_->currentData().toInt()));
            const QSizeF size = paper.size(QPageSize::Millimeter);
            choice.paperName = paper.name().toStdString();
            choice.paperWidth = size.width();
            choice.paperHeight = size.height();
        }
        choice.landscape = landscape_->isChecked();
        std::array<double, 4> now{};
        bool changed = false;
        for (std::size_t side = 0; side < 4; ++side) {
            now[side] = margins_[side]->value();
            changed = changed || now[side] != shown_[side];
        }
        if (changed)
            choice.margins = now;
    }

  private:
    QComboBox* paper_ = nullptr;
    QRadioButton* portrait_ = nullptr;
    QRadioButton* landscape_ = nullptr;
    std::array<QDoubleSpinBox*, 4> margins_{};
    std::array<double, 4> shown_{};
};

}  // namespace

QString QueueStateNote(const PrintQueue& queue) {
    QStringList notes;
    const QString why = queue.why.isEmpty() ? QString() : QStringLiteral(": ") + queue.why;
    if (queue.paused)
        notes << QStringLiteral("Paused") + why;
    if (queue.refusing)
        notes << QStringLiteral("Refuses jobs") + (queue.paused ? QString() : why);
    return notes.join(QStringLiteral("; "));
}

PrinterSetupDialog::PrinterSetupDialog(const kav::PrinterSetupChoice& choice, QWidget* parent,
                                       kav::PagePreview preview)
    : QDialog(parent), choice_(choice), preview_(std::move(preview)), queues_(ListPrintQueues()) {
    setObjectName(QStringLiteral("PrinterSetupDialog1"));
    setWindowTitle(QStringLiteral("Printer Setup"));

    printerChoice_ = new QComboBox(this);
    printerChoice_->setObjectName(QStringLiteral("PrinterChoice"));
    printerChoice_->addItems(queues_.names);
    // A printer chosen before that is gone stays shown as the choice, so that
    // the user sees what the report was meant for.
    const QString chosen = QString::fromStdString(choice.printer);
    if (!chosen.isEmpty() && !queues_.names.contains(chosen))
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

    copies_ = NewSpinBox(QStringLiteral("Copies"), 1, this);
    copies_->setAccessibleName(QStringLiteral("Copies:"));
    sides_ = new QComboBox(this);
    sides_->setObjectName(QStringLiteral("Sides"));
    sides_->setAccessibleName(QStringLiteral("Two-sided:"));
    firstPage_ = NewSpinBox(QStringLiteral("FirstPage"), 1, this);
    firstPage_->setAccessibleName(QStringLiteral("Pages from:"));
    firstPage_->setValue(choice.firstPage);
    lastPage_ = NewSpinBox(QStringLiteral("LastPage"), 0, this);
    lastPage_->setAccessibleName(QStringLiteral("to:"));
    lastPage_->setSpecialValueText(QStringLiteral("the last"));
    lastPage_->setValue(choice.lastPage);

    auto* printerBox = new QGroupBox(QStringLiteral("Printer"), this);
    auto* printerForm = new QFormLayout(printerBox);
    printerForm->addRow(QStringLiteral("&Name:"), printerChoice_);
    printerForm->addRow(QString(), printerNote_);

    auto* pageBox = new QGroupBox(QStringLiteral("Paper"), this);
    auto* pageLayout = new QVBoxLayout(pageBox);
    pageLayout->addWidget(pageSummary_);
    pageLayout->addWidget(pageButton, 0, Qt::AlignRight);

    auto* copiesBox = new QGroupBox(QStringLiteral("Copies and pages"), this);
    auto* copiesForm = new QFormLayout(copiesBox);
    copiesForm->addRow(QStringLiteral("Cop&ies:"), copies_);
    copiesForm->addRow(QStringLiteral("Two-&sided:"), sides_);
    auto* range = new QHBoxLayout;
    auto* toLabel = new QLabel(QStringLiteral("&to:"), this);
    toLabel->setBuddy(lastPage_);
    range->addWidget(firstPage_);
    range->addWidget(toLabel);
    range->addWidget(lastPage_);
    copiesForm->addRow(QStringLiteral("Pages &from:"), range);
    qobject_cast<QLabel*>(copiesForm->labelForField(range))->setBuddy(firstPage_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("DialogButtons"));
    auto* previewButton = new QPushButton(QStringLiteral("Pre&view..."), this);
    previewButton->setObjectName(QStringLiteral("PreviewButton"));
    previewButton->setAccessibleName(QStringLiteral("Preview..."));
    previewButton->setEnabled(static_cast<bool>(preview_));
    previewButton->setToolTip(preview_
                                  ? QStringLiteral("Show the report's pages as they will print")
                                  : QStringLiteral("Preview from the window that prints"));
    buttons->addButton(previewButton, QDialogButtonBox::ActionRole);
    connect(previewButton, &QPushButton::clicked, this, [this] { preview_(Choice()); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(printerBox);
    layout->addWidget(pageBox);
    layout->addWidget(copiesBox);
    layout->addWidget(buttons);

    connect(printerChoice_, &QComboBox::currentIndexChanged, this,
            &PrinterSetupDialog::PrinterChoiceChange);
    connect(pageButton, &QPushButton::clicked, this, &PrinterSetupDialog::PageButtonClick);
    connect(copies_, &QSpinBox::valueChanged, this, &PrinterSetupDialog::JobChoiceChange);
    connect(sides_, &QComboBox::currentIndexChanged, this, &PrinterSetupDialog::JobChoiceChange);
    connect(firstPage_, &QSpinBox::valueChanged, this, &PrinterSetupDialog::PageRangeChange);
    connect(lastPage_, &QSpinBox::valueChanged, this, &PrinterSetupDialog::PageRangeChange);
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
    choice.firstPage = firstPage_->value();
    choice.lastPage = lastPage_->value();
    return choice;
}

// What the user sets is held for the printer shown, over its saved options.
void PrinterSetupDialog::JobChoiceChange() {
    const std::string printer = Choice().printer;
    if (printer.empty())
        return;
    kav::JobChoice& job = choice_.jobs[printer];
    job.copies = copies_->value();
    job.sides = sides_->currentData().toString().toStdString();
}

// The range stays in order: the end follows a start moved past it, and the
// start an end moved before it.
void PrinterSetupDialog::PageRangeChange() {
    const QSignalBlocker first(firstPage_), last(lastPage_);
    if (lastPage_->value() > 0 && lastPage_->value() < firstPage_->value()) {
        if (sender() == firstPage_)
            lastPage_->setValue(firstPage_->value());
        else
            firstPage_->setValue(lastPage_->value());
    }
}

// Copies and sides as chosen in this run for the printer, else as the user
// saved them for it; neither for a PDF file, sides only where offered.
void PrinterSetupDialog::ShowJobChoices(const PrinterPage& page) {
    const QSignalBlocker blockCopies(copies_), blockSides(sides_);
    const kav::PrinterSetupChoice choice = Choice();
    const auto chosen = choice_.jobs.find(choice.printer);
    const bool changed = chosen != choice_.jobs.end();
    const int copies = changed ? chosen->second.copies : page.queue.savedCopies;
    const QString sides =
        changed ? QString::fromStdString(chosen->second.sides) : page.queue.savedSides;
    copies_->setValue(std::max(copies, 1));
    copies_->setEnabled(!choice.printer.empty());
    sides_->clear();
    for (const auto& [keyword, name] : SideNames) {
        if (page.queue.sidesSupported.contains(QLatin1String(keyword)))
            sides_->addItem(QLatin1String(name), QLatin1String(keyword));
    }
    if (sides_->count() == 0)
        sides_->addItem(QLatin1String(SideNames[0].second), QLatin1String(SideNames[0].first));
    sides_->setCurrentIndex(std::max(sides_->findData(sides), 0));
    sides_->setEnabled(sides_->count() > 1);
}

void PrinterSetupDialog::PrinterChoiceChange() {
    const kav::PrinterSetupChoice choice = Choice();
    const PrintQueue* queue = queues_.Find(QString::fromStdString(choice.printer));
    if (choice.printer.empty()) {
        printerNote_->setText(QStringLiteral("The file's name is asked after OK."));
    } else if (!queues_.reachable()) {
        printerNote_->setText(QStringLiteral("This printer cannot be used (%1).")
                                  .arg(queues_.trouble.cancelled
                                           ? QStringLiteral("the print system was not asked")
                                           : queues_.trouble.problem));
    } else if (!queue) {
        printerNote_->setText(QStringLiteral("This printer is no longer installed."));
    } else {
        QStringList note;
        if (!queue->description.isEmpty())
            note << queue->description;
        if (!QueueStateNote(*queue).isEmpty())
            note << QueueStateNote(*queue);
        printerNote_->setText(note.join(QLatin1Char('\n')));
    }
    ShowPageSummary();
}

void PrinterSetupDialog::PageButtonClick() {
    PageDialog dialog(Choice(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    dialog.Take(choice_);
    ShowPageSummary();
}

// The summary names the paper a report would be printed on: without one
// chosen, the printer's default, and its margins within what it can print.
void PrinterSetupDialog::ShowPageSummary() {
    const kav::PrinterSetupChoice choice = Choice();
    if (choice.printer.empty() || !queues_.Find(QString::fromStdString(choice.printer))) {
        pageSummary_->setText(PageSummary(choice, {}));
        ShowJobChoices({});
        return;
    }
    const PrinterPage page = PageOnPrinter(choice);
    pageSummary_->setText(page.queue.trouble.Any() ? PageSummary(choice, {})
                                                   : PageSummary(page.page, page.minimum));
    ShowJobChoices(page);
}
