// Saving over existing files must never do worse than overwriting them would:
// links, owners, modes and hard links stay as they were, and a folder that
// only allows writing its existing files still takes a save.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "ExampleProblems.h"
#include "support/TempFolder.h"
#include "workspace/ProblemFiles.h"
#include "workspace/ProblemWriter.h"

using namespace kav;
namespace fs = std::filesystem;

namespace {

struct stat StatOf(const std::string& name) {
    struct stat info {};
    EXPECT_EQ(::stat(name.c_str(), &info), 0) << name;
    return info;
}

std::string LinkText(const Workspace& ws) {
    return FormatLinkFile(ws, LinkFieldWidth);
}

class ProblemSaving : public ::testing::Test {
  protected:
    void SetUp() override { SmallProblem(ws); }

    TempFolder folder;
    Workspace ws;
};

}  // namespace

TEST_F(ProblemSaving, TwoNamesOfOneFileWriteNothing) {
    const std::string existing = folder.Write("E.NDE", "old");
    fs::create_symlink(existing, folder.File("TO_E.LIN"));
    fs::create_hard_link(existing, folder.File("HARD.LIN"));
    fs::create_symlink("LATER.LIN", folder.File("DANGLING.NDE"));
    const std::string pairs[][2] = {
        {folder.File("X.NDE"), (folder.path() / "." / "X.NDE").string()},
        {folder.File("X.NDE"), (folder.path() / "sub" / ".." / "X.NDE").string()},
        {existing, folder.File("TO_E.LIN")},
        {existing, folder.File("HARD.LIN")},
        {folder.File("DANGLING.NDE"), folder.File("LATER.LIN")},
    };
    const std::size_t entries = folder.EntryCount();
    for (const auto& pair : pairs) {
        EXPECT_EQ(WriteProblemFiles(ws, pair[0], pair[1]).Failure, WriteFailure::SameFile)
            << pair[1];
    }
    EXPECT_EQ(folder.EntryCount(), entries);
    EXPECT_EQ(TempFolder::Read(existing), "old");
}

TEST_F(ProblemSaving, SymbolicLinksAreWrittenThroughEvenToAFileNotYetThere) {
    const std::string real = folder.Write("REAL.NDE", "old");
    fs::create_symlink(real, folder.File("LINKED.NDE"));
    fs::create_directory(folder.File("sub"));
    fs::create_symlink("../NEW.LIN", folder.File("sub/LINKED.LIN"));  // dangling, relative
    ASSERT_TRUE(WriteProblemFiles(ws, folder.File("LINKED.NDE"), folder.File("sub/LINKED.LIN")));
    EXPECT_TRUE(fs::is_symlink(folder.File("LINKED.NDE")));
    EXPECT_TRUE(fs::is_symlink(folder.File("sub/LINKED.LIN")));
    EXPECT_EQ(TempFolder::Read(real), SmallNodeFile);
    EXPECT_EQ(TempFolder::Read(folder.File("NEW.LIN")), LinkText(ws));
}

TEST_F(ProblemSaving, AReplacedFileKeepsItsModeAndOwner) {
    const std::string nodes = folder.Write("M.NDE", "old");
    const std::string links = folder.Write("M.LIN", "old");
    fs::permissions(nodes, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // Root replaces another user's file: the file stays theirs.
    const bool root = ::geteuid() == 0;
    const uid_t nobody = 65534;
    if (root) {
        ASSERT_EQ(::chown(links.c_str(), nobody, nobody), 0);
    }
    ASSERT_TRUE(WriteProblemFiles(ws, nodes, links));
    EXPECT_EQ(StatOf(nodes).st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(StatOf(links).st_uid, nobody);
        EXPECT_EQ(StatOf(links).st_gid, nobody);
    }
    EXPECT_EQ(TempFolder::Read(links), LinkText(ws));
}

TEST_F(ProblemSaving, AFileWithSeveralHardLinksIsWrittenInPlaceSoEveryNameSeesIt) {
    const std::string nodes = folder.Write("H.NDE", std::string(4000, 'x'));  // longer than new
    fs::create_hard_link(nodes, folder.File("OTHER_NAME.NDE"));
    const ino_t inode = StatOf(nodes).st_ino;
    ASSERT_TRUE(WriteProblemFiles(ws, nodes, folder.File("H.LIN")));
    EXPECT_EQ(StatOf(nodes).st_ino, inode);
    EXPECT_EQ(StatOf(nodes).st_nlink, 2u);
    EXPECT_EQ(TempFolder::Read(folder.File("OTHER_NAME.NDE")), SmallNodeFile);
    EXPECT_EQ(folder.EntryCount(), 3u);
}

// The temporary file must not be what makes a long, legal name fail.
TEST_F(ProblemSaving, ANewFileWithANameNearTheLimitSaves) {
    const std::string stem(247, 'n');  // 251 bytes with the extension
    ASSERT_TRUE(WriteProblemFiles(ws, folder.File(stem + ".NDE"), folder.File(stem + ".LIN")));
    EXPECT_EQ(TempFolder::Read(folder.File(stem + ".NDE")), SmallNodeFile);
    EXPECT_EQ(folder.EntryCount(), 2u);
}

namespace {

// A problem whose files need more room than the small one's.
void LargerProblem(Workspace& ws) {
    ProblemBuilder builder(ws);
    for (int k = 0; k < 600; ++k)
        builder.Node("NODE" + std::to_string(k));
    for (int k = 1; k < 600; ++k)
        builder.Link(k, k + 1, 0, 5, 1);
}

// Writes into a file until the file system has no room left.
void FillUp(const std::string& file) {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    const std::string block(4096, 'f');
    while (std::fwrite(block.data(), 1, block.size(), out) == block.size() &&
           std::fflush(out) == 0) {
    }
    std::fclose(out);
}

}  // namespace

// On a full disk every file is written in place only once the room for its
// new text is reserved: a save that does not fit leaves both files byte for
// byte as they were; a same-size save, with no room for a second copy, still
// goes through in place.
TEST(FullDisk, AWriteThatDoesNotFitLeavesTheOldFilesWhole) {
    TempFolder folder;
    const std::string disk = folder.File("disk");
    fs::create_directory(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=128k") != 0) {
        std::printf(
            "SKIPPED: no small tmpfs can be mounted here (%s); the file-size-limit "
            "case stands in for it\n",
            std::strerror(errno));
        GTEST_SKIP();
    }
    struct Unmount {
        std::string at;
        ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{disk};
    Workspace small;
    SmallProblem(small);
    const std::string nodes = disk + "/P.NDE";
    const std::string links = disk + "/P.LIN";
    ASSERT_TRUE(WriteProblemFiles(small, nodes, links));
    fs::create_hard_link(nodes, disk + "/SAME.NDE");  // the node file is written in place
    FillUp(disk + "/filler");

    Workspace larger;
    LargerProblem(larger);
    const WriteResult result = WriteProblemFiles(larger, nodes, links);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.SystemError, ENOSPC);
    EXPECT_EQ(result.FailureText().rfind("[" + links + "]: No space left on device", 0), 0u);
    EXPECT_FALSE(result.AnyPartial());
    EXPECT_EQ(TempFolder::Read(nodes), SmallNodeFile);
    EXPECT_EQ(TempFolder::Read(links), LinkText(small));

    ChangeLink(small, 1, &kav::LinkData::Cost, 9);  // same size, new text
    ASSERT_TRUE(WriteProblemFiles(small, nodes, links));
    EXPECT_EQ(TempFolder::Read(links), LinkText(small));
    EXPECT_EQ(std::distance(fs::directory_iterator(disk), fs::directory_iterator()), 4);
}

// The file-size limit refuses an in-place write the same way a full disk
// does: before anything is changed.
TEST(FullDisk, AFileSizeLimitRefusesAnInPlaceWriteBeforeItStarts) {
    TempFolder folder;
    const std::string nodes = folder.Write("P.NDE", "old nodes");
    const std::string links = folder.Write("P.LIN", "old links");
    fs::create_hard_link(nodes, folder.File("SAME.NDE"));
    Workspace larger;
    LargerProblem(larger);
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = saved;
    limit.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    const WriteResult result = WriteProblemFiles(larger, nodes, links);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(result.SystemError, EFBIG);
    EXPECT_NE(result.FailureText().find("]: File too large"), std::string::npos);
    EXPECT_EQ(TempFolder::Read(nodes), "old nodes");
    EXPECT_EQ(TempFolder::Read(links), "old links");
    EXPECT_EQ(folder.EntryCount(), 3u);
}

// Root may create files in any folder, so these run as an unprivileged user;
// scripts/test.sh does that when it runs as root.
TEST(UnprivilegedSave, AReadOnlyFolderWithWritableFilesIsWrittenInPlace) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root ignores folder permissions; scripts/test.sh runs this as a test user";
    TempFolder folder;
    Workspace ws;
    SmallProblem(ws);
    const std::string nodes = folder.Write("W.NDE", std::string(4000, 'x'));
    const std::string links = folder.Write("W.LIN", "old links");
    const std::string locked = folder.Write("R.NDE", "locked");
    fs::permissions(locked, fs::perms::owner_read);
    fs::permissions(folder.path(), fs::perms::owner_read | fs::perms::owner_exec);

    ASSERT_TRUE(WriteProblemFiles(ws, nodes, links));
    EXPECT_EQ(TempFolder::Read(nodes), SmallNodeFile);
    EXPECT_EQ(TempFolder::Read(links), LinkText(ws));

    // A file that cannot be written even in place fails the save before the
    // other file, already opened in place, is changed.
    ChangeLink(ws, 1, &kav::LinkData::Upper, 77);
    EXPECT_FALSE(WriteProblemFiles(ws, locked, links));
    EXPECT_EQ(TempFolder::Read(links).find("77"), std::string::npos);
    EXPECT_EQ(TempFolder::Read(locked), "locked");
}

TEST(UnprivilegedSave, AFileOfAnotherOwnerIsWrittenInPlaceAndStaysTheirs) {
    const char* fixture = std::getenv("KAVRILON_FOREIGN_FILES");
    if (fixture == nullptr || ::geteuid() == 0) {
        GTEST_SKIP() << "needs an unprivileged user and KAVRILON_FOREIGN_FILES: a folder it may "
                        "write holding F.NDE and F.LIN of another owner, mode 0666 (made by "
                        "scripts/test.sh)";
    }
    const std::string nodes = (fs::path(fixture) / "F.NDE").string();
    const std::string links = (fs::path(fixture) / "F.LIN").string();
    const struct stat before = StatOf(links);
    ASSERT_NE(before.st_uid, ::geteuid());
    Workspace ws;
    SmallProblem(ws);
    ASSERT_TRUE(WriteProblemFiles(ws, nodes, links));
    const struct stat after = StatOf(links);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0666u);
    EXPECT_EQ(TempFolder::Read(links), LinkText(ws));
    EXPECT_EQ(TempFolder::Read(nodes), SmallNodeFile);
    EXPECT_EQ(std::distance(fs::directory_iterator(fixture), fs::directory_iterator()), 2);
}

// A streamed file keeps WriteFile's promises: a regular file holds its old
// text until the new one is complete, an abandoned one is left as it was, and
// the problem's files and missing folders are refused with nothing written.
TEST(StreamedFile, ReplacesARegularFileOnlyWhenComplete) {
    TempFolder folder;
    const std::string target = folder.Write("T.jsonl", "old");
    ::chmod(target.c_str(), 0640);
    const std::string big(100000, 'x');  // more than one buffer's worth
    {
        StreamedFile file;
        ASSERT_TRUE(file.Open(target));
        ASSERT_TRUE(file.Write(big));
        EXPECT_EQ(TempFolder::Read(target), "old");
        ASSERT_TRUE(file.Finish());
    }
    EXPECT_EQ(TempFolder::Read(target), big);
    EXPECT_EQ(StatOf(target).st_mode & 07777, 0640u);
    {
        StreamedFile abandoned;
        ASSERT_TRUE(abandoned.Open(target));
        abandoned.Write(big + big);
    }
    EXPECT_EQ(TempFolder::Read(target), big);
    EXPECT_EQ(folder.EntryCount(), 1u);

    EXPECT_EQ(TempFolder::Read(target), big);
}

// Every write refuses the problem's own files (also through a symbolic link)
// before it touches anything, and says why in the same terms.
TEST(ProtectedFiles, EveryWriteRefusesThemAndWritesNothing) {
    TempFolder folder;
    const std::string problem = folder.Write("P.LIN", "problem");
    fs::create_symlink(problem, folder.File("TO_P.LIN"));
    const struct {
        std::string name;
        WriteFailure failure;
        int error;
    } refused[] = {
        {problem, WriteFailure::ProtectedFile, 0},
        {folder.File("TO_P.LIN"), WriteFailure::ProtectedFile, 0},
        {folder.File("no/T.jsonl"), WriteFailure::System, ENOENT},
        {folder.path().string(), WriteFailure::System, EISDIR},
    };
    for (const auto& r : refused) {
        StreamedFile file;
        const WriteResult opened = file.Open(r.name, {problem});
        EXPECT_EQ(opened.Failure, r.failure) << r.name;
        EXPECT_EQ(opened.SystemError, r.error) << r.name;
        EXPECT_FALSE(file.Write("new"));
        const WriteResult written =
            WriteFiles({{folder.File("OTHER"), "x"}, {r.name, "new"}}, {problem});
        EXPECT_EQ(written.Failure, r.failure) << r.name;
        EXPECT_EQ(written.SystemError, r.error) << r.name;
    }
    EXPECT_EQ(TempFolder::Read(problem), "problem");
    EXPECT_EQ(folder.EntryCount(), 2u);
    EXPECT_EQ(WriteFile(problem, "new", {problem}).FailureText(), ProtectedFileText(problem));
}

// A new file gets the mode the umask leaves, the umask of the moment, read
// without changing it.
TEST(NewFile, TakesItsModeFromTheUmaskOfTheMoment) {
    TempFolder folder;
    const mode_t before = ::umask(027);
    for (const auto& [mask, mode] :
         {std::pair{mode_t{027}, 0640u}, std::pair{mode_t{077}, 0600u}}) {
        ::umask(mask);
        const std::string file = folder.File("new" + std::to_string(mode));
        ASSERT_TRUE(WriteFile(file, "text"));
        EXPECT_EQ(StatOf(file).st_mode & 07777, mode);
        EXPECT_EQ(::umask(mask), mask);
    }
    ::umask(before);
}

// A streamed write into a file of several names never splits them: the old
// text stays until the new one is complete, then both names show it.
TEST(StreamedFile, NeverSplitsAFileWithSeveralHardLinks) {
    TempFolder folder;
    const std::string target = folder.Write("T.jsonl", "old text");
    const std::string other = folder.File("OTHER.jsonl");
    fs::create_hard_link(target, other);
    StreamedFile file;
    ASSERT_TRUE(file.Open(target));
    file.Write("new");
    EXPECT_EQ(TempFolder::Read(other), "old text");
    ASSERT_TRUE(file.Finish());
    EXPECT_EQ(TempFolder::Read(other), "new");
    EXPECT_EQ(TempFolder::Read(target), "new");
    EXPECT_EQ(StatOf(target).st_nlink, 2u);
}

// A named pipe nobody reads is refused at once (the windows must not hang);
// with a reader, the writes wait for it, however much there is to write.
TEST(NamedPipe, WithoutAReaderIsRefusedAndWithOneTakesEverything) {
    TempFolder folder;
    const std::string pipe = folder.File("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const WriteResult alone = WriteFile(pipe, "text");
    EXPECT_EQ(alone.Failure, WriteFailure::NoReader);
    EXPECT_EQ(alone.FailureText(), "[" + pipe + "]: it is a named pipe that nothing is reading");
    StreamedFile streamed;
    EXPECT_EQ(streamed.Open(pipe).Failure, WriteFailure::NoReader);

    const std::string text(1 << 20, 'x');  // far more than the pipe holds
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_EQ(::fcntl(reader, F_SETFL, 0), 0);
    std::string received;
    // Until the writer opens the pipe a read finds no writer and returns 0:
    // only a 0 after some text is the end.
    std::thread reading([&] {
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(reader, buffer, sizeof buffer);
            if (n > 0)
                received.append(buffer, static_cast<std::size_t>(n));
            else if (n < 0 || !received.empty())
                break;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    const WriteResult written = WriteFile(pipe, text);
    reading.join();
    ::close(reader);
    EXPECT_TRUE(written) << written.FailureText();
    EXPECT_EQ(received.size(), text.size());
}
