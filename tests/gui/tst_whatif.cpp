#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "results/TFMWhatIf.h"
#include "solver/Session.h"
#include "solver/SolveRun.h"
#include "support/ScriptedPrompts.h"
#include "workspace/ProblemFiles.h"

// The What If window on the transportation example: the table comes from a
// thread of its own, the preselected link is explained, and Try solves a
// copy while the problem stays as it was.
class TestWhatIf : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        kav::ProtectedFiles loaded;
        QCOMPARE(
            kav::LoadProblemFile(session_.ws, loaded, KAVRILON_SOURCE_DIR "/examples/TRANSPRT.NDE")
                .outcome,
            kav::LoadOutcome::Loaded);
        kav::SolveStatus status = kav::RunOutOfKilter(session_.ws, nullptr);
        kav::RecordSolveOutcome(session_.ws, session_.lastSolve, status);
    }

    void tableSentenceAndTry() {
        TFMWhatIf window(session_);
        window.ShowFor({5, 6}, 5);
        auto* table = window.findChild<QTableWidget*>();
        QTRY_COMPARE(table->rowCount(), 20);
        const QList<QLabel*> labels = window.findChildren<QLabel*>();
        const auto sentence = [&] {
            for (QLabel* label : labels) {
                if (label->text().startsWith(QStringLiteral("Link 5 ")))
                    return label->text();
            }
            return QString();
        };
        QCOMPARE(sentence(),
                 QStringLiteral("Link 5 (PLANT1 -> CITY2) keeps this plan for any cost from 3 to "
                                "8; below 3 more flow goes this way; above 8 less flow goes this "
                                "way; raising its upper bound saves nothing: it is not full; "
                                "raising its lower bound by one costs nothing (for at least 10 "
                                "units)."));
        // Each control says what it is as its label does, without the &.
        for (QPushButton* button : window.findChildren<QPushButton*>())
            QCOMPARE(button->accessibleName(), button->text().remove(QLatin1Char('&')));

        const double total = session_.ws.TotalCost;
        const uint64_t revision = session_.ws.Revision;
        window.findChild<QLineEdit*>()->setText(QStringLiteral("9"));
        window.findChild<QPushButton*>(QStringLiteral("TryButton"))->click();
        bool told = false;
        for (QLabel* label : labels)
            told |=
                label->text().startsWith(QStringLiteral("Tried on a copy: the optimal total "
                                                        "would be 1045 (now 1020)"));
        QVERIFY(told);
        QVERIFY(window.findChild<QListWidget*>()->count() > 0);
        QCOMPARE(session_.ws.TotalCost, total);
        QCOMPARE(session_.ws.Revision, revision);
        if (qEnvironmentVariableIsSet("KAVRILON_WHATIF_SHOT")) {
            const QStringList size = qEnvironmentVariable("KAVRILON_WHATIF_SIZE").split('x');
            window.resize(size.value(0).toInt(), size.value(1).toInt());
            QTest::qWait(200);
            window.grab().save(qEnvironmentVariable("KAVRILON_WHATIF_SHOT"));
        }
    }

  private:
    ScriptedPrompts prompts_;
    kav::Session session_{prompts_};
};

QTEST_MAIN(TestWhatIf)
#include "tst_whatif.moc"
