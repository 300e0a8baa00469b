// A problem built by hand in the editing windows, solved, changed, solved again
// from the first optimum, saved and ws, must give what the same problem
// gives when it comes from a file.

#include "EditingFixture.h"
#include "solver/CheckProblem.h"
#include "solver/KiltSolve.h"
#include "solver/SolveRun.h"
#include "support/TempFolder.h"
#include "workspace/ProblemFiles.h"

namespace {

struct Solution {
    std::vector<int32_t> flows;
    double totalCost;
    bool operator==(const Solution& other) const {
        return flows == other.flows && totalCost == other.totalCost;
    }
};

// What the Run button does around the algorithm: a stale solution is cleared,
// the checks must pass, and the run starts from the flows and potentials held.
Solution Solve(kav::Workspace& ws) {
    kav::ClearStaleSolution(ws, kav::SolutionUse::NextSolve);
    const std::vector<std::string> errors = kav::CheckProblem(ws);
    if (!errors.empty() || !ws.ChecksPassed)
        qFatal("checks failed: %s", errors.front().c_str());
    if (!kav::RunOutOfKilter(ws, nullptr).IsFeasible())
        qFatal("not solved");
    kav::ComputeTotalCost(ws);
    kav::NoteSolved(ws, false);
    Solution solution{{}, ws.TotalCost};
    for (int32_t k = 1; k <= ws.LinkCount; ++k)
        solution.flows.push_back(ws.LinkFlow[k]);
    return solution;
}

}  // namespace

class TestHandBuilt : public QObject {
    Q_OBJECT
    std::unique_ptr<EditingWindows> w;

    void AddNodeByHand(const char* name) {
        TypeAndLeave(Child<QLineEdit>(&w->nodes, "NodeName"), QString::fromLatin1(name));
        QTest::mouseClick(Child<QPushButton>(&w->nodes, "AddButton"), Qt::LeftButton);
    }

    void AddLinkByHand(int origin, int dest, const char* lower, const char* upper,
                       const char* cost) {
        TypeAndLeave(Child<QLineEdit>(&w->links, "UnitCost"), QString::fromLatin1(cost));
        TypeAndLeave(Child<QLineEdit>(&w->links, "LowerBound"), QString::fromLatin1(lower));
        TypeAndLeave(Child<QLineEdit>(&w->links, "UpperBound"), QString::fromLatin1(upper));
        ClickLine(Child<QListWidget>(&w->links, "OriginList"), origin - 1);
        ClickLine(Child<QListWidget>(&w->links, "DestinationList"), dest - 1);
        QTest::mouseClick(Child<QPushButton>(&w->links, "AddLink"), Qt::LeftButton);
    }

  private slots:
    void init() { w = std::make_unique<EditingWindows>(); }
    void cleanup() { w.reset(); }

    void handBuiltProblemMatchesTheSameProblemFromAFile() {
        kav::Workspace& ws = w->session.ws;

        // Build: three nodes and four links through the windows.
        w->mainMenu.hide();
        QVERIFY(ShowActive(&w->chooser));
        QTest::mouseClick(Child<QPushButton>(&w->chooser, "NodeBUtton"), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowActive(&w->nodes));
        for (const char* name : {"Alpha", "Beta", "Gamma"})
            AddNodeByHand(name);
        QVERIFY(PressAlt(&w->nodes, Qt::Key_Q));
        QVERIFY(ShowActive(&w->chooser));
        QVERIFY(PressAlt(&w->chooser, Qt::Key_L));
        QVERIFY(QTest::qWaitForWindowActive(&w->links));
        AddLinkByHand(1, 2, "0", "10", "3");
        AddLinkByHand(2, 3, "2", "10", "1");
        AddLinkByHand(3, 1, "0", "10", "-2");
        AddLinkByHand(1, 3, "0", "4", "1");
        QVERIFY(PressAlt(&w->links, Qt::Key_Q));
        QVERIFY(ShowActive(&w->chooser));
        QVERIFY(PressAlt(&w->chooser, Qt::Key_Q));
        QCOMPARE(w->problemButtons, std::vector<bool>{true});
        QVERIFY(w->prompts.events.empty());
        QCOMPARE(ws.LinkCount, 4);
        QVERIFY(ws.NetworkChanged && ws.DataNotSaved);

        // First solve.
        const Solution first = Solve(ws);
        QCOMPARE(first.flows, (std::vector<int32_t>{2, 2, 6, 4}));
        QCOMPARE(first.totalCost, 0.0);
        QCOMPARE(ws.NodePotential[2] - ws.NodePotential[1], 3);
        QCOMPARE(ws.NodePotential[3] - ws.NodePotential[1], 2);

        // Lower the fourth link's upper bound in the change window.
        w->mainMenu.hide();
        QVERIFY(ShowActive(&w->change));
        QVERIFY(PressAlt(&w->change, Qt::Key_T));
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(Child<QLineEdit>(&w->change, "KilterField")->text(), QStringLiteral("Yes"));
        TypeAndLeave(Child<QLineEdit>(&w->change, "UBNew"), "3");
        QCOMPARE(Child<QLineEdit>(&w->change, "KilterField")->text(), QStringLiteral("No"));
        QTest::mouseClick(Child<QPushButton>(&w->change, "QuitButton"), Qt::LeftButton);
        QCOMPARE(ws.LinkUpper[4], 3);
        QVERIFY(!ws.NetworkChanged);
        QCOMPARE(ws.LinkFlow[4], 4);  // the next solve starts from the first optimum

        const Solution second = Solve(ws);
        QCOMPARE(second.flows, (std::vector<int32_t>{2, 2, 5, 3}));
        QCOMPARE(second.totalCost, 1.0);

        // Save, then load what was saved.
        TempFolder folder;
        const std::string nodeFile = folder.File("HAND.NDE");
        const std::string linkFile = folder.File("HAND.LIN");
        QVERIFY(kav::WriteProblemFiles(ws, nodeFile, linkFile));
        QCOMPARE(TempFolder::Read(nodeFile), std::string("Alpha\r\nBeta\r\nGamma\r\n"));
        QCOMPARE(TempFolder::Read(linkFile),
                 std::string("         4         3         0         0         0\r\n"
                             "         1         2         0        10         3\r\n"
                             "         2         3         2        10         1\r\n"
                             "         3         1         0        10        -2\r\n"
                             "         1         3         0         3         1\r\n"));
        ws.Reset();
        QCOMPARE(kav::ReadProblem(ws, nodeFile, linkFile).ShowTo(w->prompts),
                 kav::LoadOutcome::Loaded);
        QCOMPARE(Solve(ws), second);

        // The same problem typed into files by hand, free-format.
        const std::string typedNodes = folder.Write("TYPED.NDE", "Alpha\r\n Beta\r\nGamma\r\n");
        const std::string typedLinks = folder.Write("TYPED.LIN",
                                                    "4 3\r\n1 2 0 10 3\r\n2 3 2 10 1\r\n"
                                                    "3 1 0 10 -2\r\n1 3 0 3 1\r\n");
        ws.Reset();
        QCOMPARE(kav::ReadProblem(ws, typedNodes, typedLinks).ShowTo(w->prompts),
                 kav::LoadOutcome::Loaded);
        QCOMPARE(ws.NodeName[2], std::string("Beta"));
        QCOMPARE(Solve(ws), second);
        QCOMPARE(w->prompts.messages.size(), std::size_t{0});
    }
};

QTEST_MAIN(TestHandBuilt)
#include "tst_handbuilt.moc"
