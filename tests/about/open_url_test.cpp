#include "platform/open_url.h"
#include "process.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

using testsupport::readFile;

bool noChildLeft()
{
    int status;
    return waitpid(-1, &status, WNOHANG) == -1 && errno == ECHILD;
}

// A folder put first on PATH holding a stand-in opener that waits for the
// file "go" (at most 20 s), then appends its arguments to "record".
class OpenUrl : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tempDir_.made());
        dir_ = tempDir_.path();
        const std::string opener = dir_ + "/xdg-open";
        std::ofstream(opener) << "#!/bin/sh\n"
                                 "i=0\n"
                                 "while [ ! -e \"" << dir_ << "/go\" ] && [ $i -lt 2000 ]; do\n"
                                 "  i=$((i + 1)); sleep 0.01\n"
                                 "done\n"
                                 "[ -e \"" << dir_ << "/go\" ] || echo timed out >> \"" << dir_ << "/record\"\n"
                                 "echo \"$@\" >> \"" << dir_ << "/record\"\n";
        chmod(opener.c_str(), 0755);
        const char* path = std::getenv("PATH");
        savedPath_ = path ? path : "/usr/bin:/bin";
        setenv("PATH", (dir_ + ":" + savedPath_).c_str(), 1);
    }

    void TearDown() override { setenv("PATH", savedPath_.c_str(), 1); }

    void go() { std::ofstream(dir_ + "/go") << "go\n"; }
    std::string record() const { return readFile(dir_ + "/record"); }

    testsupport::TempDir tempDir_{"gf-open-url"};
    std::string dir_;
    std::string savedPath_;
};

TEST_F(OpenUrl, ReturnsBeforeTheOpenerFinishesAndLeavesNoChild)
{
    const std::string url = "https://quillmere.example/?utm_source=About";
    // The opener cannot finish before "go" exists, and "go" is made only
    // after both calls have returned.
    EXPECT_TRUE(platform::openUrl(url));
    EXPECT_TRUE(platform::openUrl(url));
    EXPECT_TRUE(noChildLeft());
    go();
    EXPECT_TRUE(testsupport::waitUntil([&] { return record() == url + "\n" + url + "\n"; }, 30))
        << record();
}

TEST_F(OpenUrl, MissingOpenerIsQuiet)
{
    setenv("PATH", (dir_ + "/nowhere").c_str(), 1);
    platform::openUrl("https://quillmere.example/");
    EXPECT_TRUE(noChildLeft());
}

}  // namespace
