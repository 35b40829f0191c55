// Fuzz target: any bytes as the launch line. The parse must stay inside the
// text, pick the last recognised switch as the mode, and read numbers as
// strtoll does, clamped to the range of int.

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/launch_options.h"

namespace {

// The mode of the last '/' followed by p, s or c.
LaunchMode lastSwitch(const std::string& line)
{
    LaunchMode mode = LaunchMode::None;
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        if (line[i] != '/')
            continue;
        if (line[i + 1] == 'p')
            mode = LaunchMode::Preview;
        else if (line[i + 1] == 's')
            mode = LaunchMode::Fullscreen;
        else if (line[i + 1] == 'c')
            mode = LaunchMode::Configure;
    }
    return mode;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string line(reinterpret_cast<const char*>(data), size);
    const LaunchOptions options(line);
    if (options.mode != lastSwitch(line) || options.showAbout)
        std::abort();
    if (options.mode == LaunchMode::None && options.hostWindow != 0)
        std::abort();

    // readDecimal reads up to the first zero byte, like any C string.
    const std::string text = line.substr(0, line.find('\0'));
    errno = 0;
    const long long wide = std::strtoll(text.c_str(), nullptr, 10);
    const long long clamped = wide < INT_MIN ? INT_MIN : wide > INT_MAX ? INT_MAX : wide;
    if (readDecimal(text.c_str()) != clamped)
        std::abort();
    return 0;
}
