#pragma once
// Modal message boxes with no owner window: a caption, a text, an OK button
// and an icon. Every box also writes "caption: text" as one line on stderr;
// when no display can be opened, stderr is all there is.

#include <functional>
#include <string>

namespace platform {

enum class BoxIcon { Information, Exclamation };

// Shows the box and returns when it is dismissed.
void showMessageBox(const std::string& text, const std::string& caption, BoxIcon icon);

// Test seam: while a sink is set, boxes are handed to it (after the stderr
// line) instead of being shown. An empty function restores the dialogs.
using MessageBoxSink = std::function<void(const std::string& caption, const std::string& text, BoxIcon icon)>;
void setMessageBoxSink(MessageBoxSink sink);

}  // namespace platform
