#include "results/TFMWhatIf.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "editing/TryChange.h"
#include "gui/ConnectGuarded.h"
#include "gui/GuiCommon.h"
#include "results/ResultLines.h"
#include "solver/Session.h"
#include "workspace/FileChoice.h"
#include "workspace/NumberFormat.h"
#include "workspace/ProblemWriter.h"

namespace {

const char* const Columns[] = {"Link",     "Origin",    "Destination", "Cost",     "Flow",
                               "Cost low", "Cost high", "Upper +1",    "Upper -1", "Lower +1",
                               "Lower -1", "Flow +1",   "Flow -1"};

// An item that sorts by a number, not by its text; blanks (unlimited or no
// figure) sort after every number.
class NumberItem : public QTableWidgetItem {
  public:
    NumberItem(const QString& text, double key) : QTableWidgetItem(text) {
        setData(Qt::UserRole, key);
        setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    bool operator<(const QTableWidgetItem& other) const override {
        return data(Qt::UserRole).toDouble() < other.data(Qt::UserRole).toDouble();
    }
};

constexpr double Last = 1e300;

QTableWidgetItem* Number(int64_t value) {
    return new NumberItem(QString::number(value), static_cast<double>(value));
}
QTableWidgetItem* End(const std::optional<int64_t>& end) {
    return end ? Number(*end) : new NumberItem(QStringLiteral("unlimited"), Last);
}
QTableWidgetItem* Figure(const kav::BoundValue& value) {
    using Kind = kav::BoundValue::Kind;
    if (value.kind == Kind::NotPossible)
        return new NumberItem(QString(), Last);
    if (value.kind == Kind::Infeasible)
        return new NumberItem(QStringLiteral("infeasible"), Last / 2);
    const QString units =
        value.units ? QStringLiteral(" (%1 units)").arg(*value.units) : QStringLiteral(" (any)");
    return new NumberItem(QString::number(value.change) + units, static_cast<double>(value.change));
}

QString Plain(QString caption) {
    return caption.remove(QLatin1Char('&'));
}

template <class Control>
Control* Named(Control* control, const QString& label) {
    control->setAccessibleName(Plain(label));
    return control;
}

}  // namespace

TFMWhatIf::TFMWhatIf(kav::Session& session, QWidget* parent) : QWidget(parent), session_(session) {
    setWindowTitle(QStringLiteral("What If"));
    shownOnly_ = Named(new QCheckBox(QStringLiteral("&Only the links the results show"), this),
                       QStringLiteral("&Only the links the results show"));
    table_ = Named(new QTableWidget(this), QStringLiteral("Links"));
    table_->setColumnCount(static_cast<int>(std::size(Columns)));
    QStringList headings;
    for (const char* column : Columns)
        headings << QString::fromLatin1(column);
    table_->setHorizontalHeaderLabels(headings);
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sentence_ = Named(new QLabel(this), QStringLiteral("Explanation"));
    sentence_->setWordWrap(true);
    sentence_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* fieldLabel = new QLabel(QStringLiteral("C&hange"), this);
    field_ = Named(new QComboBox(this), QStringLiteral("C&hange"));
    field_->addItems({QStringLiteral("Unit cost"), QStringLiteral("Upper bound"),
                      QStringLiteral("Lower bound")});
    fieldLabel->setBuddy(field_);
    auto* valueLabel = new QLabel(QStringLiteral("&Value"), this);
    value_ = Named(new QLineEdit(this), QStringLiteral("&Value"));
    valueLabel->setBuddy(value_);
    tryButton_ = Named(NewButton(QStringLiteral("&Try..."),
                                 QStringLiteral("Solve a copy with this value; nothing changes"),
                                 QStringLiteral("TryButton"), this),
                       QStringLiteral("&Try..."));
    applyButton_ = Named(NewButton(QStringLiteral("&Apply"),
                                   QStringLiteral("Make this change and run the algorithm"),
                                   QStringLiteral("ApplyButton"), this),
                         QStringLiteral("&Apply"));
    exportButton_ =
        Named(NewButton(QStringLiteral("&Export CSV..."), QStringLiteral("Write the table as CSV"),
                        QStringLiteral("ExportButton"), this),
              QStringLiteral("&Export CSV..."));
    closeButton_ = Named(NewButton(QStringLiteral("C&lose"), QStringLiteral("Close this window"),
                                   QStringLiteral("CloseButton"), this),
                         QStringLiteral("C&lose"));
    tryResult_ = Named(new QLabel(this), QStringLiteral("Try result"));
    tryResult_->setWordWrap(true);
    tryFlows_ = Named(new QListWidget(this), QStringLiteral("Flows that change"));
    busy_ = Named(new QProgressBar(this), QStringLiteral("Computing the table"));
    busy_->setRange(0, 0);
    busy_->setFormat(QStringLiteral("Computing the table..."));
    busy_->setTextVisible(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(shownOnly_);
    layout->addWidget(busy_);
    layout->addWidget(table_, 3);
    layout->addWidget(sentence_);
    auto* tryRow = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{fieldLabel, field_, valueLabel, value_,
                                                      tryButton_, applyButton_})
        tryRow->addWidget(w);
    layout->addLayout(tryRow);
    layout->addWidget(tryResult_);
    layout->addWidget(tryFlows_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(exportButton_);
    buttons->addWidget(closeButton_);
    layout->addLayout(buttons);
    resize(1000, 640);

    kav::Prompts& prompts = session_.prompts();
    ConnectGuarded(prompts, shownOnly_, &QCheckBox::toggled, this, &TFMWhatIf::FilterRows);
    ConnectGuarded(prompts, table_, &QTableWidget::itemSelectionChanged, this,
                   &TFMWhatIf::SelectionChanged);
    ConnectGuarded(prompts, tryButton_, &QPushButton::clicked, this, &TFMWhatIf::TryClick);
    ConnectGuarded(prompts, applyButton_, &QPushButton::clicked, this, &TFMWhatIf::ApplyClick);
    ConnectGuarded(prompts, exportButton_, &QPushButton::clicked, this, &TFMWhatIf::ExportClick);
    ConnectGuarded(prompts, closeButton_, &QPushButton::clicked, this, &QWidget::hide);
}

TFMWhatIf::~TFMWhatIf() {
    if (running_ != nullptr)
        running_->wait();
}

void TFMWhatIf::ShowFor(const std::vector<int32_t>& listed, int32_t selected) {
    listed_ = listed;
    preselected_ = selected;
    tryResult_->clear();
    tryFlows_->clear();
    show();
    raise();
    Compute();
}

// The figures are computed on a copy of the flows and potentials, on a
// thread of their own, so that the window stays responsive; a newer request
// makes an older result stale.
void TFMWhatIf::Compute() {
    figures_.clear();
    table_->setRowCount(0);
    const kav::SolutionState solution = kav::CurrentSolution(session_);
    std::optional<kav::OptimalSolution> optimal =
        solution.Feasible() ? kav::OptimalSolutionOf(session_.ws) : std::nullopt;
    if (!optimal) {
        busy_->hide();
        sentence_->setText(QStringLiteral("There is no current optimal solution to explain."));
        return;
    }
    busy_->show();
    sentence_->clear();
    const uint64_t generation = ++generation_;
    auto result = std::make_shared<std::vector<kav::LinkSensitivity>>();
    if (running_ != nullptr)
        running_->wait();
    running_ = QThread::create(
        [input = std::move(*optimal), result] { *result = kav::SensitivityTable(input); });
    QThread* thread = running_;
    connect(thread, &QThread::finished, this, [this, thread, result, generation] {
        if (running_ == thread)
            running_ = nullptr;
        thread->deleteLater();
        if (generation != generation_)
            return;
        figures_ = std::move(*result);
        busy_->hide();
        Fill();
    });
    thread->start();
}

void TFMWhatIf::Fill() {
    const kav::Workspace& ws = session_.ws;
    table_->setSortingEnabled(false);
    table_->setRowCount(static_cast<int>(figures_.size()));
    for (std::size_t row = 0; row < figures_.size(); ++row) {
        const kav::LinkSensitivity& f = figures_[row];
        const int32_t k = f.link;
        const int r = static_cast<int>(row);
        table_->setItem(r, 0, Number(k));
        table_->setItem(
            r, 1, new QTableWidgetItem(QString::fromLatin1(ws.NodeName[ws.LinkOrigin[k]].c_str())));
        table_->setItem(
            r, 2, new QTableWidgetItem(QString::fromLatin1(ws.NodeName[ws.LinkDest[k]].c_str())));
        table_->setItem(r, 3, Number(ws.LinkCost[k]));
        table_->setItem(r, 4, Number(ws.LinkFlow[k]));
        table_->setItem(r, 5, End(f.costLow));
        table_->setItem(r, 6, End(f.costHigh));
        int column = 7;
        for (const kav::BoundValue* value :
             {&f.upperPlus, &f.upperMinus, &f.lowerPlus, &f.lowerMinus, &f.flowPlus, &f.flowMinus})
            table_->setItem(r, column++, Figure(*value));
    }
    table_->setSortingEnabled(true);
    table_->resizeColumnsToContents();
    FilterRows();
    for (int r = 0; r < table_->rowCount(); ++r) {
        if (table_->item(r, 0)->data(Qt::UserRole).toInt() == preselected_) {
            table_->selectRow(r);
            table_->scrollToItem(table_->item(r, 0));
        }
    }
}

void TFMWhatIf::FilterRows() {
    const bool only = shownOnly_->isChecked();
    for (int r = 0; r < table_->rowCount(); ++r) {
        const int32_t k = table_->item(r, 0)->data(Qt::UserRole).toInt();
        table_->setRowHidden(r,
                             only && std::find(listed_.begin(), listed_.end(), k) == listed_.end());
    }
}

int32_t TFMWhatIf::SelectedLink() const {
    const QList<QTableWidgetItem*> items = table_->selectedItems();
    return items.isEmpty() ? 0 : table_->item(items.front()->row(), 0)->data(Qt::UserRole).toInt();
}

void TFMWhatIf::SelectionChanged() {
    const int32_t k = SelectedLink();
    if (k < 1 || static_cast<std::size_t>(k) > figures_.size())
        return;
    sentence_->setText(QString::fromLatin1(
        kav::SensitivitySentence(session_.ws, figures_[static_cast<std::size_t>(k - 1)]).c_str()));
}

namespace {

kav::LinkField FieldOf(int index) {
    return index == 0 ? kav::LinkField::Cost
                      : (index == 1 ? kav::LinkField::Upper : kav::LinkField::Lower);
}

}  // namespace

void TFMWhatIf::TryClick() {
    const int32_t k = SelectedLink();
    if (k < 1 || !kav::CurrentSolution(session_).Feasible())
        return;
    const kav::Reported<kav::TriedChange> tried = kav::TryLinkChange(
        session_.ws, k, FieldOf(field_->currentIndex()), value_->text().toStdString());
    tried.report.ShowTo(session_.prompts());
    tryFlows_->clear();
    if (!tried.outcome.accepted) {
        tryResult_->setText(QStringLiteral("The value was not accepted; nothing was tried."));
        return;
    }
    if (!tried.outcome.feasible) {
        tryResult_->setText(QStringLiteral("With that change no feasible flow exists:"));
        for (const std::string& line : kav::CutLines(session_.ws, tried.outcome.cut))
            tryFlows_->addItem(QString::fromLatin1(line.c_str()));
        return;
    }
    const __int128 before = kav::CurrentSolution(session_).total;
    tryResult_->setText(
        QStringLiteral("Tried on a copy: the optimal total would be %1 (now %2); %3 links change "
                       "their flow.")
            .arg(QString::fromStdString(kav::WideDecimal(tried.outcome.total)),
                 QString::fromStdString(kav::WideDecimal(before)))
            .arg(tried.outcome.flows.size()));
    for (const auto& change : tried.outcome.flows)
        tryFlows_->addItem(QStringLiteral("Link %1: flow %2 -> %3")
                               .arg(change.link)
                               .arg(change.before)
                               .arg(change.after));
}

void TFMWhatIf::ApplyClick() {
    const int32_t k = SelectedLink();
    if (k >= 1)
        emit applyRequested(k, FieldOf(field_->currentIndex()), value_->text().toStdString());
}

void TFMWhatIf::ExportClick() {
    if (figures_.empty())
        return;
    kav::FileToWrite request;
    request.dialog = [] {
        return kav::FileDialogRequest{
            "Export the What If table", {{"CSV files", "*.csv"}, {"All Files", "*.*"}}, ""};
    };
    request.protectedFiles = session_.protectedFiles.Names();
    kav::FileQuestionsThrough questions(session_.prompts());
    const std::string fileName = kav::ChooseFileToWrite(questions, request);
    if (fileName.empty())
        return;
    const kav::WriteResult written = kav::WriteFile(
        fileName, kav::FormatSensitivityCsv(session_.ws, figures_), request.protectedFiles);
    kav::Report report;
    if (written)
        report.Box(kav::MsgKind::Information, "The table was written to\r" + fileName);
    else
        report.Box(kav::MsgKind::Error, "The table could not be written to\r" + fileName + "\r(" +
                                            written.Reason() + ")");
    report.ShowTo(session_.prompts());
}
