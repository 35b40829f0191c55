#pragma once
// Opening a web address in the user's browser.

#include <string>

namespace platform {

// Hands the address to the desktop's opener (xdg-open, found on PATH) in a
// process of its own and returns at once: the caller never waits for the
// browser, and no child is left behind as a zombie. Returns false only when
// no process could be started; what the opener then does is not reported.
bool openUrl(const std::string& url);

}  // namespace platform
