#pragma once
// Deadlines shared by the tests that run the real executable.

namespace testsupport {

// Generous: the machine may be busy with a parallel build.
constexpr double kStartSeconds = 30.0;
constexpr double kExitSeconds = 10.0;
// How long a process must keep running to count as not ended by an input.
constexpr double kKeepsRunningSeconds = 1.5;

}  // namespace testsupport
