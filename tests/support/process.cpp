#include "process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace testsupport {

bool waitUntil(const std::function<bool()>& condition, double seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

Child::Child(const std::string& program, const std::vector<std::string>& args,
             const std::vector<std::string>& env)
{
    char outTemplate[] = "/tmp/gf-child-out-XXXXXX";
    char errTemplate[] = "/tmp/gf-child-err-XXXXXX";
    const int outFd = mkstemp(outTemplate);
    const int errFd = mkstemp(errTemplate);
    outPath_ = outTemplate;
    errPath_ = errTemplate;

    std::vector<std::string> argvStorage{program};
    argvStorage.insert(argvStorage.end(), args.begin(), args.end());

    pid_ = fork();
    if (pid_ == 0) {
        dup2(outFd, 1);
        dup2(errFd, 2);
        const int nullFd = open("/dev/null", O_RDONLY);
        dup2(nullFd, 0);
        for (const std::string& e : env) {
            const auto eq = e.find('=');
            if (eq == std::string::npos)
                unsetenv(e.c_str());
            else
                setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
        }
        std::vector<char*> argv;
        for (std::string& a : argvStorage)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(outFd);
    close(errFd);
}

Child::~Child()
{
    if (pid_ > 0 && !reaped_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    unlink(outPath_.c_str());
    unlink(errPath_.c_str());
}

bool Child::running()
{
    if (reaped_ || pid_ <= 0)
        return false;
    int st = 0;
    const pid_t r = waitpid(pid_, &st, WNOHANG);
    if (r == pid_) {
        reaped_ = true;
        status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        return false;
    }
    return true;
}

bool Child::waitExit(double seconds)
{
    return waitUntil([this] { return !running(); }, seconds);
}

void Child::signal(int sig)
{
    if (pid_ > 0 && !reaped_)
        kill(pid_, sig);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string Child::out() const { return readFile(outPath_); }
std::string Child::err() const { return readFile(errPath_); }

std::string shell(const std::string& command, int* status)
{
    std::string result;
    FILE* p = popen(command.c_str(), "r");
    if (!p) {
        if (status)
            *status = -1;
        return result;
    }
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        result.append(buf, n);
    const int st = pclose(p);
    if (status)
        *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return result;
}

TempDir::TempDir(const std::string& prefix)
{
    std::string pattern = "/tmp/" + prefix + "-XXXXXX";
    if (mkdtemp(pattern.data()))
        path_ = pattern;
}

TempDir::~TempDir()
{
    if (made())
        shell("rm -rf '" + path_ + "'");
}

}  // namespace testsupport
