#include "platform/single_instance.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "process.h"

namespace {

const char* const kName = "K_OPENGL_SCREENSAVER";

// A directory of the test's own, so that parallel runs never share a lock.
class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tempDir.made());
        dir = tempDir.path();
    }
    void TearDown() override
    {
        for (pid_t p : {holder, extra})
            if (p > 0) {
                kill(p, SIGKILL);
                waitpid(p, nullptr, 0);
            }
    }

    // Claims the lock in a child process of its own, which then keeps it (and
    // optionally starts a program that outlives it). Returns the claim.
    bool startHolder(bool startProgram = false)
    {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        holder = fork();
        if (holder == 0) {
            close(fds[0]);
            setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
            char result[16] = {platform::claimSingleInstance(kName) ? '1' : '0'};
            pid_t program = 0;
            if (startProgram) {
                // Until its exec, the program's process still holds a copy of
                // the lock; the close-on-exec pipe reads end of file only once
                // the exec has dropped it.
                int execed[2];
                if (pipe2(execed, O_CLOEXEC) != 0)
                    _exit(127);
                program = fork();
                if (program == 0) {
                    execlp("sleep", "sleep", "60", static_cast<char*>(nullptr));
                    _exit(127);
                }
                close(execed[1]);
                char ignored;
                while (read(execed[0], &ignored, 1) > 0) {
                }
                close(execed[0]);
            }
            const std::string message = std::string(result, 1) + " " + std::to_string(program);
            (void)!write(fds[1], message.c_str(), message.size());
            close(fds[1]);
            for (;;)
                pause();
        }
        close(fds[1]);
        char buf[64] = {};
        const ssize_t n = read(fds[0], buf, sizeof buf - 1);
        close(fds[0]);
        if (n <= 0)
            return false;
        extra = static_cast<pid_t>(std::atoi(buf + 2));
        return buf[0] == '1';
    }

    // The claim a fresh process would get, with the given runtime directory
    // (null: unset).
    bool probe(const char* runtimeDir)
    {
        const pid_t p = fork();
        if (p == 0) {
            if (runtimeDir)
                setenv("XDG_RUNTIME_DIR", runtimeDir, 1);
            else
                unsetenv("XDG_RUNTIME_DIR");
            _exit(platform::claimSingleInstance(kName) ? 0 : 1);
        }
        int status = 0;
        waitpid(p, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    void killHolder()
    {
        kill(holder, SIGKILL);
        waitpid(holder, nullptr, 0);
        holder = -1;
    }

    testsupport::TempDir tempDir{"gf-instance"};
    std::string dir;
    pid_t holder = -1;
    pid_t extra = -1;
};

TEST_F(SingleInstance, SecondClaimFailsWhileTheFirstRuns)
{
    ASSERT_TRUE(startHolder());
    EXPECT_FALSE(probe(dir.c_str()));
    EXPECT_FALSE(probe(dir.c_str()));
}

TEST_F(SingleInstance, KilledHolderLeavesNothingThatBlocks)
{
    ASSERT_TRUE(startHolder());
    killHolder();
    EXPECT_TRUE(probe(dir.c_str()));
}

TEST_F(SingleInstance, ProgramsStartedByTheHolderDoNotKeepTheLock)
{
    ASSERT_TRUE(startHolder(true));
    ASSERT_GT(extra, 0);
    killHolder();
    ASSERT_EQ(kill(extra, 0), 0) << "the started program still runs";
    EXPECT_TRUE(probe(dir.c_str()));
}

TEST_F(SingleInstance, RuntimeDirectoryOthersCanWriteIsNotUsed)
{
    ASSERT_EQ(chmod(dir.c_str(), 0777), 0);
    EXPECT_TRUE(probe(dir.c_str()));
    DIR* d = opendir(dir.c_str());
    ASSERT_NE(d, nullptr);
    int entries = 0;
    while (dirent* e = readdir(d))
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
            ++entries;
    closedir(d);
    EXPECT_EQ(entries, 0) << "no lock file planted in a shared directory";
}

TEST_F(SingleInstance, ClaimsWithoutARuntimeDirectory)
{
    EXPECT_TRUE(probe(nullptr)) << "a private folder stands in";
    EXPECT_TRUE(probe("relative/path"));
}

}  // namespace
