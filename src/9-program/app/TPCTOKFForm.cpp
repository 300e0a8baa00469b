#include "app/TPCTOKFForm.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <cmath>

#include "gui/GuiCommon.h"
#include "workspace/NumberFormat.h"

QString PercentLabelText(double percent, const kav::NumberSeparators& separators) {
    return QString::fromStdString(kav::FormatGrouped(percent, 5, separators)) +
           QStringLiteral("% Complete");
}

int GaugePercent(double percent) {
    // nearbyint rounds in the default mode, to nearest with halves to even.
    return static_cast<int>(std::nearbyint(percent));
}

TPCTOKFForm::TPCTOKFForm(kav::Prompts& prompts, const kav::NumberSeparators& separators,
                         QWidget* parent)
    : QWidget(parent), prompts_(prompts), separators_(separators) {
    setObjectName(QStringLiteral("PCTOKFForm"));
    setWindowTitle(QStringLiteral("Percent Complete Form"));
    RemoveTitleBarButtons(this);
    PaintBackground(this, Colours::Yellow);

    Gauge1 = new QProgressBar(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    Gauge1->setFormat(QStringLiteral("%p%"));
    Gauge1->setAlignment(Qt::AlignCenter);
    Gauge1->setAccessibleName(QStringLiteral("Percent Complete"));
    Gauge1->setMinimumSize(360, 32);
    Gauge1->setStyleSheet(QStringLiteral(
        "QProgressBar { border: 2px solid #000080; background: #808080; color: #FFFF00;"
        " font-weight: bold; text-align: center; }"
        "QProgressBar::chunk { background: #000080; }"));

    OKFPercentLabel = new QLabel(PercentLabelText(0.0, separators_), this);
    OKFPercentLabel->setObjectName(QStringLiteral("OKFPercentLabel"));
    OKFPercentLabel->setAlignment(Qt::AlignCenter);
    QFont bold = OKFPercentLabel->font();
    bold.setBold(true);
    bold.setPointSize(12);
    OKFPercentLabel->setFont(bold);
    PaintText(OKFPercentLabel, Colours::Navy);
    // A fixed size keeps a new text from asking the layout for a new geometry.
    OKFPercentLabel->setFixedSize(
        QFontMetrics(bold).horizontalAdvance(PercentLabelText(100.0, separators_)) + 40,
        QFontMetrics(bold).height() + 8);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(16);
    layout->addWidget(Gauge1);
    layout->addWidget(OKFPercentLabel, 0, Qt::AlignHCenter);
    setFixedSize(sizeHint());
}

void TPCTOKFForm::ShowForRun() {
    // Every run starts from 0%, not from where the last one stopped (a run
    // that fails on its first link reports nothing).
    percent_ = 0.0;
    pending_ = true;
    ShowPercent();
    // On screen and painted before the solve starts; user input waits until
    // the run ends.
    ShowAndPaintNow(this);
    sincePaint_.start();
}

void TPCTOKFForm::closeEvent(QCloseEvent* event) {
    RefuseWindowSystemClose(event, prompts_);
}

void TPCTOKFForm::ReportProgress(int32_t link, int32_t linkCount) {
    if (!isVisible() || linkCount <= 0)
        return;
    percent_ = link * 100.0 / linkCount;
    pending_ = true;
    // Compared with what the gauge shows, so that a change held back by the
    // interval is shown by the next report after it.
    if (GaugePercent(percent_) == Gauge1->value())
        return;
    if (sincePaint_.isValid() && sincePaint_.elapsed() < PaintInterval)
        return;
    ShowPercent();  // the gauge repaints itself when its text changes
    OKFPercentLabel->repaint();
    sincePaint_.start();
}

void TPCTOKFForm::RunFinished() {
    if (!isVisible() || !pending_)
        return;
    ShowPercent();
    Gauge1->repaint();
    OKFPercentLabel->repaint();
}

void TPCTOKFForm::ShowPercent() {
    if (!pending_)
        return;
    Gauge1->setValue(GaugePercent(percent_));
    OKFPercentLabel->setText(PercentLabelText(percent_, separators_));
    pending_ = false;
}

void TPCTOKFForm::hideEvent(QHideEvent* event) {
    ShowPercent();
    QWidget::hideEvent(event);
}
