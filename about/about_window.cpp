#include "about/about_window.h"

#include "about/about_layout.h"
#include "about/dib.h"
#include "app/window_icon.h"
#include "app/window_icon_table.h"
#include "platform/message_box.h"
#include "platform/open_url.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xlib.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kBitmapId = 101;
constexpr const char* kWebsite = "https://quillmere.example/?utm_source=About";
constexpr const char* kErrorCaption = "Error!";

const Fl_Color kBackground = fl_rgb_color(177, 232, 179);
const Fl_Color kHeadingText = fl_rgb_color(0, 0, 0);
const Fl_Color kNoticeText = fl_rgb_color(0, 51, 255);

// Arial through fontconfig (Liberation Sans where Arial itself is missing).
// With Xft the first character of an FLTK font name is its style: ' ' plain,
// 'B' bold.
const Fl_Font kBodyFont = FL_FREE_FONT;
const Fl_Font kHeadingFont = FL_FREE_FONT + 1;

// The heights 16 (body) and 18 (heading) are cell heights, ascent plus
// descent, while FLTK sizes are em sizes in pixels. Arial's cell is
// 2288/2048 em, so the cells of 16 and 18 pixels hold fonts of 14.3 and 16.1
// pixels. The requested average widths (6 and 8) are within a few percent
// of the faces' own at these sizes, so the glyphs are not stretched.
const Fl_Fontsize kBodySize = 14;
const Fl_Fontsize kHeadingSize = 16;

// Texts are drawn as they are: '@' (in the support address) must not start
// one of FLTK's symbols.
const Fl_Labeltype kPlainText = FL_FREE_LABELTYPE;
const Fl_Labeltype kUnderlinedText = static_cast<Fl_Labeltype>(FL_FREE_LABELTYPE + 1);

void measurePlainText(const Fl_Label* label, int& w, int& h)
{
    fl_font(label->font, label->size);
    fl_measure(label->value, w, h, 0);
}

void drawPlainText(const Fl_Label* label, int x, int y, int w, int h, Fl_Align align)
{
    fl_font(label->font, label->size);
    fl_color(label->color);
    fl_draw(label->value, x, y, w, h, align, nullptr, 0);
}

// Draws the text unwrapped and a line under it where the font's underline
// sits: about a tenth of the size below the baseline, a fifteenth of it
// thick. Only the heading uses it: one line, placed at the top left.
void drawUnderlinedText(const Fl_Label* label, int x, int y, int w, int h, Fl_Align align)
{
    drawPlainText(label, x, y, w, h, align & ~FL_ALIGN_WRAP);
    if (!label->value || !*label->value)
        return;
    const int baseline = y + fl_height() - fl_descent();
    const int drop = label->size / 10 + 1;
    const int thickness = std::max(1, label->size / 15);
    fl_rectf(x, baseline + drop, static_cast<int>(fl_width(label->value)), thickness);
}

// A static text control: its rectangle filled with its colour and the label
// drawn from the very corner, without the inset FLTK gives aligned labels.
class StaticText : public Fl_Box {
public:
    StaticText(const about::Rect& r, const std::string& text, Fl_Labeltype type, Fl_Font font,
               Fl_Fontsize size, Fl_Color textColour, Fl_Align align)
        : Fl_Box(r.x, r.y, r.w, r.h)
    {
        box(FL_FLAT_BOX);
        color(kBackground);
        copy_label(text.c_str());
        labeltype(type);
        labelfont(font);
        labelsize(size);
        labelcolor(textColour);
        this->align(align | FL_ALIGN_INSIDE);
    }

protected:
    void draw() override
    {
        draw_box();
        draw_label(x(), y(), w(), h());
    }
};

// The top-level window: the light-green client area with the bitmap, then
// the controls. Alt+F4 closes it as Escape does, also where no window
// manager binds the key.
class AboutFrame : public Fl_Double_Window {
public:
    AboutFrame(about::Point at, const char* title, std::optional<about::RgbImage> bitmap)
        : Fl_Double_Window(at.x, at.y, about::kWindowWidth, about::kWindowHeight, title),
          bitmap_(std::move(bitmap))
    {
    }

    int handle(int event) override
    {
        if ((event == FL_KEYDOWN || event == FL_SHORTCUT) && Fl::event_key() == FL_F + 4 &&
            (Fl::event_state() & FL_ALT)) {
            do_callback();
            return 1;
        }
        return Fl_Double_Window::handle(event);
    }

protected:
    void draw() override
    {
        if (damage() & ~FL_DAMAGE_CHILD) {
            fl_rectf(0, 0, w(), h(), kBackground);
            if (bitmap_)
                fl_draw_image(bitmap_->pixels.data(), about::kBitmapX, about::kBitmapY,
                              bitmap_->width, bitmap_->height, 3);
        }
        draw_children();
    }

private:
    std::optional<about::RgbImage> bitmap_;
};

std::string withoutCarriageReturns(const char* text)
{
    std::string result;
    for (const char* p = text; *p; ++p)
        if (*p != '\r')
            result += *p;
    return result;
}

void openWebsite(Fl_Widget*, void*)
{
    platform::openUrl(kWebsite);
}

// FLTK gives up on a lost display connection by exiting with status 1; this
// process says why in plain words and ends with 0 like every other path.
void fatalError(const char* format, ...)
{
    char reason[256];
    std::va_list args;
    va_start(args, format);
    std::vsnprintf(reason, sizeof reason, format, args);
    va_end(args);
    std::fprintf(stderr, "%s: The About window had to close: %s\n", kErrorCaption, reason);
    std::fflush(nullptr);
    // Without the usual exit handlers, which could reach for the lost
    // display again.
    std::_Exit(0);
}

}  // namespace

AboutWindow::AboutWindow()
    : title("About"),
      className("QuillmereWindowClass"),
      buttonClassName("QuillmereButtonClass"),
      buttonText("Visit website"),
      noticeText("(C) 2012-2024 Quillmere Software. All rights reserved.\r\n"
                 "More free screensavers at https://quillmere.example\r\n"
                 "Questions? Write to support@quillmere.example"),
      productTitle("Glimmerfall")
{
    // FLTK ends the process with status 1 when it cannot open the display,
    // so the display is tried first; past this point its fatal errors (the
    // display lost on the way) end the process with status 0. The process
    // entry keeps a write to a lost display from ending it by SIGPIPE first.
    Display* probe = XOpenDisplay(nullptr);
    if (!probe) {
        platform::showMessageBox("Window Registration Failed!", kErrorCaption, platform::BoxIcon::Exclamation);
        return;
    }
    XCloseDisplay(probe);
    Fl::fatal = fatalError;
    fl_open_display();
    Fl::set_font(kBodyFont, " Arial");
    Fl::set_font(kHeadingFont, "BArial");
    Fl::set_labeltype(kPlainText, drawPlainText, measurePlainText);
    Fl::set_labeltype(kUnderlinedText, drawUnderlinedText, measurePlainText);

    int screenX, screenY, screenWidth, screenHeight;
    Fl::screen_xywh(screenX, screenY, screenWidth, screenHeight, 0);

    AboutFrame window(about::centredPlacement(screenWidth, screenHeight), title,
                      about::loadBitmapResource(kBitmapId));
    window.xclass(className);
    // The icon table lists the picture column by column; an image wants it
    // row by row.
    std::vector<unsigned char> icon(kWindowIconBytes);
    transposeIconColumns(kWindowIconColumns, icon.data());
    const Fl_RGB_Image iconImage(icon.data(), kWindowIconSize, kWindowIconSize, 4);
    window.icon(&iconImage);

    // The window owns its controls and deletes them with itself.
    new StaticText(about::kNoticeRect, withoutCarriageReturns(noticeText), kPlainText, kBodyFont,
                   kBodySize, kNoticeText, FL_ALIGN_TOP | FL_ALIGN_LEFT | FL_ALIGN_WRAP);
    new StaticText(about::kHeadingRect, productTitle, kUnderlinedText, kHeadingFont, kHeadingSize,
                   kHeadingText, FL_ALIGN_TOP | FL_ALIGN_LEFT);
    Fl_Button* visit = new Fl_Button(about::kButtonRect.x, about::kButtonRect.y,
                                     about::kButtonRect.w, about::kButtonRect.h, buttonText);
    visit->labelfont(kBodyFont);
    visit->labelsize(kBodySize);
    visit->callback(openWebsite);
    window.end();
    // No resizable child and no size range: FLTK fixes the size at 400 x 300.

    window.show();
    if (!window.shown() || !fl_xid(&window)) {
        platform::showMessageBox("Window Creation Failed!", kErrorCaption, platform::BoxIcon::Exclamation);
        return;
    }
    while (window.shown())
        Fl::wait();
}
