#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <optional>
#include <string>

#include "ExampleProblems.h"
#include "results/ResultCsv.h"
#include "support/ScriptedPrompts.h"
#include "support/TempFolder.h"
#include "workspace/DimacsFormat.h"
#include "workspace/FileChoice.h"
#include "workspace/ProblemFiles.h"

using namespace kav;

namespace {

const std::string NodeOpenTitle = "Input the name of the file with the NODE information";
const std::string LinkOpenTitle = "Input the name of the file with LINK information";
const std::string NodeSaveTitle = "Specify the file in which to store the NODE information";
const std::string LinkSaveTitle = "Specify the file in which to store the LINK information";
const std::string NotSavedText = "Files will not be saved ... WARNING";
const std::string WriteErrorText = "<<< Error Writing File ... File Not Saved >>>";

using Filters = std::vector<std::pair<std::string, std::string>>;

std::string Missing(const std::string& name) {
    return "File [" + name + "] does not exist... Try again.";
}
std::string Replace(const std::string& name) {
    return "File [" + name + "] exists.... Do you want to replace it?";
}
std::string SameFile(const std::string& name) {
    return "File [" + name +
           "] cannot hold both the NODE and the LINK information... Choose another name.";
}

class ProblemDialogs : public ::testing::Test {
  protected:
    // A Workspace holding the three-node problem, with pending changes.
    void MakeProblem() {
        ScriptedPrompts quiet;
        ASSERT_EQ(ReadProblem(ws, folder.Write("SRC.NDE", SmallNodeFile),
                              folder.Write("SRC.LIN", SmallLinkFile))
                      .ShowTo(quiet),
                  LoadOutcome::Loaded);
        SetFlow(ws, 1, 4);
        SetAllPending(ws);
    }

    TempFolder folder;
    Workspace ws;
    ScriptedPrompts prompts;
    FileQuestionsThrough questions{prompts};
    ProtectedFiles files;
    SaveDialogMemory dialogs;
};

}  // namespace

TEST_F(ProblemDialogs, LoadTakesTheLinkFileOfTheSameNameWithoutAsking) {
    const std::string nodes = folder.Write("NET.NDE", SmallNodeFile);
    folder.Write("NET.LIN", SmallLinkFile);
    prompts.files = {nodes};
    NoteSolved(ws, false);
    NoteChangesCommitted(ws);
    EXPECT_EQ(LoadProblem(ws, files, questions).ShowTo(prompts), LoadOutcome::Loaded);
    ASSERT_EQ(prompts.events, std::vector<std::string>{"open " + NodeOpenTitle});
    const FileDialogRequest& dialog = prompts.openDialogs[0];
    EXPECT_EQ(dialog.fileName, "");
    EXPECT_EQ(dialog.filters, (Filters{{"Node Files", "*.NDE"},
                                       {"All Files", "*.*"},
                                       {"DIMACS min-cost files", "*.min"}}));
    EXPECT_EQ(ws.LinkCount, 2);
    EXPECT_EQ(ws.NodeName[3], "C");
    EXPECT_EQ(ws.LinkFileName, folder.File("NET.LIN"));
    EXPECT_FALSE(ws.DataNotSaved || ws.ResultsNotShown);
}

TEST_F(ProblemDialogs, LoadAsksAgainForMissingFilesAndForTheLinkFileWhenItsTwinIsMissing) {
    const std::string nodes = folder.Write("NET.NDE", SmallNodeFile);
    const std::string links = folder.Write("OTHER.LIN", SmallLinkFile);
    std::filesystem::create_directory(folder.File("FOLDER.NDE"));
    prompts.files = {folder.File("NONE.NDE"), folder.File("FOLDER.NDE"), nodes,
                     folder.File("NONE.LIN"), links};
    EXPECT_EQ(LoadProblem(ws, files, questions).ShowTo(prompts), LoadOutcome::Loaded);
    EXPECT_EQ(prompts.events, (std::vector<std::string>{
                                  "open " + NodeOpenTitle,
                                  "message " + Missing(folder.File("NONE.NDE")),
                                  "open " + NodeOpenTitle,
                                  "message " + Missing(folder.File("FOLDER.NDE")),
                                  "open " + NodeOpenTitle,
                                  "open " + LinkOpenTitle,
                                  "message " + Missing(folder.File("NONE.LIN")),
                                  "open " + LinkOpenTitle,
                              }));
    EXPECT_EQ(prompts.messages[0].kind, MsgKind::Error);
    EXPECT_EQ(prompts.messages[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(prompts.openDialogs[3].filters,
              (Filters{{"Link Data Files", "*.LIN"}, {"All Files", "*.*"}}));
    for (const FileDialogRequest& dialog : prompts.openDialogs)
        EXPECT_EQ(dialog.fileName, "");
    EXPECT_EQ(ws.NodeFileName, nodes);
    EXPECT_EQ(ws.LinkFileName, links);
}

TEST_F(ProblemDialogs, CancellingALoadChangesNothingAndShowsNothing) {
    MakeProblem();
    prompts.files = {std::nullopt};
    EXPECT_EQ(LoadProblem(ws, files, questions).ShowTo(prompts), LoadOutcome::Cancelled);
    EXPECT_TRUE(prompts.messages.empty() && prompts.beeps.empty());
    EXPECT_EQ(ws.LinkCount, 2);
    EXPECT_EQ(ws.LinkFlow[1], 4);
    EXPECT_TRUE(ws.DataNotSaved && ws.ResultsNotShown && ws.NetworkChanged);
    EXPECT_EQ(ws.NodeFileName, "");

    // Cancelling the link dialog reads nothing either.
    prompts.Clear();
    prompts.files = {folder.Write("LONE.NDE", "X\r\n"), std::nullopt};
    EXPECT_EQ(LoadProblem(ws, files, questions).ShowTo(prompts), LoadOutcome::Cancelled);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(ws.NodeName[1], "A");
    EXPECT_TRUE(ws.DataNotSaved);
}

TEST_F(ProblemDialogs, SaveWritesBothFilesAndClearsOnlyDataNotSaved) {
    MakeProblem();
    const std::string nodes = folder.File("OUT.NDE");
    prompts.files = {nodes};
    EXPECT_EQ(SaveProblem(ws, files, questions, dialogs).ShowTo(prompts), SaveOutcome::Saved);
    EXPECT_EQ(prompts.events, std::vector<std::string>{"save " + NodeSaveTitle});
    EXPECT_EQ(TempFolder::Read(nodes), SmallNodeFile);
    EXPECT_EQ(TempFolder::Read(folder.File("OUT.LIN")),
              "         2         3         0         0         0\r\n"
              "         1         2         0        10         5\r\n"
              "         2         3         0 2147483647        -3\r\n");
    EXPECT_FALSE(ws.DataNotSaved);
    EXPECT_TRUE(ws.ResultsNotShown && ws.NetworkChanged);
    EXPECT_EQ(ws.LinkFlow[1], 4);
    EXPECT_EQ(ws.LinkFileName, folder.File("OUT.LIN"));
}

TEST_F(ProblemDialogs, ADimacsSaveWritesOneFileThatLoadDataReadsBack) {
    MakeProblem();
    // A circulation, so that the reader joins no node to a SUPPLY node.
    AppendLink(ws, LinkData{3, 1, 0, 10, 1});
    const std::string file = folder.File("NET.min");
    prompts.files = {file, file};
    ASSERT_EQ(SaveProblem(ws, files, questions, dialogs).ShowTo(prompts), SaveOutcome::Saved);
    EXPECT_EQ(prompts.events, std::vector<std::string>{"save " + NodeSaveTitle});
    EXPECT_FALSE(std::filesystem::exists(folder.File("NET.LIN")));
    EXPECT_FALSE(ws.DataNotSaved);

    Workspace loaded;
    ASSERT_EQ(LoadProblem(loaded, files, questions).ShowTo(prompts), LoadOutcome::Loaded);
    EXPECT_EQ(prompts.events.back(), "open " + NodeOpenTitle);
    EXPECT_EQ(FormatDimacsProblem(loaded), FormatDimacsProblem(ws));
    EXPECT_EQ(loaded.NodeFileName, file);
}

// The chosen file type decides, then the file's content, then the extension.
TEST_F(ProblemDialogs, TheDimacsFileTypeIsFollowedWhateverTheExtension) {
    MakeProblem();
    struct Case {
        std::string typed;
        std::string filter;
        std::string written;  // the DIMACS file the save makes
    };
    const std::vector<Case> saves = {
        {"E.NDE", DimacsFilterName, "E.NDE"},
        {"NET", DimacsFilterName, "NET.min"},
        {"F.dmx", DimacsFilterName, "F.dmx"},
        {"G.min", "All Files", "G.min"},
    };
    for (const Case& c : saves) {
        prompts.Clear();
        prompts.files = {folder.File(c.typed)};
        prompts.filters = {c.filter};
        ASSERT_EQ(SaveProblem(ws, files, questions, dialogs).ShowTo(prompts), SaveOutcome::Saved)
            << c.typed;
        EXPECT_EQ(TempFolder::Read(folder.File(c.written)), FormatDimacsProblem(ws)) << c.typed;
        EXPECT_EQ(ws.NodeFileName, folder.File(c.written));
        EXPECT_EQ(ws.LinkFileName, "");
    }
    EXPECT_FALSE(std::filesystem::exists(folder.File("E.LIN")));

    // Load: by the chosen type, or by content under any type.
    const std::string text = "c from elsewhere\np min 2 2\na 1 2 0 1 1\na 2 1 0 1 1\n";
    for (const auto& [file, filter] :
         {std::pair{folder.Write("A.dmx", text), std::string(DimacsFilterName)},
          std::pair{folder.Write("B.net", text), std::string("Node Files")}}) {
        Workspace loaded;
        prompts.Clear();
        prompts.files = {file};
        prompts.filters = {filter};
        EXPECT_EQ(LoadProblem(loaded, files, questions).ShowTo(prompts), LoadOutcome::Loaded)
            << file;
        EXPECT_EQ(loaded.LinkCount, 2);
        EXPECT_EQ(prompts.openDialogs.size(), 1u);
    }
}

// A save names its files in the Workspace before it writes them, but the
// files the problem was loaded from stay protected from the exports until a
// save succeeds; a successful one protects its own files instead.
TEST_F(ProblemDialogs, OnlyASuccessfulSaveMovesTheProtectionOffTheLoadedFiles) {
    const std::string nodes = folder.Write("NET.NDE", SmallNodeFile);
    const std::string links = folder.Write("NET.LIN", SmallLinkFile);
    ASSERT_EQ(LoadProblemFile(ws, files, nodes).outcome, LoadOutcome::Loaded);
    const std::string saved = folder.File("SAVED.NDE");
    const struct {
        std::optional<std::string> choice;
        SaveOutcome outcome;
        std::vector<std::string> protectedFiles;
    } saves[] = {
        {std::nullopt, SaveOutcome::Cancelled, {nodes, links}},
        {folder.File("no/X.NDE"), SaveOutcome::Failed, {nodes, links}},
        {saved, SaveOutcome::Saved, {saved, folder.File("SAVED.LIN")}},
    };
    for (const auto& c : saves) {
        prompts.Clear();
        prompts.files = {c.choice};
        EXPECT_EQ(SaveProblem(ws, files, questions, dialogs).outcome, c.outcome);
        EXPECT_EQ(files.Names(), c.protectedFiles);
        for (const std::string& file : c.protectedFiles) {
            prompts.Clear();
            prompts.files = {file, std::nullopt};
            EXPECT_TRUE(ExportResults(ws, ResultLists{}, SolutionState{}, files.Names(), questions)
                            .Empty());
            ASSERT_EQ(prompts.messages.size(), 1u) << file;
            EXPECT_EQ(prompts.messages[0].text, ProtectedFileText(file));
        }
    }
}

TEST_F(ProblemDialogs, CancellingASaveWarnsAndWritesNothing) {
    MakeProblem();
    prompts.files = {std::nullopt};
    EXPECT_EQ(SaveProblem(ws, files, questions, dialogs).ShowTo(prompts), SaveOutcome::Cancelled);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, NotSavedText);
    EXPECT_EQ(prompts.messages[0].kind, MsgKind::Warning);
    EXPECT_TRUE(ws.DataNotSaved);
    EXPECT_EQ(ws.NodeFileName, "");
}

TEST_F(ProblemDialogs, SaveAsksBeforeReplacingAndShowsTheLinkDialogWhenItsTwinExists) {
    MakeProblem();
    const std::string nodes = folder.Write("NET.NDE", "old nodes");
    const std::string links = folder.Write("NET.LIN", "old links");
    const std::string other = folder.Write("OTHER.LIN", "other links");
    // Node file: No, choose again, Yes. Link file: its twin exists, so the link
    // dialog opens; first a file that exists (No), then the twin itself (Yes).
    prompts.files = {nodes, nodes, other, links};
    prompts.answers = {Answer::No, Answer::Yes, Answer::No, Answer::Yes};
    EXPECT_EQ(SaveProblem(ws, files, questions, dialogs).ShowTo(prompts), SaveOutcome::Saved);
    EXPECT_EQ(prompts.events, (std::vector<std::string>{
                                  "save " + NodeSaveTitle,
                                  "message " + Replace(nodes),
                                  "save " + NodeSaveTitle,
                                  "message " + Replace(nodes),
                                  "save " + LinkSaveTitle,
                                  "message " + Replace(other),
                                  "save " + LinkSaveTitle,
                                  "message " + Replace(links),
                              }));
    EXPECT_EQ(prompts.messages[0].kind, MsgKind::Confirmation);
    EXPECT_EQ(prompts.messages[0].buttons, MsgButtons::YesNo);
    // The save dialogs show the name chosen the time before; the link one starts with *.LIN.
    EXPECT_EQ(prompts.saveDialogs[0].fileName, "");
    EXPECT_EQ(prompts.saveDialogs[1].fileName, nodes);
    EXPECT_EQ(prompts.saveDialogs[2].fileName, "*.LIN");
    EXPECT_EQ(prompts.saveDialogs[3].fileName, other);
    EXPECT_EQ(prompts.saveDialogs[0].filters, (Filters{{"Node Data Files", "*.NDE"},
                                                       {"All Files", "*.*"},
                                                       {"DIMACS min-cost files", "*.min"}}));
    EXPECT_EQ(prompts.saveDialogs[2].filters,
              (Filters{{"Link Data Files", "*.LIN"}, {"All Files", "*.*"}}));
    EXPECT_EQ(TempFolder::Read(nodes), SmallNodeFile);
    EXPECT_EQ(TempFolder::Read(other), "other links");
    EXPECT_EQ(TempFolder::Read(links).substr(0, 10), "         2");

    // A later save starts from the names chosen before.
    prompts.Clear();
    prompts.files = {std::nullopt};
    SaveProblem(ws, files, questions, dialogs).ShowTo(prompts);
    EXPECT_EQ(prompts.saveDialogs[0].fileName, nodes);
}

TEST_F(ProblemDialogs, CancellingTheLinkDialogOfASaveWarnsAndWritesNothing) {
    MakeProblem();
    const std::string nodes = folder.Write("NET.NDE", "old nodes");
    folder.Write("NET.LIN", "old links");
    prompts.files = {nodes, std::nullopt};
    prompts.answers = {Answer::Yes};
    EXPECT_EQ(SaveProblem(ws, files, questions, dialogs).ShowTo(prompts), SaveOutcome::Cancelled);
    EXPECT_EQ(prompts.messages.back().text, NotSavedText);
    EXPECT_EQ(TempFolder::Read(nodes), "old nodes");
    EXPECT_TRUE(ws.DataNotSaved);
}

TEST_F(ProblemDialogs, AFailedSaveKeepsTheOldFilesAndLeavesDataNotSaved) {
    MakeProblem();
    // The link file's name is taken by a folder: nothing can be written there.
    const std::string nodes = folder.Write("NET.NDE", "old nodes");
    std::filesystem::create_directory(folder.File("NET.LIN"));
    const std::size_t entries = folder.EntryCount();
    prompts.files = {nodes};
    prompts.answers = {Answer::Yes};
    EXPECT_EQ(SaveProblem(ws, files, questions, dialogs).ShowTo(prompts), SaveOutcome::Failed);
    ASSERT_GE(prompts.events.size(), 2u);
    EXPECT_EQ(prompts.events[prompts.events.size() - 2], "beep 8");
    // The failed file and the reason, then what each file holds: nobody is
    // told to delete the last good copy.
    const std::string links = folder.File("NET.LIN");
    EXPECT_EQ(prompts.events.back(), "message " + WriteErrorText + "\r[" + links +
                                         "]: Is a directory\r[" + links + "] was not written.\r[" +
                                         nodes + "] still holds its old content.");
    EXPECT_EQ(prompts.messages.back().kind, MsgKind::Warning);
    EXPECT_EQ(TempFolder::Read(nodes), "old nodes");
    EXPECT_EQ(folder.EntryCount(), entries);  // no temporary file left behind
    EXPECT_TRUE(ws.DataNotSaved);
}

// Only a file that may really be partial gets the advice to delete: here a
// device that is always full (made in the test's own folder) takes the links.
TEST_F(ProblemDialogs, AWriteThatStopsPartWayTellsWhichFileMayBePartial) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "making a device needs root";
    MakeProblem();
    const std::string nodes = folder.File("N.NDE");
    const std::string links = folder.File("N.LIN");
    ASSERT_EQ(::mknod(links.c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
    prompts.files = {nodes};
    EXPECT_EQ(SaveProblem(ws, files, questions, dialogs).ShowTo(prompts), SaveOutcome::Failed);
    EXPECT_EQ(prompts.messages.back().text, WriteErrorText +
                                                "\r<<<  FILES MAY BE PARTIALLY WRITTEN, BUT  >>>\r"
                                                "<<<  THEY SHOULD BE IGNORED AND DELETED.  >>>\r[" +
                                                links + "]: No space left on device\r[" + links +
                                                "] may be partially written.\r[" + nodes +
                                                "] was not written.");
    EXPECT_FALSE(std::filesystem::exists(nodes));
    EXPECT_TRUE(ws.DataNotSaved);
}

TEST_F(ProblemDialogs, WriteErrorsNeverTouchTheTargets) {
    MakeProblem();
    const std::string nodes = folder.Write("NET.NDE", "old nodes");
    const std::string links = folder.Write("NET.LIN", "old links");
    std::filesystem::create_directory(folder.File("DIR.NDE"));
    EXPECT_FALSE(WriteProblemFiles(ws, folder.File("DIR.NDE"), links));
    EXPECT_FALSE(WriteProblemFiles(ws, nodes, folder.File("no/such/folder.LIN")));
    EXPECT_FALSE(WriteProblemFiles(ws, nodes, ""));
    EXPECT_EQ(TempFolder::Read(nodes), "old nodes");
    EXPECT_EQ(TempFolder::Read(links), "old links");
    EXPECT_EQ(folder.EntryCount(), 5u);  // SRC.NDE, SRC.LIN, NET.NDE, NET.LIN, DIR.NDE
}

TEST_F(ProblemDialogs, ASaveWhoseTwoNamesAreOneFileIsRefusedAndTheNodeDialogComesBack) {
    MakeProblem();
    // "P.LIN" as the node file gives "P.LIN" as the link file; then the link
    // dialog picks the node file again under another spelling.
    const std::string sameName = folder.File("P.LIN");
    const std::string nodes = folder.Write("Q.NDE", "old nodes");
    folder.Write("Q.LIN", "old links");
    prompts.files = {sameName, nodes, (folder.path() / "." / "Q.NDE").string(),
                     folder.File("NEW.NDE")};
    prompts.answers = {Answer::Yes, Answer::Yes};
    EXPECT_EQ(SaveProblem(ws, files, questions, dialogs).ShowTo(prompts), SaveOutcome::Saved);
    EXPECT_EQ(prompts.events,
              (std::vector<std::string>{
                  "save " + NodeSaveTitle, "message " + SameFile(sameName), "save " + NodeSaveTitle,
                  "message " + Replace(nodes), "save " + LinkSaveTitle,
                  "message " + Replace((folder.path() / "." / "Q.NDE").string()),
                  "message " + SameFile(nodes), "save " + NodeSaveTitle}));
    EXPECT_EQ(prompts.messages[0].kind, MsgKind::Error);
    EXPECT_FALSE(std::filesystem::exists(sameName));
    EXPECT_EQ(TempFolder::Read(nodes), "old nodes");
    EXPECT_EQ(TempFolder::Read(folder.File("NEW.LIN")).substr(0, 10), "         2");
    EXPECT_FALSE(ws.DataNotSaved);
}

TEST_F(ProblemDialogs, ALoadWhoseTwoNamesAreOneFileIsRefusedAndKeepsTheProblem) {
    MakeProblem();
    const std::string linksAsNodes = folder.Write("NONODE.LIN", SmallLinkFile);
    prompts.files = {linksAsNodes};
    EXPECT_EQ(LoadProblem(ws, files, questions).ShowTo(prompts), LoadOutcome::Refused);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(
        prompts.messages[0].text,
        "File [" + linksAsNodes + "] cannot be both the NODE file and the LINK file... Try again.");
    EXPECT_EQ(prompts.messages[0].kind, MsgKind::Error);
    EXPECT_EQ(ws.NodeName[1], "A");
    EXPECT_EQ(ws.LinkFlow[1], 4);
    EXPECT_TRUE(ws.DataNotSaved && ws.ResultsNotShown && ws.NetworkChanged);
}

// Names are case-sensitive here; a pair saved elsewhere as prob.nde / prob.lin
// still belongs together when prob.LIN does not exist.
TEST_F(ProblemDialogs, ALinkFileWhoseExtensionDiffersOnlyInCaseIsTakenWhenItIsTheOnlyOne) {
    const std::string nodes = folder.Write("prob.nde", SmallNodeFile);
    const std::string links = folder.Write("prob.lin", SmallLinkFile);
    EXPECT_EQ(MatchingLinkFile(nodes), links);
    prompts.files = {nodes};
    EXPECT_EQ(LoadProblem(ws, files, questions).ShowTo(prompts), LoadOutcome::Loaded);
    EXPECT_EQ(prompts.events, std::vector<std::string>{"open " + NodeOpenTitle});
    EXPECT_EQ(ws.LinkFileName, links);

    // Saving goes to that file too, through the link dialog and its question,
    // instead of creating prob.LIN beside it.
    prompts.Clear();
    prompts.files = {nodes, links};
    prompts.answers = {Answer::Yes, Answer::Yes};
    EXPECT_EQ(SaveProblem(ws, files, questions, dialogs).ShowTo(prompts), SaveOutcome::Saved);
    EXPECT_EQ(prompts.events.back(), "message " + Replace(links));
    EXPECT_FALSE(std::filesystem::exists(folder.File("prob.LIN")));

    // With two candidates neither is guessed: the link dialog asks.
    folder.Write("prob.Lin", SmallLinkFile);
    EXPECT_EQ(MatchingLinkFile(nodes), folder.File("prob.LIN"));
    EXPECT_EQ(MatchingLinkFile(folder.File("PROB.nde")), folder.File("PROB.LIN"));  // stem exact
}

TEST_F(ProblemDialogs, FileNamesReachTheMessagesAsTheSystemGaveThem) {
    // "Zürich" in UTF-8, the platform's encoding of file names.
    const std::filesystem::path zurich = folder.path() / "Z\xC3\xBCrich";
    std::filesystem::create_directory(zurich);
    const std::string missing = (zurich / "NONE.NDE").string();
    prompts.files = {missing, std::nullopt};
    LoadProblem(ws, files, questions).ShowTo(prompts);
    EXPECT_EQ(prompts.messages.at(0).text, Missing(missing));
    EXPECT_NE(prompts.messages[0].text.find("/Z\xC3\xBCrich/NONE.NDE]"), std::string::npos);
}

TEST(DeriveLinkFileName, ReplacesTheLastThreeCharacters) {
    EXPECT_EQ(DeriveLinkFileName("/data/PROB.NDE"), "/data/PROB.LIN");
    EXPECT_EQ(DeriveLinkFileName("prob.nde"), "prob.LIN");
    EXPECT_EQ(DeriveLinkFileName("PROB.TXTX"), "PROB.TLIN");
    EXPECT_EQ(DeriveLinkFileName("AB"), "LIN");
}

// A load's messages travel in its result, in order, with their kinds and
// beeps; nothing is shown until the caller shows them.
TEST(LoadResult, CarriesEachMessageWithItsKindAndBeepInOrder) {
    TempFolder folder;
    Workspace ws;
    ProtectedFiles files;
    const std::string missing = folder.File("NONE.NDE");
    const std::string same = folder.Write("P.NDE", "x");
    const auto notices = [](const LoadResult& result) {
        std::vector<std::string> shown;
        for (const Notice& notice : result.report.Notices())
            shown.push_back(notice.IsBeep() ? "beep " + std::to_string(notice.beep)
                                            : std::to_string(static_cast<int>(notice.kind)) + " " +
                                                  notice.text);
        return shown;
    };
    const std::string error = std::to_string(static_cast<int>(MsgKind::Error)) + " ";
    const std::string warning = std::to_string(static_cast<int>(MsgKind::Warning)) + " ";
    const struct {
        LoadResult result;
        LoadOutcome outcome;
        std::vector<std::string> notices;
    } cases[] = {
        {LoadProblemFile(ws, files, missing), LoadOutcome::Cancelled, {error + Missing(missing)}},
        {ReadProblem(ws, same, same),
         LoadOutcome::Refused,
         {error + "File [" + same +
          "] cannot be both the NODE file and the LINK file... Try again."}},
        {ReadDimacsFile(ws, missing),
         LoadOutcome::Refused,
         {warning + "Cannot read the DIMACS file [" + missing +
              "]\rthe file could not be read\rThe problem in memory is unchanged.",
          "beep 8"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.result.outcome, c.outcome);
        EXPECT_EQ(notices(c.result), c.notices);
    }
}

// The one way a file to write is chosen: the problem's own files are refused,
// an existing file is replaced only after a Yes, and every refusal brings the
// dialog back until a name is accepted or the dialog is cancelled.
TEST(ChooseFileToWrite, RefusesOwnFilesAndAsksBeforeReplacing) {
    TempFolder folder;
    const std::string own = folder.Write("P.csv", "nodes");  // the problem's own file
    const std::string old = folder.Write("old.csv", "old");
    const std::string fresh = folder.File("new.csv");
    const std::string dir = folder.File("dir.csv");
    std::filesystem::create_directory(dir);
    const std::string save = "save Export";
    const auto replace = [](const std::string& name) {
        return "message " + Replace("<" + name + ">");
    };
    const struct {
        std::deque<std::optional<std::string>> files;
        std::deque<Answer> answers;
        std::string chosen;
        std::vector<std::string> events;
    } cases[] = {
        {{std::nullopt}, {}, "", {save}},
        {{""}, {}, "", {save}},
        {{own, fresh}, {}, fresh, {save, "message " + ProtectedFileText("<" + own + ">"), save}},
        {{old, old}, {Answer::No, Answer::Yes}, old, {save, replace(old), save, replace(old)}},
        {{old, std::nullopt}, {Answer::No}, "", {save, replace(old), save}},
        // A folder cannot be replaced: no question, its write says why.
        {{dir}, {}, dir, {save}},
        // The name is checked as it will be written, with its extension.
        {{folder.File("old")}, {Answer::Yes}, old, {save, replace(old)}},
    };
    FileToWrite request;
    request.dialog = [] { return FileDialogRequest{"Export", {}, ""}; };
    request.protectedFiles = {own};
    request.shown = [](const std::string& name) { return "<" + name + ">"; };
    request.adjust = [](const ChosenFile& chosen) {
        const std::string& name = chosen.name;
        return name.size() > 4 && name.compare(name.size() - 4, 4, ".csv") == 0 ? name
                                                                                : name + ".csv";
    };
    for (const auto& c : cases) {
        ScriptedPrompts prompts;
        prompts.files = c.files;
        prompts.answers = c.answers;
        FileQuestionsThrough questions(prompts);
        EXPECT_EQ(ChooseFileToWrite(questions, request), c.chosen);
        EXPECT_EQ(prompts.events, c.events);
        EXPECT_EQ(prompts.unscripted, 0);
    }
    EXPECT_EQ(TempFolder::Read(own), "nodes");
}
