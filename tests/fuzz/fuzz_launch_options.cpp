// Fuzz target: any bytes as the launch line. The parse must stay inside the
// text, pick the last recognised switch as the mode, and read numbers as
// strtoll does, clamped to the range of int. The same bytes, cut at line
// feeds into arguments, go through the whole argument parse with the host
// options as well; an odd first byte makes the first piece the value of
// XSCREENSAVER_WINDOW.

#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/host_options.h"
#include "app/launch_options.h"
#include "platform/process_entry.h"

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

platform::NativeWindow stubRoot()
{
    return 0x1234;
}

void checkArguments(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return;
    std::vector<std::string> pieces(1);
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == '\n')
            pieces.emplace_back();
        else if (data[i] != '\0')
            pieces.back() += static_cast<char>(data[i]);
    }
    const bool withEnvironment = data[0] & 1;
    const std::string environment = withEnvironment ? pieces.front() : std::string();
    if (withEnvironment)
        pieces.erase(pieces.begin());

    std::vector<const char*> argv = {"glimmerfall"};
    for (const std::string& piece : pieces)
        argv.push_back(piece.c_str());
    const int argc = static_cast<int>(argv.size());
    argv.push_back(nullptr);

    const LaunchOptions options =
        readLaunchOptions(argc, argv.data(), withEnvironment ? environment.c_str() : nullptr, stubRoot);
    // A host option makes a hosted preview; without one the switches decide.
    if (options.hosted ? options.mode != LaunchMode::Preview
                       : options.mode != lastSwitch(platform::joinArguments(argc, argv.data())))
        std::abort();
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

    checkArguments(data, size);
    return 0;
}
