#include "platform/message_box.h"

#include <FL/Fl.H>
#include <FL/fl_ask.H>
#include <X11/Xlib.h>

#include <cstdio>

namespace platform {
namespace {

MessageBoxSink& sink()
{
    static MessageBoxSink s;
    return s;
}

// FLTK ends the process with status 1 when it cannot open its display, so
// the display is tried first.
bool displayAvailable()
{
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return false;
    XCloseDisplay(d);
    return true;
}

}  // namespace

void setMessageBoxSink(MessageBoxSink s)
{
    sink() = std::move(s);
}

void showMessageBox(const std::string& text, const std::string& caption, BoxIcon icon)
{
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    if (sink()) {
        sink()(caption, text, icon);
        return;
    }
    if (!displayAvailable())
        return;
    fl_message_title(caption.c_str());
    if (icon == BoxIcon::Exclamation)
        fl_alert("%s", text.c_str());
    else
        fl_message("%s", text.c_str());
}

}  // namespace platform
