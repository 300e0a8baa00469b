#include <QApplication>
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
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <set>

#include "app/CreateWindows.h"
#include "core/ExampleProblems.h"
#include "results/TFMNetworkPicture.h"
#include "results/TFMResultsForm.h"
#include "solver/KiltSolve.h"
#include "solver/LastSolve.h"
#include "support/PictureProblems.h"
#include "support/ScriptedPrompts.h"
#include "workspace/Workspace.h"

namespace {

void LinksAtEveryState() {
    FillLinksAtEveryState(kav::TheWorkspace());
}

void Ring(int count) {
    FillRing(kav::TheWorkspace(), count);
}

// The numbers of the drawn items of one kind (nodes are ellipses, links
// paths), each with its item.
template <class Item>
std::map<int, Item*> Drawn(QGraphicsScene* scene) {
    std::map<int, Item*> drawn;
    for (QGraphicsItem* item : scene->items()) {
        if (auto* shape = dynamic_cast<Item*>(item))
            drawn[shape->data(1).toInt()] = shape;
    }
    return drawn;
}

std::set<int> Numbers(const std::map<int, QGraphicsEllipseItem*>& nodes) {
    std::set<int> numbers;
    for (const auto& [number, item] : nodes)
        numbers.insert(number);
    return numbers;
}

}  // namespace

class TestNetworkPicture : public QObject {
    Q_OBJECT
    ScriptedPrompts prompts;
    ProgramWindows windows;
    QTemporaryDir dir;

    TFMNetworkPicture* Picture() { return windows.picture; }
    QGraphicsScene* Scene() { return Picture()->findChild<QGraphicsView*>("PictureView")->scene(); }
    void OpenFromResults() {
        windows.results->show();
        QVERIFY(QTest::qWaitForWindowActive(windows.results));
        QTest::keyClick(windows.results, Qt::Key_W, Qt::AltModifier);
        QTRY_VERIFY(Picture()->isVisible());
        QTRY_VERIFY(!Picture()->LayoutPending());
        QVERIFY(QTest::qWaitForWindowActive(Picture()));
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        QApplication::setQuitOnLastWindowClosed(false);
        kav::InstallPrompts(&prompts);
        windows = CreateWindows();
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
    // window that draws every node and link, coloured by kilter state.
    void drawsEveryNodeAndLinkInItsKilterColour() {
        LinksAtEveryState();
        auto* button = windows.results->findChild<QPushButton*>("NetworkPictureButton");
        QCOMPARE(windows.results->findChild<QPushButton*>("ExportButton")->nextInFocusChain(),
                 button);
        OpenFromResults();
        QVERIFY(!Picture()->testAttribute(Qt::WA_QuitOnClose));
        const auto nodes = Drawn<QGraphicsEllipseItem>(Scene());
        const auto links = Drawn<QGraphicsPathItem>(Scene());
        QCOMPARE(Numbers(nodes), (std::set<int>{1, 2, 3}));
        QCOMPARE(links.size(), std::size_t(5));
        QCOMPARE(links.at(1)->pen().color(), QColor(0x80, 0x80, 0x80));
        QCOMPARE(links.at(2)->pen().color(), QColor(0x00, 0x80, 0x00));
        QCOMPARE(links.at(3)->pen().color(), QColor(0x00, 0x00, 0xFF));
        QCOMPARE(links.at(4)->pen().color(), QColor(0xFF, 0x00, 0x00));
        QVERIFY(links.at(4)->pen().widthF() > links.at(2)->pen().widthF());
        QVERIFY2(links.at(4)->toolTip().contains("   4*       Beta      Gamma     0        7"),
                 qPrintable(links.at(4)->toolTip()));
        QVERIFY(nodes.at(2)->toolTip().contains("Potential: 0"));
    }

    // A changed network is drawn without flows; a solved one follows the
    // results list's selection both ways.
    void followsTheResultsListAndDropsStaleFlows() {
        LinksAtEveryState();
        OpenFromResults();
        auto links = Drawn<QGraphicsPathItem>(Scene());
        links.at(3)->setSelected(true);
        auto* list = windows.results->findChild<QListView*>("LinkList");
        QVERIFY(list->currentIndex().data().toString().startsWith("   3 "));
        QCOMPARE(Picture()->findChild<QLabel*>("StatusText")->text().left(5), QString("   3 "));
        list->setCurrentIndex(list->model()->index(0, 0));  // origin order: link 1 first
        QVERIFY(links.at(1)->isSelected());
        QVERIFY(!links.at(3)->isSelected());
        Drawn<QGraphicsEllipseItem>(Scene()).at(3)->setSelected(true);
        QCOMPARE(windows.results->findChild<QListView*>("NodeList")->currentIndex().data(),
                 QVariant("     Gamma              0"));

        windows.results->findChild<QPushButton*>("QuitButton")->click();
        QVERIFY(!Picture()->isVisible());
        kav::TheWorkspace().NetworkChanged = true;
        Picture()->ShowPicture();
        QTRY_VERIFY(!Picture()->LayoutPending());
        for (const auto& [number, item] : Drawn<QGraphicsPathItem>(Scene()))
            QCOMPARE(item->pen().color(), QColor(Qt::black));
        QVERIFY(!Drawn<QGraphicsEllipseItem>(Scene()).at(1)->toolTip().contains("Potential"));

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
    // links drawn bold; an edit takes the cut away.
    void shadesTheCutOfAnInfeasibleSolve() {
        kav::Workspace& ws = kav::TheWorkspace();
        InfeasibleExample(ws);
        kav::RecordLastSolve(ws, kav::RunOutOfKilter(ws, nullptr));
        OpenFromResults();
        auto nodes = Drawn<QGraphicsEllipseItem>(Scene());
        const QColor plain = nodes.at(1)->brush().color();
        QVERIFY(nodes.at(3)->brush().color() != plain);
        QCOMPARE(nodes.at(4)->brush().color(), nodes.at(3)->brush().color());
        QCOMPARE(nodes.at(2)->brush().color(), plain);
        auto links = Drawn<QGraphicsPathItem>(Scene());
        QVERIFY(links.at(3)->pen().widthF() > links.at(1)->pen().widthF());

        kav::NoteNodesEdited(ws);
        Picture()->ShowPicture();
        QTRY_VERIFY(!Picture()->LayoutPending());
        nodes = Drawn<QGraphicsEllipseItem>(Scene());
        QCOMPARE(nodes.at(3)->brush().color(), plain);
    }

    // Above 300 nodes the window asks for a node and shows its neighbours.
    void largeProblemsShowANeighbourhood() {
        Ring(400);
        OpenFromResults();
        auto* search = Picture()->findChild<QLineEdit*>("NodeSearch");
        QVERIFY(search->isVisible());
        QVERIFY(Drawn<QGraphicsEllipseItem>(Scene()).empty());
        QTest::keyClicks(search, "N5");
        QTest::keyClick(search, Qt::Key_Return);
        QTRY_VERIFY(!Picture()->LayoutPending());
        QCOMPARE(Numbers(Drawn<QGraphicsEllipseItem>(Scene())), (std::set<int>{2, 4, 5, 6, 8}));
        QCOMPARE(Drawn<QGraphicsPathItem>(Scene()).size(), std::size_t(4));
    }

    // A big neighbourhood is saved as a PNG of bounded size: twice its
    // thousands of points would take gigabytes.
    void exportsALargePictureAsABoundedPng() {
        ProblemBuilder builder(kav::TheWorkspace());
        builder.Nodes(600);
        for (int32_t n = 2; n <= 600; ++n)
            builder.Link(1, n, 0, 10, 1);
        OpenFromResults();
        Picture()->findChild<QLineEdit*>("NodeSearch")->setText("N1");
        Picture()->findChild<QPushButton*>("ShowNodeButton")->click();
        QTRY_VERIFY(!Picture()->LayoutPending());
        const QString file = dir.filePath("star.png");
        prompts.files.push_back(file.toStdString());
        Picture()->findChild<QPushButton*>("ExportPngButton")->click();
        const QSize size = QImageReader(file).size();
        QVERIFY2(size.width() > 2000 && qint64(size.width()) * size.height() <= 16000000,
                 qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
    }

    // Graphviz's SVG holds one element per node and link, named by number;
    // an existing file is replaced only after a Yes.
    void exportsSvgWithAnElementPerNodeAndLink() {
        LinksAtEveryState();
        OpenFromResults();
        const QString file = dir.filePath("net.svg");
        prompts.files.push_back(file.toStdString());
        QSignalSpy ready(Picture(), &TFMNetworkPicture::pictureReady);
        QTest::keyClick(Picture(), Qt::Key_V, Qt::AltModifier);
        QVERIFY(ready.wait(10000));
        QFile svg(file);
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&svg);
        QStringList ids;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"g") {
                const QString id = xml.attributes().value("id").toString();
                if (id.startsWith("node") || id.startsWith("link"))
                    ids.append(id);
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        ids.sort();
        QCOMPARE(ids, (QStringList{"link1", "link2", "link3", "link4", "link5", "node1", "node2",
                                   "node3"}));
        svg.close();

        // The file exists now: No keeps it, and the dialog comes back.
        prompts.files.push_back(file.toStdString());
        prompts.answers.push_back(kav::Answer::No);
        prompts.files.push_back(std::nullopt);
        Picture()->findChild<QPushButton*>("ExportSvgButton")->click();
        QCOMPARE(prompts.saveDialogs.size(), std::size_t(3));
        QCOMPARE(prompts.messages.back().buttons, kav::MsgButtons::YesNo);
    }
};

QTEST_MAIN(TestNetworkPicture)
#include "tst_networkpicture.moc"
