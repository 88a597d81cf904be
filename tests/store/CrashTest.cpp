// A process that saves an installer again and again is killed at random moments: every file it
// writes is always wholly as it was before a save or wholly as after it.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

const std::string kTool = std::string(KIVO_BINARY_DIR) + "/kivo_save_loop";
const std::string kSample = std::string(KIVO_SOURCE_DIR) + "/examples/sample-installer";

struct Child {
    pid_t pid = -1;
    int out = -1;  // the read end of its standard output
};

Child Start(const std::string& dir, const std::string& exeDir, const char* mode) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        execl(kTool.c_str(), kTool.c_str(), dir.c_str(), exeDir.c_str(), mode,
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    return {pid, fds[0]};
}

// The next line the child prints; empty when it ended first.
std::string ReadLine(int fd) {
    std::string line;
    char c;
    while (read(fd, &c, 1) == 1 && c != '\n') line += c;
    return line;
}

int Wait(Child& c) {
    int status = 0;
    waitpid(c.pid, &status, 0);
    close(c.out);
    return status;
}

// What TAVIN.ini and Setup.iss hold after one save of each state, from a fresh copy of the
// sample installer.
std::pair<std::string, std::string> SavedState(const std::string& exeDir, const char* mode) {
    TempDir scratch;
    CopyTree(kSample, scratch.path());
    Child c = Start(scratch.path(), exeDir, mode);
    int status = Wait(c);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "state " << mode;
    return {ReadFileBytes(scratch / "TAVIN.ini"), ReadFileBytes(scratch / "Setup.iss")};
}

TEST(CrashTest, AKilledSaveLeavesEveryFileWholeBeforeOrAfter) {
    ASSERT_TRUE(fs::exists(kTool)) << kTool;
    TempDir exeDir;
    WriteFileBytes(exeDir / "KIVO.ini", Crlf("[LANGUAGES]\n0009=English\n0011=Japanese\n"));
    const auto [tavinA, issA] = SavedState(exeDir.path(), "a");
    const auto [tavinB, issB] = SavedState(exeDir.path(), "b");
    ASSERT_NE(tavinA, tavinB);
    ASSERT_NE(issA, issB);

    TempDir dir;
    CopyTree(kSample, dir.path());
    const std::string original = ReadFileBytes(dir / "TAVIN.ini");
    const std::string originalIss = ReadFileBytes(dir / "Setup.iss");
    const std::set<std::string> tavinStates = {original, tavinA, tavinB};
    const std::set<std::string> issStates = {originalIss, issA, issB};

    std::random_device seeder;
    const unsigned seed = seeder();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pause(0, 15000);  // microseconds
    SCOPED_TRACE("seed " + std::to_string(seed));

    const int kills = 60;
    std::set<std::string> seen;
    for (int k = 0; k < kills; ++k) {
        Child c = Start(dir.path(), exeDir.path(), "loop");
        ASSERT_GT(c.pid, 0);
        ASSERT_EQ(ReadLine(c.out), "ready") << "kill " << k;
        // Now and then the kill waits for a finished save, so that the file surely moves on.
        if (k % 4 == 3) {
            ASSERT_EQ(ReadLine(c.out), "saved") << "kill " << k;
        }
        usleep(static_cast<useconds_t>(pause(random)));
        kill(c.pid, SIGKILL);
        int status = Wait(c);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving process ended by itself, kill " << k;

        const std::string tavin = ReadFileBytes(dir / "TAVIN.ini");
        ASSERT_TRUE(tavinStates.contains(tavin)) << "TAVIN.ini half written, kill " << k;
        ASSERT_TRUE(issStates.contains(ReadFileBytes(dir / "Setup.iss")))
            << "Setup.iss half written, kill " << k;
        if (fs::exists(dir / "Tavin.old")) {
            ASSERT_TRUE(tavinStates.contains(ReadFileBytes(dir / "Tavin.old")))
                << "Tavin.old half written, kill " << k;
        }
        seen.insert(tavin);
    }
    // The saves did run between the kills: the file went through its states.
    EXPECT_TRUE(seen.contains(tavinA) || seen.contains(tavinB));
}

}  // namespace
