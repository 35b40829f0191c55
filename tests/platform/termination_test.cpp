// The signals that must not end the process with anything but status 0.

#include <errno.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/termination.h"

namespace {

// A host that stopped reading our stderr, or a display connection that
// ended, must not kill the process with SIGPIPE: the write fails and the
// process goes on to end with 0.
TEST(BrokenPipeDeathTest, WriteToAClosedPipeFailsInsteadOfKilling)
{
    EXPECT_EXIT(
        {
            platform::surviveBrokenPipes();
            int ends[2];
            if (pipe(ends) != 0)
                std::_Exit(2);
            close(ends[0]);
            const bool failed = write(ends[1], "x", 1) < 0 && errno == EPIPE;
            std::_Exit(failed ? 0 : 3);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
