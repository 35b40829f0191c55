#include "app/launch_options.h"

#include <climits>
#include <cstdint>

#include "platform/single_instance.h"

namespace {

bool isCSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

int readDecimal(const char* text)
{
    while (isCSpace(*text))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    // Accumulated as a magnitude that stops growing past the range of int, so
    // a long run of digits neither overflows nor wraps.
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > limit)
            magnitude = limit;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

LaunchOptions::LaunchOptions(const std::string& commandLine)
{
    showAbout = false;
    LaunchMode running = LaunchMode::None;
    hostWindow = 0;
    const std::size_t length = commandLine.size();
    const char* text = commandLine.c_str();
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] != '/')
            continue;
        switch (text[i + 1]) {
        case 'p':
            running = LaunchMode::Preview;
            break;
        case 's':
            running = LaunchMode::Fullscreen;
            break;
        case 'c':
            running = LaunchMode::Configure;
            break;
        default:
            break;
        }
        if (running == LaunchMode::None)
            continue;
        // The number starts after the slash, the letter and one separator. A
        // handle is 32 bits wide, so a negative number keeps its two's
        // complement bits as a Win32 handle would.
        if (i + 3 <= length)
            hostWindow = static_cast<std::uint32_t>(readDecimal(text + i + 3));
        else
            hostWindow = 0;
    }
    mode = running;
}

void LaunchOptions::attachToHost(platform::NativeWindow window)
{
    mode = LaunchMode::Preview;
    hostWindow = window;
    hosted = true;
}

bool isFirstInstance()
{
    return platform::claimSingleInstance("K_OPENGL_SCREENSAVER");
}
