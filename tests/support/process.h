#pragma once
// Child processes for tests: start with arguments and extra environment,
// wait for conditions with deadlines (never fixed sleeps), collect output;
// temporary directories.

#include <sys/types.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// Polls the condition every few milliseconds until it holds or the deadline
// passes; returns whether it held.
bool waitUntil(const std::function<bool()>& condition, double seconds);

class Child {
public:
    // Starts program with args (argv[1..]); env entries "NAME=value" are set,
    // "NAME" alone is removed. stdout and stderr are captured to files.
    Child(const std::string& program, const std::vector<std::string>& args,
          const std::vector<std::string>& env = {});
    ~Child();  // kills the child if it still runs
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    // Waits for the exit; true when it ended in time. exitStatus() is the
    // status for a normal exit, or 128 + signal number.
    bool waitExit(double seconds);
    int exitStatus() const { return status_; }
    void signal(int sig);
    std::string out() const;
    std::string err() const;

private:
    pid_t pid_ = -1;
    bool reaped_ = false;
    int status_ = -1;
    std::string outPath_, errPath_;
};

// A file's whole content; empty when it cannot be read.
std::string readFile(const std::string& path);

// Runs a shell command, returns its stdout and sets *status (if given).
std::string shell(const std::string& command, int* status = nullptr);

// A new directory /tmp/<prefix>-XXXXXX of the test's own, removed with all it
// holds when the object goes. path() is empty when it could not be made.
class TempDir {
public:
    explicit TempDir(const std::string& prefix);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    bool made() const { return !path_.empty(); }

private:
    std::string path_;
};

}  // namespace testsupport
