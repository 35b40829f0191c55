#include "about/about_window.h"

AboutWindow::AboutWindow() {}
