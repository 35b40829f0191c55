#pragma once
// The process entry's view of its arguments: one command line without the
// program name, as screensaver hosts pass switches ("/p 1234").

#include <string>

namespace platform {

// argv[1..argc-1] joined with single spaces; empty when there are none.
std::string joinArguments(int argc, const char* const* argv);

}  // namespace platform
