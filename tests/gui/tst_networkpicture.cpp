#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGraphicsItem>
#include <QGraphicsPathItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <set>
#include <stdexcept>

#include "app/CreateWindows.h"
#include "core/ExampleProblems.h"
#include "drawing/PictureDrawing.h"
#include "gui/Placement.h"
#include "results/TFMNetworkPicture.h"
#include "results/TFMResultsForm.h"
#include "solver/KiltSolve.h"
#include "solver/LastSolve.h"
#include "solver/Session.h"
#include "support/PictureProblems.h"
#include "support/ProblemBuilder.h"
#include "support/ScriptedPrompts.h"
#include "support/WaitInFront.h"
#include "workspace/Workspace.h"

namespace {

void LinksAtEveryState(kav::Workspace& ws) {
    FillLinksAtEveryState(ws);
}

void Ring(kav::Workspace& ws, int count) {
    FillRing(ws, count);
}

// The drawn items of one kind (1 nodes, 2 links) by number.
std::map<int, QGraphicsItem*> Drawn(QGraphicsScene* scene, int kind) {
    std::map<int, QGraphicsItem*> drawn;
    for (QGraphicsItem* item : scene->items()) {
        if (item->data(0).toInt() == kind)
            drawn[item->data(1).toInt()] = item;
    }
    return drawn;
}

std::set<int> Numbers(const std::map<int, QGraphicsItem*>& items) {
    std::set<int> numbers;
    for (const auto& [number, item] : items)
        numbers.insert(number);
    return numbers;
}

const kav::DrawnLink& LinkOf(const kav::PictureDrawing& drawing, int link) {
    for (const kav::DrawnLink& drawn : drawing.links) {
        if (drawn.link == link)
            return drawn;
    }
    throw std::out_of_range("no link " + std::to_string(link));
}

const kav::DrawnNode& NodeOf(const kav::PictureDrawing& drawing, int node) {
    for (const kav::DrawnNode& drawn : drawing.nodes) {
        if (drawn.node == node)
            return drawn;
    }
    throw std::out_of_range("no node " + std::to_string(node));
}

// What an exported SVG says of each element: by id, the stroke, width and
// text of a link's line and label, or the fill and text of a node.
struct SvgElement {
    QString colour, width, text, title;
};
std::map<QString, SvgElement> ReadSvg(const QString& file) {
    std::map<QString, SvgElement> elements;
    QFile svg(file);
    if (!svg.open(QIODevice::ReadOnly))
        return elements;
    QXmlStreamReader xml(&svg);
    QString id;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == u"g") {
            id = a.value("id").toString();
        } else if (xml.name() == u"path") {
            elements[id].colour = a.value("stroke").toString();
            elements[id].width = a.value("stroke-width").toString();
        } else if (xml.name() == u"ellipse") {
            elements[id].colour = a.value("fill").toString();
            elements[id].width = a.value("stroke-width").toString();
        } else if (xml.name() == u"text") {
            elements[id].text = xml.readElementText();
        } else if (xml.name() == u"title") {
            elements[id].title = xml.readElementText();
        }
    }
    if (xml.hasError())
        elements[QStringLiteral("error")].text = xml.errorString();
    return elements;
}

QString Width(double width) {
    return QString::number(width, 'f', 2);
}

QByteArray Contents(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestNetworkPicture : public QObject {
    Q_OBJECT
    ScriptedPrompts prompts;
    kav::Session session{prompts};
    ProgramWindows windows;
    QTemporaryDir dir;

    TFMNetworkPicture* Picture() { return windows.picture; }
    QGraphicsScene* Scene() { return Picture()->findChild<QGraphicsView*>("PictureView")->scene(); }
    void OpenFromResults() {
        windows.results->show();
        windows.results->activateWindow();
        QVERIFY(WaitInFront(windows.results));
        QTest::keyClick(windows.results, Qt::Key_W, Qt::AltModifier);
        QTRY_VERIFY(Picture()->isVisible());
        QTRY_VERIFY(!Picture()->LayoutPending());
        QVERIFY(WaitInFront(Picture()));
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        QApplication::setQuitOnLastWindowClosed(false);
        windows = CreateWindows(session);
    }
    void init() { prompts.Clear(); }
    void cleanup() {
        if (windows.results->isVisible())
            windows.results->findChild<QPushButton*>("QuitButton")->click();
        Picture()->hide();
        QCOMPARE(prompts.unscripted, 0);
    }
    void cleanupTestCase() { DestroyWindows(windows); }

    // The button follows the existing controls in the tab order and opens a
    // window that draws every node and link, coloured by kilter state, in
    // full colour only when the flows are a certified solution.
    void drawsEveryNodeAndLinkInItsKilterColour() {
        using namespace kav::PictureColours;
        kav::Workspace& ws = session.ws;
        LinksAtEveryState(session.ws);
        auto* button = windows.results->findChild<QPushButton*>("NetworkPictureButton");
        QCOMPARE(windows.results->findChild<QPushButton*>("ExportButton")->nextInFocusChain(),
                 button);
        kav::SolveStatus certified;
        certified.Certificate.Checked = certified.Certificate.Ok = true;
        kav::SolveStatus infeasible;
        infeasible.Outcome = kav::SolveOutcome::Infeasible;
        const QColor pale((0x00 + 255) / 2, (0x72 + 255) / 2, (0xB2 + 255) / 2);
        struct Case {
            const kav::SolveStatus* last;  // null: no solve recorded
            QColor atUpper;
            QString note;
        } cases[] = {
            {&certified, AtUpper, ""},
            {&infeasible, pale, "Partial flows: drawn pale"},
            {nullptr, pale, "not proved optimal"},
        };
        for (const Case& c : cases) {
            session.lastSolve.Forget();
            if (c.last)
                session.lastSolve.Record(ws, *c.last);
            OpenFromResults();
            QVERIFY(!Picture()->testAttribute(Qt::WA_QuitOnClose));
            QCOMPARE(Numbers(Drawn(Scene(), 1)), (std::set<int>{1, 2, 3}));
            QCOMPARE(Numbers(Drawn(Scene(), 2)), (std::set<int>{1, 2, 3, 4, 5}));
            const kav::PictureDrawing& d = Picture()->Drawing();
            QCOMPARE(LinkOf(d, 3).colour, c.atUpper);
            QVERIFY(LinkOf(d, 4).dashed && !LinkOf(d, 3).dashed);
            QVERIFY(LinkOf(d, 4).width > LinkOf(d, 2).width);
            QCOMPARE(LinkOf(d, 4).label, QString("7/5"));
            QCOMPARE(LinkOf(d, 5).label, QString("3 in 3..3"));
            const QString status = Picture()->findChild<QLabel*>("StandingText")->text();
            QVERIFY2(c.note.isEmpty() ? status.isEmpty() : status.contains(c.note),
                     qPrintable(status));
            QVERIFY(Drawn(Scene(), 2).at(4)->toolTip().contains("   4*       Beta      Gamma"));
            QVERIFY(Drawn(Scene(), 1).at(2)->toolTip().contains("Potential: 0"));
            windows.results->findChild<QPushButton*>("QuitButton")->click();
        }
        QVERIFY(Picture()->Drawing().links.empty());  // forgotten when closed
        session.lastSolve.Forget();
    }

    // A changed network is drawn without flows; a solved one follows the
    // results list's selection both ways.
    void followsTheResultsListAndDropsStaleFlows() {
        LinksAtEveryState(session.ws);
        OpenFromResults();
        Drawn(Scene(), 2).at(3)->setSelected(true);
        auto* list = windows.results->findChild<QListView*>("LinkList");
        QVERIFY(list->currentIndex().data().toString().startsWith("   3 "));
        QCOMPARE(Picture()->findChild<QLabel*>("StatusText")->text().left(5), QString("   3 "));
        list->setCurrentIndex(list->model()->index(0, 0));  // origin order: link 1 first
        QVERIFY(Drawn(Scene(), 2).at(1)->isSelected());
        QVERIFY(!Drawn(Scene(), 2).at(3)->isSelected());
        Drawn(Scene(), 1).at(3)->setSelected(true);
        QCOMPARE(windows.results->findChild<QListView*>("NodeList")->currentIndex().data(),
                 QVariant("     Gamma              0"));

        windows.results->findChild<QPushButton*>("QuitButton")->click();
        QVERIFY(!Picture()->isVisible());
        NoteLinkRerouted(session.ws);
        Picture()->ShowPicture();
        QTRY_VERIFY(!Picture()->LayoutPending());
        for (const kav::DrawnLink& link : Picture()->Drawing().links) {
            QCOMPARE(link.colour, QColor(Qt::black));
            QVERIFY(link.label.isEmpty());
        }
        QVERIFY(!Drawn(Scene(), 1).at(1)->toolTip().contains("Potential"));

        // A layout that comes back after the window closed is never drawn: the
        // problem may have changed meanwhile.
        bool back = false;
        QObject context;
        connect(&GraphvizWorker::Instance(), &GraphvizWorker::finished, &context,
                [&back] { back = true; });  // queued after the picture's own
        Picture()->ShowPicture();
        Picture()->hide();
        QTRY_VERIFY(back);
        QVERIFY(Scene()->items().isEmpty());
    }

    // After an infeasible solve the cut's nodes are shaded and its crossing
    // links drawn bold, with arrow heads wider than their lines; an edit
    // takes the cut away.
    void shadesTheCutOfAnInfeasibleSolve() {
        kav::Workspace& ws = session.ws;
        InfeasibleExample(ws);
        session.lastSolve.Record(ws, kav::RunOutOfKilter(ws, nullptr));
        OpenFromResults();
        const kav::PictureDrawing& d = Picture()->Drawing();
        const QColor plain = NodeOf(d, 1).fill;
        QCOMPARE(NodeOf(d, 3).fill, kav::PictureColours::CutFill);
        QCOMPARE(NodeOf(d, 4).fill, kav::PictureColours::CutFill);
        QCOMPARE(NodeOf(d, 2).fill, plain);
        QVERIFY(LinkOf(d, 3).bold && !LinkOf(d, 1).bold);
        QVERIFY(LinkOf(d, 3).width > LinkOf(d, 1).width);
        for (const kav::DrawnLink& link : d.links) {
            const QRectF head = link.head.boundingRect();
            QVERIFY2(std::max(head.width(), head.height()) > 1.5 * link.width,
                     qPrintable(QString::number(link.link)));
        }

        kav::NoteNodesEdited(ws);
        Picture()->ShowPicture();
        QTRY_VERIFY(!Picture()->LayoutPending());
        QCOMPARE(NodeOf(Picture()->Drawing(), 3).fill, plain);
    }

    // The SVG export holds what the window shows: for every node and link
    // one element named by its number, with the same colours, widths, labels
    // and titles, for a solved problem and an infeasible one with its cut.
    void exportedSvgMatchesTheWindow_data() {
        QTest::addColumn<bool>("infeasible");
        QTest::newRow("every kilter state") << false;
        QTest::newRow("infeasible with its cut") << true;
    }
    void exportedSvgMatchesTheWindow() {
        QFETCH(bool, infeasible);
        kav::Workspace& ws = session.ws;
        if (infeasible) {
            InfeasibleExample(ws);
            session.lastSolve.Record(ws, kav::RunOutOfKilter(ws, nullptr));
        } else {
            LinksAtEveryState(session.ws);
        }
        OpenFromResults();
        const QString file = dir.filePath(infeasible ? "cut.svg" : "net.svg");
        prompts.files.push_back(file.toStdString());
        Picture()->findChild<QPushButton*>("ExportSvgButton")->click();
        QCOMPARE(prompts.messages.size(), std::size_t(1));
        QCOMPARE(prompts.messages.back().text, "The picture was written to\r" + file.toStdString());
        const std::map<QString, SvgElement> svg = ReadSvg(file);
        QVERIFY(!svg.count("error"));
        const kav::PictureDrawing& d = Picture()->Drawing();
        QCOMPARE(svg.size(), d.links.size() + d.nodes.size());
        QCOMPARE(Drawn(Scene(), 2).size(), d.links.size());
        for (const auto& [number, item] : Drawn(Scene(), 2)) {
            const kav::DrawnLink& link = LinkOf(d, number);
            const SvgElement& e = svg.at(QStringLiteral("link%1").arg(number));
            QCOMPARE(e.colour, link.colour.name());
            QCOMPARE(e.width, Width(link.width));
            QCOMPARE(e.text, link.label);
            QCOMPARE(e.title, link.title);
            QVERIFY(item->toolTip().contains(link.title.section('\n', -1).toHtmlEscaped()));
        }
        for (const auto& [number, item] : Drawn(Scene(), 1)) {
            const kav::DrawnNode& node = NodeOf(d, number);
            const SvgElement& e = svg.at(QStringLiteral("node%1").arg(number));
            QCOMPARE(e.colour, node.fill.name());
            QCOMPARE(e.width, Width(node.border));
            QCOMPARE(e.text, node.name);
            QCOMPARE(item->toolTip(), node.title);
        }
    }

    // What is selected on screen never reaches a file: exports with and
    // without a selection are the same, byte for byte.
    void exportsHoldNoSelectionMark() {
        LinksAtEveryState(session.ws);
        OpenFromResults();
        auto exportBoth = [this](const QString& stem) {
            prompts.files.push_back(dir.filePath(stem + ".png").toStdString());
            Picture()->findChild<QPushButton*>("ExportPngButton")->click();
            prompts.files.push_back(dir.filePath(stem + ".svg").toStdString());
            Picture()->findChild<QPushButton*>("ExportSvgButton")->click();
        };
        exportBoth("plain");
        Drawn(Scene(), 2).at(2)->setSelected(true);
        Drawn(Scene(), 1).at(1)->setSelected(true);
        exportBoth("selected");
        for (const char* type : {".png", ".svg"}) {
            const QByteArray plain = Contents(dir.filePath(QString("plain") + type));
            QVERIFY(!plain.isEmpty());
            QCOMPARE(Contents(dir.filePath(QString("selected") + type)), plain);
        }
        QCOMPARE(QImageReader(dir.filePath("plain.png")).size(),
                 kav::PngSize(Picture()->Drawing(), 2));
    }

    // Bounds edited after a solve can put a kilter number beyond 32 bits:
    // the picture is drawn whole, with no error box.
    void drawsAKilterNumberBeyondThirtyTwoBits() {
        ProblemBuilder(session.ws)
            .Nodes(2)
            .Link(1, 2, -2000000000, 2000000000, -1, -2000000000)
            .Link(2, 1, 0, 5, 1, 0);
        OpenFromResults();
        QVERIFY(prompts.messages.empty());
        QCOMPARE(Drawn(Scene(), 2).size(), std::size_t(2));
        QVERIFY(LinkOf(Picture()->Drawing(), 1).title.contains("   1*"));
        QVERIFY(!Picture()->findChild<QLabel*>("StatusText")->text().contains("Laying out"));
    }

    // Above 300 nodes the window asks for a node and shows its neighbours;
    // a name two nodes share asks for the number.
    void largeProblemsShowANeighbourhood() {
        Ring(session.ws, 400);
        kav::SetNodeName(session.ws, 7, "N5");
        OpenFromResults();
        auto* search = Picture()->findChild<QLineEdit*>("NodeSearch");
        QVERIFY(search->isVisible());
        QVERIFY(Drawn(Scene(), 1).empty());
        QTest::keyClicks(search, " N5");
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(Picture()->findChild<QLabel*>("StatusText")->text(),
                 QStringLiteral("2 nodes are named N5 (5 and 7): type the node's number."));
        QVERIFY(!Picture()->LayoutPending());
        search->setText("5 ");
        QTest::keyClick(search, Qt::Key_Return);
        QTRY_VERIFY(!Picture()->LayoutPending());
        QCOMPARE(Numbers(Drawn(Scene(), 1)), (std::set<int>{2, 4, 5, 6, 8}));
        QCOMPARE(Drawn(Scene(), 2).size(), std::size_t(4));
        QCOMPARE(NodeOf(Picture()->Drawing(), 5).fill, kav::PictureColours::CentreFill);
    }

    // A hub's neighbourhood above 3000 links is drawn only after a Yes, and
    // then only its 3000 links with the largest flows.
    void aHubNeighbourhoodAsksFirst() {
        ProblemBuilder builder(session.ws);
        builder.Nodes(400);
        for (int32_t n = 2; n <= 400; ++n) {
            builder.Link(1, n, 0, 1000, 1, n);
            for (int32_t step = 1; step <= 7; ++step)
                builder.Link(n, (n + step - 2) % 399 + 2, 0, 10, 1);
        }
        OpenFromResults();
        Picture()->findChild<QLineEdit*>("NodeSearch")->setText("N1");
        prompts.answers = {kav::Answer::No, kav::Answer::Yes};
        auto* show = Picture()->findChild<QPushButton*>("ShowNodeButton");
        show->click();
        QCOMPARE(prompts.messages.back().text,
                 std::string("N1's neighbourhood has 3192 links. Draw only the 3000 with the "
                             "largest flows?"));
        QVERIFY(!Picture()->LayoutPending());
        QVERIFY(Scene()->items().isEmpty());
        show->click();
        QTRY_VERIFY_WITH_TIMEOUT(!Picture()->LayoutPending(), 30000);
        QCOMPARE(Drawn(Scene(), 2).size(), std::size_t(3000));
        QVERIFY(Drawn(Scene(), 2).count(2));  // 1 -> 2 carries flow 2, more than the chords
    }

    // A big neighbourhood is saved as a PNG of bounded size: 4x its
    // thousands of points would take gigabytes; the box says so.
    void exportsALargePictureAsABoundedPng() {
        ProblemBuilder builder(session.ws);
        builder.Nodes(600);
        for (int32_t n = 2; n <= 600; ++n)
            builder.Link(1, n, 0, 10, 1);
        OpenFromResults();
        Picture()->findChild<QLineEdit*>("NodeSearch")->setText("N1");
        Picture()->findChild<QPushButton*>("ShowNodeButton")->click();
        QTRY_VERIFY(!Picture()->LayoutPending());
        const QString file = dir.filePath("star.png");
        prompts.files.push_back(file.toStdString());
        Picture()->findChild<QComboBox*>("ScaleBox")->setCurrentIndex(2);  // 4x
        Picture()->findChild<QPushButton*>("ExportPngButton")->click();
        const QSize size = QImageReader(file).size();
        QVERIFY2(size.width() > 2000 && qint64(size.width()) * size.height() <= 16000000,
                 qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
        QCOMPARE(prompts.messages.back().kind, kav::MsgKind::Information);
        QVERIFY(QString::fromStdString(prompts.messages.back().text).contains("smaller than 4x"));
    }

    // An existing file is replaced only after a Yes; a failed write says why.
    void exportsAskBeforeReplacingAndReportFailures() {
        LinksAtEveryState(session.ws);
        OpenFromResults();
        const QString file = dir.filePath("again.svg");
        prompts.files.push_back(file.toStdString());
        Picture()->findChild<QPushButton*>("ExportSvgButton")->click();
        prompts.files.push_back(file.toStdString());
        prompts.answers.push_back(kav::Answer::No);
        prompts.files.push_back(std::nullopt);
        Picture()->findChild<QPushButton*>("ExportSvgButton")->click();
        QCOMPARE(prompts.saveDialogs.size(), std::size_t(3));
        QCOMPARE(prompts.messages.back().buttons, kav::MsgButtons::YesNo);
        const QString missing = dir.filePath("no/such.svg");
        prompts.files.push_back(missing.toStdString());
        Picture()->findChild<QPushButton*>("ExportSvgButton")->click();
        QCOMPARE(prompts.messages.back().kind, kav::MsgKind::Error);
        QVERIFY(QString::fromStdString(prompts.messages.back().text)
                    .startsWith("The picture could not be written to\r" + missing + "\r("));
    }

    // Close and Escape close the window; a drag pans even when it starts on
    // a link, and a click without movement selects.
    void closesAndPansFromAnywhere() {
        for (const bool escape : {false, true}) {
            LinksAtEveryState(session.ws);
            OpenFromResults();
            auto* view = Picture()->findChild<QGraphicsView*>("PictureView");
            QTest::keyClick(view, escape ? Qt::Key_Escape : Qt::Key_C,
                            escape ? Qt::NoModifier : Qt::AltModifier);
            QTRY_VERIFY2(!Picture()->isVisible(), escape ? "Escape" : "Alt+C");
            QVERIFY(windows.results->isVisible());
        }
        OpenFromResults();
        auto* view = Picture()->findChild<QGraphicsView*>("PictureView");
        Picture()->findChild<QPushButton*>("ZoomInButton")->click();
        Picture()->findChild<QPushButton*>("ZoomInButton")->click();
        QGraphicsItem* node = Drawn(Scene(), 1).at(2);
        view->centerOn(node);
        const QPoint at = view->mapFromScene(node->sceneBoundingRect().center());
        const int before = view->horizontalScrollBar()->value();
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseMove(view->viewport(), at + QPoint(40, 0));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at + QPoint(40, 0));
        QCOMPARE(view->horizontalScrollBar()->value(), before - 40);
        QVERIFY(!node->isSelected());
        const QPoint now = view->mapFromScene(node->sceneBoundingRect().center());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, now);
        QVERIFY(node->isSelected());
    }

    // Beside the results window where the screen has room, else over its
    // right-hand side.
    void opensBesideTheResults() {
        const QRect screen(0, 0, 1280, 1024);
        struct Case {
            QRect results;
            QSize wanted;
            QRect placed;
        } cases[] = {
            {{0, 0, 600, 700}, {900, 700}, {600, 0, 680, 700}},        // room on the right
            {{700, 100, 580, 700}, {600, 700}, {100, 100, 600, 700}},  // on the left
            {{100, 0, 1000, 1024}, {900, 700}, {512, 0, 768, 700}},    // over its right side
        };
        for (const Case& c : cases)
            QCOMPARE(FrameBeside(c.wanted, 420, c.results, screen), c.placed);
        QCOMPARE(FrameBeside({900, 700}, 700, {0, 0, 800, 600}, {0, 0, 800, 600}),
                 QRect(100, 0, 700, 600));
        // Step Through beside the picture: no room either side, so against the
        // edge with more room, covering as little of the picture as it can.
        QCOMPARE(
            FrameBeside({1180, 940}, 560, {512, 0, 768, 700}, screen, BesideFallback::RoomierSide),
            QRect(0, 0, 560, 940));
    }
};

QTEST_MAIN(TestNetworkPicture)
#include "tst_networkpicture.moc"
