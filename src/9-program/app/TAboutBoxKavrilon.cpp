#include "app/TAboutBoxKavrilon.h"

#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/ConnectGuarded.h"
#include "gui/GuiCommon.h"
#include "gui/Placement.h"
#include "workspace/Prompts.h"

namespace {

constexpr int AboutTimerInterval = 1500;

QLabel* MakeLabel(const QString& name, const QString& text, const QColor& colour, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    PaintText(label, colour);
    return label;
}

}  // namespace

QPixmap ProgramPicture(int size) {
    QPixmap picture(size, size);
    picture.fill(Colours::White);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    const QPointF nodes[] = {
        {0.18 * s, 0.5 * s}, {0.5 * s, 0.2 * s}, {0.5 * s, 0.8 * s}, {0.82 * s, 0.5 * s}};
    const int links[][2] = {{0, 1}, {0, 2}, {1, 3}, {2, 3}, {1, 2}};
    painter.setPen(QPen(Colours::Navy, s / 24));
    for (const auto& link : links)
        painter.drawLine(nodes[link[0]], nodes[link[1]]);
    painter.setBrush(Colours::Red);
    for (const QPointF& node : nodes)
        painter.drawEllipse(node, s / 10, s / 10);
    painter.setPen(QPen(Colours::Purple, s / 20));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(1, 1, s - 2, s - 2));
    return picture;
}

TAboutBoxKavrilon::TAboutBoxKavrilon(kav::Prompts& prompts, QWidget* parent)
    : QWidget(parent), prompts_(prompts) {
    setObjectName(QStringLiteral("AboutBoxKavrilon"));
    setWindowTitle(QStringLiteral("KAVRILON About Box"));
    RemoveTitleBarButtons(this);
    PaintBackground(this, Colours::Navy);

    auto* Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(2);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setPixmap(ProgramPicture(64));
    ProgramIcon->setFixedSize(64, 64);

    ProductName = MakeLabel(QStringLiteral("ProductName"), QStringLiteral("K A V R I L O N"),
                            Colours::White, Panel1);
    QFont productFont = ProductName->font();
    productFont.setBold(true);
    productFont.setPointSize(16);
    ProductName->setFont(productFont);

    Version = MakeLabel(QStringLiteral("Version"), QStringLiteral("Version 1.00"), Colours::Fuchsia,
                        Panel1);
    Version->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PropertyLabel = MakeLabel(QStringLiteral("PropertyLabel"), QStringLiteral("PropertyLabel"),
                              Colours::Silver, Panel1);
    PropertyLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Comments = MakeLabel(QStringLiteral("Comments"),
                         QStringLiteral("This program solves network problems using the "
                                        "out-of-kilter flow algorithm."),
                         Colours::Aqua, Panel1);
    Comments->setWordWrap(true);
    GuideLabel = MakeLabel(QStringLiteral("GuideLabel"),
                           QStringLiteral("Help: press F1. The user's guide is also installed as "
                                          "the file " KAVRILON_GUIDE),
                           Colours::Silver, Panel1);
    GuideLabel->setWordWrap(true);
    GuideLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    texts->addWidget(ProductName);
    texts->addWidget(Version);
    texts->addWidget(PropertyLabel);
    texts->addStretch(1);
    auto* panelLayout = new QGridLayout(Panel1);
    panelLayout->setContentsMargins(14, 14, 14, 14);
    panelLayout->setHorizontalSpacing(16);
    panelLayout->setVerticalSpacing(14);
    panelLayout->addWidget(ProgramIcon, 0, 0, Qt::AlignTop);
    panelLayout->addLayout(texts, 0, 1);
    panelLayout->addWidget(Comments, 1, 0, 1, 2);
    panelLayout->addWidget(GuideLabel, 2, 0, 1, 2);

    OKButton = new QPushButton(QStringLiteral("&OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setAutoDefault(true);
    OKButton->setMinimumWidth(90);
    ConnectGuarded(prompts_, OKButton, &QPushButton::clicked, this,
                   &TAboutBoxKavrilon::OKButtonClick);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(Panel1);
    layout->addWidget(OKButton, 0, Qt::AlignHCenter);
    setFixedWidth(360);
    setFixedHeight(sizeHint().height());

    AboutTimer_ = new QTimer(this);
    AboutTimer_->setObjectName(QStringLiteral("AboutTimer"));
    AboutTimer_->setInterval(AboutTimerInterval);
    ConnectGuarded(prompts_, AboutTimer_, &QTimer::timeout, this,
                   &TAboutBoxKavrilon::AboutTimerTimer);
    AboutTimer_->start();
}

void TAboutBoxKavrilon::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        kav::GuardHandler(prompts_, [&] { FormShow(); });
}

// Only OK and the timer close the box; a close from the window system would
// leave the main menu hidden behind nothing.
void TAboutBoxKavrilon::closeEvent(QCloseEvent* event) {
    RefuseWindowSystemClose(event, prompts_);
}

void TAboutBoxKavrilon::keyPressEvent(QKeyEvent* event) {
    // OK is the default button: Enter presses it wherever the focus is, and
    // Escape closes the box as OK does.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool escape = event->key() == Qt::Key_Escape;
    if ((enter || escape) && OKButton->isVisible()) {
        OKButton->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TAboutBoxKavrilon::FormShow() {
    FillVersionLabels(ProgramVersionInfo());
}

void TAboutBoxKavrilon::FillVersionLabels(const std::optional<FileVersionInfo>& info) {
    if (!info)
        return;
    Version->setText(VersionText(*info));
    PropertyLabel->setText(PropertyText(*info));
}

void TAboutBoxKavrilon::OKButtonClick() {
    // The main menu comes back before the box goes.
    emit closed();
    hide();
}

void TAboutBoxKavrilon::AboutTimerTimer() {
    OKButton->setVisible(true);
    hide();
}

void TAboutBoxKavrilon::MakeSplash() {
    OKButton->setVisible(false);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    CentreOnScreen(this);
    ShowAndPaintNow(this);
}
