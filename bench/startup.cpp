// Start-up of the real screensaver: from process start to its window, to the
// first swapped frame and to the first frame with visible particles, with
// the peak resident memory that /usr/bin/time -v reports for the run.
//
//   bench_startup [PATH-TO-glimmerfall]   (needs $DISPLAY; full screen there)
//
// Environment: BENCH_RUNS (runs, default 7).
//
// The screensaver is not changed or instrumented: the screen is watched from
// outside with XGetImage. The root window is painted grey first. A GL
// window shows what lay under it until its first buffer swap, and the first
// frame of a run is black all over (the field fades in from one second on),
// so the first swapped frame is the first poll in which three full-width
// rows of the screen are all black (polled every 2 ms). From then on the
// whole screen is read every 10 ms through shared memory (MIT-SHM), and the
// first frame with visible particles is the first poll with a pixel that is
// not black. The clock starts right before the process is spawned.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"

extern char** environ;

namespace {

constexpr unsigned long kGrey = 0x808080;
constexpr double kRunDeadlineMs = 30000.0;

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Reads the screen: three rows cheaply, or all of it through shared memory.
class ScreenWatch {
public:
    explicit ScreenWatch(Display* display)
        : display_(display),
          root_(DefaultRootWindow(display)),
          width_(DisplayWidth(display, DefaultScreen(display))),
          height_(DisplayHeight(display, DefaultScreen(display)))
    {
        Visual* visual = DefaultVisual(display, DefaultScreen(display));
        colourMask_ = visual->red_mask | visual->green_mask | visual->blue_mask;
        if (!XShmQueryExtension(display))
            return;
        image_ = XShmCreateImage(display, visual, static_cast<unsigned>(DefaultDepth(display, DefaultScreen(display))),
                                 ZPixmap, nullptr, &shm_, static_cast<unsigned>(width_),
                                 static_cast<unsigned>(height_));
        if (!image_)
            return;
        shm_.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(image_->bytes_per_line) * height_, IPC_CREAT | 0600);
        if (shm_.shmid < 0)
            return;
        shm_.shmaddr = image_->data = static_cast<char*>(shmat(shm_.shmid, nullptr, 0));
        shm_.readOnly = False;
        attached_ = shm_.shmaddr != reinterpret_cast<char*>(-1) && XShmAttach(display, &shm_);
        XSync(display, False);
        // Removed now; it lives until the last detach.
        shmctl(shm_.shmid, IPC_RMID, nullptr);
    }
    ~ScreenWatch()
    {
        if (attached_) {
            XShmDetach(display_, &shm_);
            XSync(display_, False);
        }
        if (shm_.shmaddr && shm_.shmaddr != reinterpret_cast<char*>(-1))
            shmdt(shm_.shmaddr);
        if (image_) {
            image_->data = nullptr;
            XDestroyImage(image_);
        }
    }
    ScreenWatch(const ScreenWatch&) = delete;
    ScreenWatch& operator=(const ScreenWatch&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }

    // Paints the root window grey, so that a window's first swap shows.
    void paintRootGrey()
    {
        XSetWindowBackground(display_, root_, kGrey);
        XClearWindow(display_, root_);
        XSync(display_, False);
    }

    // Whether rows at a quarter, a half and three quarters of the height
    // hold nothing but black.
    bool rowsBlack()
    {
        for (int y : {height_ / 4, height_ / 2, height_ * 3 / 4}) {
            XImage* row = XGetImage(display_, root_, 0, y, static_cast<unsigned>(width_), 1, AllPlanes, ZPixmap);
            if (!row)
                return false;
            bool black = true;
            for (int x = 0; x < width_ && black; ++x)
                black = (XGetPixel(row, x, 0) & colourMask_) == 0;
            XDestroyImage(row);
            if (!black)
                return false;
        }
        return true;
    }

    // Whether any pixel of the screen is not black.
    bool anyLit()
    {
        if (!attached_) {
            XImage* all = XGetImage(display_, root_, 0, 0, static_cast<unsigned>(width_),
                                    static_cast<unsigned>(height_), AllPlanes, ZPixmap);
            if (!all)
                return false;
            const bool lit = imageLit(all);
            XDestroyImage(all);
            return lit;
        }
        if (!XShmGetImage(display_, root_, image_, 0, 0, AllPlanes))
            return false;
        return imageLit(image_);
    }

    bool sharedMemory() const { return attached_; }

private:
    bool imageLit(XImage* image) const
    {
        if (image->bits_per_pixel == 32) {
            for (int y = 0; y < height_; ++y) {
                const auto* row = reinterpret_cast<const std::uint32_t*>(image->data + static_cast<std::size_t>(y) * image->bytes_per_line);
                for (int x = 0; x < width_; ++x)
                    if (row[x] & colourMask_)
                        return true;
            }
            return false;
        }
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (XGetPixel(image, x, y) & colourMask_)
                    return true;
        return false;
    }

    Display* display_;
    Window root_;
    int width_;
    int height_;
    unsigned long colourMask_ = 0xFFFFFF;
    XImage* image_ = nullptr;
    XShmSegmentInfo shm_{};
    bool attached_ = false;
};

// The process whose parent is pid, or 0.
pid_t childOf(pid_t pid)
{
    DIR* proc = opendir("/proc");
    if (!proc)
        return 0;
    pid_t found = 0;
    while (dirent* entry = readdir(proc)) {
        const pid_t candidate = static_cast<pid_t>(std::atoi(entry->d_name));
        if (candidate <= 0)
            continue;
        std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
        std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
        // pid (name) state ppid ...: the name may hold spaces, so read after the last ')'.
        const std::size_t close = text.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream rest(text.substr(close + 1));
        std::string state;
        long parent = 0;
        rest >> state >> parent;
        if (parent == pid) {
            found = candidate;
            break;
        }
    }
    closedir(proc);
    return found;
}

// The value after "label:" in /usr/bin/time -v's report, or -1.
long reportValue(const std::string& report, const std::string& label)
{
    const std::size_t at = report.find(label + ":");
    return at == std::string::npos ? -1 : std::atol(report.c_str() + at + label.size() + 1);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct Run {
    double shownMs = -1;        // a viewable top-level window exists
    double firstFrameMs = -1;   // the screen turned black: the first swap
    double visibleMs = -1;      // the first lit pixel
    double peakRssMib = -1;
    long exitStatus = -1;
    std::string error;
};

bool windowShown(Display* display)
{
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return false;
    bool shown = false;
    for (unsigned int i = 0; i < count && !shown; ++i) {
        XWindowAttributes attributes;
        shown = XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable;
    }
    if (children)
        XFree(children);
    return shown;
}

Run runOnce(Display* display, ScreenWatch& screen, const std::string& executable)
{
    Run run;
    screen.paintRootGrey();
    const double settle = bench::nowMs();
    while (screen.rowsBlack() && bench::nowMs() - settle < 2000.0)
        sleepMs(10);
    if (screen.rowsBlack() || windowShown(display)) {
        run.error = "the screen is black or covered before the start";
        return run;
    }

    char reportPath[] = "/tmp/glimmerfall-startup-XXXXXX";
    const int reportFd = mkstemp(reportPath);
    if (reportFd < 0) {
        run.error = "no temporary file";
        return run;
    }
    close(reportFd);
    char errorPath[] = "/tmp/glimmerfall-startup-err-XXXXXX";
    const int errorFd = mkstemp(errorPath);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The model loader's trace goes to standard output, as when no console is open.
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (errorFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, errorFd, 2);
    const std::string timeProgram = "/usr/bin/time";
    std::vector<std::string> args = {timeProgram, "-v", "-o", reportPath, executable, "/s"};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    pid_t timePid = 0;
    const double start = bench::nowMs();
    const int spawned = posix_spawn(&timePid, timeProgram.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (errorFd >= 0)
        close(errorFd);
    if (spawned != 0) {
        run.error = "could not start /usr/bin/time: " + std::string(std::strerror(spawned));
        unlink(reportPath);
        unlink(errorPath);
        return run;
    }

    int status = 0;
    bool ended = false;
    while (bench::nowMs() - start < kRunDeadlineMs) {
        if (waitpid(timePid, &status, WNOHANG) == timePid) {
            ended = true;
            break;
        }
        const double now = bench::nowMs() - start;
        if (run.shownMs < 0 && windowShown(display))
            run.shownMs = now;
        if (run.firstFrameMs < 0) {
            if (screen.rowsBlack())
                run.firstFrameMs = now;
            else
                sleepMs(2);
            continue;
        }
        if (screen.anyLit()) {
            run.visibleMs = now;
            break;
        }
        sleepMs(10);
    }

    if (!ended) {
        if (const pid_t saver = childOf(timePid))
            kill(saver, SIGTERM);
        const double stop = bench::nowMs();
        while (!(ended = waitpid(timePid, &status, WNOHANG) == timePid) && bench::nowMs() - stop < 10000.0)
            sleepMs(5);
        if (!ended) {
            if (const pid_t saver = childOf(timePid))
                kill(saver, SIGKILL);
            waitpid(timePid, &status, 0);
            run.error = "the screensaver did not end on SIGTERM";
        }
    } else {
        run.error = "the screensaver ended by itself: " + readFile(errorPath);
    }
    const std::string report = readFile(reportPath);
    const long rssKib = reportValue(report, "Maximum resident set size (kbytes)");
    run.peakRssMib = rssKib < 0 ? -1 : static_cast<double>(rssKib) / 1024.0;
    run.exitStatus = reportValue(report, "Exit status");
    if (run.error.empty() && run.visibleMs < 0)
        run.error = "no visible particles within " + bench::fixed(kRunDeadlineMs / 1000.0, 0) + " s";
    unlink(reportPath);
    unlink(errorPath);
    return run;
}

std::string cell(double ms)
{
    return ms < 0 ? "-" : bench::fixed(ms, 0);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string executable = argc > 1 ? argv[1] : GLIMMERFALL_EXECUTABLE;
    const int runs = bench::envCount("BENCH_RUNS", 7);
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "bench_startup: no display (set DISPLAY, or run scripts/bench)\n");
        return 1;
    }
    if (access("/usr/bin/time", X_OK) != 0) {
        std::fprintf(stderr, "bench_startup: /usr/bin/time is missing (scripts/setup installs it)\n");
        return 1;
    }
    int failures = 0;
    std::vector<double> shown, first, visible, rss;
    {
        ScreenWatch screen(display);
        bench::Table table("Start-up of glimmerfall /s on a " + std::to_string(screen.width()) + "x" +
                               std::to_string(screen.height()) + " screen (ms from process start)",
                           {"run", "window", "first frame", "particles", "peak RSS MiB", "exit"});
        for (int i = 0; i < runs; ++i) {
            const Run run = runOnce(display, screen, executable);
            if (!run.error.empty()) {
                std::fprintf(stderr, "bench_startup: run %d: %s\n", i + 1, run.error.c_str());
                ++failures;
            }
            if (run.shownMs >= 0)
                shown.push_back(run.shownMs);
            if (run.firstFrameMs >= 0)
                first.push_back(run.firstFrameMs);
            if (run.visibleMs >= 0)
                visible.push_back(run.visibleMs);
            if (run.peakRssMib >= 0)
                rss.push_back(run.peakRssMib);
            table.addRow({std::to_string(i + 1), cell(run.shownMs), cell(run.firstFrameMs), cell(run.visibleMs),
                          run.peakRssMib < 0 ? "-" : bench::fixed(run.peakRssMib, 1), std::to_string(run.exitStatus)});
        }
        const bench::Stats s = bench::summarize(shown), f = bench::summarize(first), v = bench::summarize(visible),
                           r = bench::summarize(rss);
        table.addRow({"median", bench::fixed(s.median, 0), bench::fixed(f.median, 0), bench::fixed(v.median, 0),
                      bench::fixed(r.median, 1), ""});
        table.print();
        if (!screen.sharedMemory())
            std::printf("  (no MIT-SHM: the whole screen was read with XGetImage)\n");

        bench::JsonLine json;
        json.add("bench", "startup").add("runs", runs).add("failed_runs", failures);
        json.add("screen", std::to_string(screen.width()) + "x" + std::to_string(screen.height()));
        json.add("window_ms", s.median).add("first_frame_ms", f.median).add("first_frame_p95_ms", f.p95);
        json.add("visible_ms", v.median).add("visible_p95_ms", v.p95).add("peak_rss_mib", r.median);
        json.print();
    }
    XCloseDisplay(display);
    return failures ? 1 : 0;
}
