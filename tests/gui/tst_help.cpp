#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFile>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QtTest>

#include "app/CreateWindows.h"
#include "app/TAboutBoxKavrilon.h"
#include "app/TFMErrorForm.h"
#include "app/TKavrilonForm.h"
#include "app/TPCTOKFForm.h"
#include "editing/TFMAddStuff.h"
#include "editing/TFMChangeForm.h"
#include "editing/TFMLinkAddForm.h"
#include "editing/TFXNodeAddForm.h"
#include "generator/TRandGenerator.h"
#include "gui/Help.h"
#include "results/TFMCutForm.h"
#include "results/TFMNetworkPicture.h"
#include "results/TFMResultsForm.h"
#include "results/TFMStepThrough.h"
#include "solver/Session.h"
#include "support/ScriptedPrompts.h"

class HelpTest : public QObject {
    Q_OBJECT

    ScriptedPrompts prompts;
    kav::Session session{prompts};
    ProgramWindows windows;

    static QTextBrowser* Guide(QWidget* help) { return help->findChild<QTextBrowser*>(); }

    // The heading at the top of what the Help window shows.
    static QString TopHeading(QTextBrowser* guide) {
        const QTextDocument* document = guide->document();
        const int top = guide->verticalScrollBar()->value();
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            const QRectF place = document->documentLayout()->blockBoundingRect(block);
            if (place.bottom() > top)
                return block.blockFormat().headingLevel() > 0 ? block.text() : QString();
        }
        return QString();
    }

  private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        windows = CreateWindows(session);
    }
    void cleanupTestCase() { DestroyWindows(windows); }

    // Every window's chapter is a heading of the guide built into the
    // program, so Help works with no documentation installed.
    void everyWindowHasItsChapter() {
        QWidget* help = ShowHelpFor(windows.mainMenu);
        const QTextDocument& guide = *Guide(help)->document();
        for (QWidget* window : std::initializer_list<QWidget*>{
                 windows.mainMenu, windows.aboutBox, windows.addStuff, windows.linkAdder,
                 windows.nodeAdder, windows.errorList, windows.results, windows.change,
                 windows.percentDone, windows.generator, windows.picture, windows.cut,
                 windows.stepThrough})
            QVERIFY2(HeadingPosition(guide, HelpChapterFor(window->objectName())) >= 0,
                     qPrintable(window->objectName()));
        help->hide();
    }

    void everyPictureIsBuiltIn() {
        QTextBrowser* guide = Guide(ShowHelpFor(windows.mainMenu));
        int pictures = 0;
        for (QTextBlock block = guide->document()->begin(); block.isValid(); block = block.next()) {
            for (auto piece = block.begin(); !piece.atEnd(); ++piece) {
                const QTextFormat format = piece.fragment().charFormat();
                if (!format.isImageFormat())
                    continue;
                const QUrl name(format.toImageFormat().name());
                const QVariant picture = guide->loadResource(QTextDocument::ImageResource, name);
                QVERIFY2(!picture.isNull(), qPrintable(name.toString()));
                ++pictures;
            }
        }
        QFile source(QStringLiteral(":/guide/guide.md"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QCOMPARE(pictures, static_cast<int>(source.readAll().count("](images/")));
        guide->window()->hide();
    }

    // F1 in a window opens the guide at that window's chapter, over it.
    void f1OpensTheWindowsChapter() {
        windows.results->show();
        QVERIFY(QTest::qWaitForWindowExposed(windows.results));
        QWidget* focused = windows.results->focusWidget();
        QTest::keyClick(focused ? focused : windows.results, Qt::Key_F1);
        auto* help = windows.results->findChild<QWidget*>(QStringLiteral("HelpWindow"),
                                                          Qt::FindDirectChildrenOnly);
        QVERIFY(help && help->isVisible());
        QCOMPARE(TopHeading(Guide(help)), QStringLiteral("Reading the results"));
        QTest::keyClick(Guide(help), Qt::Key_Escape);
        QVERIFY(!help->isVisible());
        windows.results->hide();
    }

    // A link to a heading of the guide goes to that heading.
    void contentsLinksFindTheirHeadings() {
        QTextBrowser* guide = Guide(ShowHelpFor(windows.mainMenu));
        emit guide->anchorClicked(QUrl(QStringLiteral("#stepping-through-a-solve")));
        QCOMPARE(TopHeading(guide), QStringLiteral("Stepping through a solve"));
        guide->window()->hide();
    }
};

QTEST_MAIN(HelpTest)
#include "tst_help.moc"
