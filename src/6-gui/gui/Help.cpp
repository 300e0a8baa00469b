#include "gui/Help.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>
#include <map>

#include "gui/Placement.h"

namespace {

const QString GuideTitle = QStringLiteral("Kavrilon user's guide");

// Qt's Markdown reader makes no anchors of headings: a link to one of the
// guide's own headings ("#reading-the-results") is followed by finding the
// heading whose words give that fragment.
QString HeadingFragment(const QString& heading) {
    QString fragment;
    for (const QChar c : heading.toLower()) {
        if (c.isLetterOrNumber())
            fragment += c;
        else if (c == QLatin1Char(' ') || c == QLatin1Char('-'))
            fragment += QLatin1Char('-');
    }
    return fragment;
}

class HelpWindow : public QWidget {
  public:
    HelpWindow() {
        setObjectName(QStringLiteral("HelpWindow"));
        setAttribute(Qt::WA_QuitOnClose, false);
        setWindowTitle(QStringLiteral("Kavrilon Help"));
        browser_ = new QTextBrowser(this);
        browser_->setObjectName(QStringLiteral("GuideText"));
        browser_->setAccessibleName(GuideTitle);
        browser_->setOpenLinks(false);
        browser_->setSource(QUrl(QStringLiteral("qrc:/guide/guide.md")),
                            QTextDocument::MarkdownResource);
        QObject::connect(browser_, &QTextBrowser::anchorClicked, this,
                         [this](const QUrl& url) { FollowLink(url); });
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser_);
        resize(FitOnScreen(QSize(760, 700)));
    }

    void ShowChapter(const QString& heading) {
        const int position = HeadingPosition(*browser_->document(), heading);
        QTextCursor cursor(browser_->document());
        cursor.setPosition(std::max(position, 0));
        browser_->setTextCursor(cursor);
        const QTextBlock block = browser_->document()->findBlock(cursor.position());
        const QRectF place = browser_->document()->documentLayout()->blockBoundingRect(block);
        browser_->verticalScrollBar()->setValue(static_cast<int>(place.top()));
    }

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            close();
            return;
        }
        QWidget::keyPressEvent(event);
    }

  private:
    void FollowLink(const QUrl& url) {
        if (!url.hasFragment() || !url.path().isEmpty())
            return;
        for (QTextBlock block = browser_->document()->begin(); block.isValid();
             block = block.next()) {
            if (block.blockFormat().headingLevel() > 0 &&
                HeadingFragment(block.text()) == url.fragment()) {
                ShowChapter(block.text());
                return;
            }
        }
    }

    QTextBrowser* browser_;
};

QPointer<HelpWindow> helpWindow;

class HelpKey : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
            return QObject::eventFilter(watched, event);
        QWidget* window = static_cast<QWidget*>(watched)->window();
        if (window != helpWindow)
            ShowHelpFor(window);
        return true;
    }
};

HelpKey* installedFilter = nullptr;

}  // namespace

QString HelpChapterFor(const QString& objectName) {
    static const std::map<QString, QString> chapters = {
        {QStringLiteral("FMAddStuff"), QStringLiteral("The transportation example, step by step")},
        {QStringLiteral("FXNodeAddForm"),
         QStringLiteral("The transportation example, step by step")},
        {QStringLiteral("FMLinkAddForm"),
         QStringLiteral("The transportation example, step by step")},
        {QStringLiteral("FMChangeForm"), QStringLiteral("Changing or removing a link")},
        {QStringLiteral("FMErrorForm"), QStringLiteral("Supplies and demands")},
        {QStringLiteral("PCTOKFForm"), QStringLiteral("What Kavrilon solves")},
        {QStringLiteral("FMResultsForm"), QStringLiteral("Reading the results")},
        {QStringLiteral("FMCutForm"), QStringLiteral("When there is no feasible flow")},
        {QStringLiteral("FMNetworkPicture"), QStringLiteral("The network picture")},
        {QStringLiteral("FMStepThrough"), QStringLiteral("Stepping through a solve")},
        {QStringLiteral("PrinterSetupDialog1"), QStringLiteral("Printing")},
    };
    const auto found = chapters.find(objectName);
    return found == chapters.end() ? GuideTitle : found->second;
}

int HeadingPosition(const QTextDocument& document, const QString& heading) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() > 0 && block.text() == heading)
            return block.position();
    }
    return -1;
}

void InstallHelpKey() {
    if (installedFilter || !qApp)
        return;
    installedFilter = new HelpKey(qApp);
    qApp->installEventFilter(installedFilter);
}

QWidget* ShowHelpFor(QWidget* window) {
    if (!helpWindow)
        helpWindow = new HelpWindow;
    // Kept with the window it explains, by the window system too, and usable
    // while that window is modal.
    if (window && helpWindow->parentWidget() != window) {
        const QSize size = helpWindow->size();
        helpWindow->setParent(window, Qt::Window);
        helpWindow->resize(size);
    }
    helpWindow->show();
    helpWindow->ShowChapter(HelpChapterFor(window ? window->objectName() : QString()));
    helpWindow->raise();
    helpWindow->activateWindow();
    return helpWindow;
}
