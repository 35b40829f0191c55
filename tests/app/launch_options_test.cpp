#include "app/launch_options.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/process_entry.h"

namespace {

struct ParseCase {
    const char* commandLine;
    LaunchMode mode;
    platform::NativeWindow hostWindow;
};

const ParseCase kParseCases[] = {
    {"", LaunchMode::None, 0},
    {"/p 1234", LaunchMode::Preview, 1234},
    {"/s", LaunchMode::Fullscreen, 0},
    {"/c:5678", LaunchMode::Configure, 5678},
    {"/c", LaunchMode::Configure, 0},
    // Upper case is not a switch.
    {"/S", LaunchMode::None, 0},
    {"/P 1234", LaunchMode::None, 0},
    // The number always starts three characters after the slash.
    {"/p1234", LaunchMode::Preview, 234},
    {"/p  42", LaunchMode::Preview, 42},
    // The last switch decides; later slashes read the number again.
    {"/p 100 /s 200", LaunchMode::Fullscreen, 200},
    {"/s 5 /x 7", LaunchMode::Fullscreen, 7},
    {"/x 7", LaunchMode::None, 0},
    {"/p 12/345", LaunchMode::Preview, 5},
    {"/s 9 /", LaunchMode::Fullscreen, 0},
    // The command line ends at or before the number's first character.
    {"/p ", LaunchMode::Preview, 0},
    {"/p", LaunchMode::Preview, 0},
    {"/", LaunchMode::None, 0},
    // atoi: white space, sign, digits up to the first non-digit.
    {"/p \t 77abc", LaunchMode::Preview, 77},
    {"/p +8", LaunchMode::Preview, 8},
    {"/p x9", LaunchMode::Preview, 0},
    {"/p -1", LaunchMode::Preview, 0xFFFFFFFFul},
    // Out of range: clamped, never overflowing.
    {"/p 99999999999999999999999", LaunchMode::Preview, static_cast<platform::NativeWindow>(INT_MAX)},
    // Anything before the first switch is ignored.
    {"C:\\saver.scr /s", LaunchMode::Fullscreen, 0},
    {"saver /p 0x1F", LaunchMode::Preview, 0},
};

TEST(LaunchOptions, ParsesCommandLines)
{
    for (const ParseCase& c : kParseCases) {
        const LaunchOptions options(c.commandLine);
        EXPECT_EQ(options.mode, c.mode) << "\"" << c.commandLine << "\"";
        EXPECT_EQ(options.hostWindow, c.hostWindow) << "\"" << c.commandLine << "\"";
        EXPECT_FALSE(options.showAbout) << "\"" << c.commandLine << "\"";
    }
}

TEST(LaunchOptions, ReadsNumbersAsAtoiWithinRange)
{
    EXPECT_EQ(readDecimal("2147483647"), INT_MAX);
    EXPECT_EQ(readDecimal("2147483648"), INT_MAX);
    EXPECT_EQ(readDecimal("-2147483648"), INT_MIN);
    EXPECT_EQ(readDecimal("-2147483649"), INT_MIN);
    EXPECT_EQ(readDecimal("  -12x"), -12);
    EXPECT_EQ(readDecimal("- 5"), 0);
    EXPECT_EQ(readDecimal(""), 0);
}

TEST(ProcessEntry, JoinsArgumentsWithSingleSpaces)
{
    const char* const none[] = {"glimmerfall"};
    EXPECT_EQ(platform::joinArguments(1, none), "");
    const char* const preview[] = {"glimmerfall", "/p", "1234"};
    EXPECT_EQ(platform::joinArguments(3, preview), "/p 1234");
    const LaunchOptions options(platform::joinArguments(3, preview));
    EXPECT_EQ(options.mode, LaunchMode::Preview);
    EXPECT_EQ(options.hostWindow, 1234u);
    const char* const empties[] = {"glimmerfall", "", "/s"};
    EXPECT_EQ(platform::joinArguments(3, empties), " /s");
}

}  // namespace
