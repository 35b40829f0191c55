#include "platform/message_box.h"

#include <FL/Fl.H>
#include <FL/fl_ask.H>
#include <X11/Xlib.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

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

// FLTK gives up on a display lost while a box is open by exiting with status
// 1; the process ends with 0 like on every other path, saying why.
void endOnFltkFatal(const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
    std::exit(0);
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
    Fl::fatal = endOnFltkFatal;
    fl_message_title(caption.c_str());
    if (icon == BoxIcon::Exclamation)
        fl_alert("%s", text.c_str());
    else
        fl_message("%s", text.c_str());
}

}  // namespace platform
