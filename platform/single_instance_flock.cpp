#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {
namespace {

// A directory only this user can write: another user must not be able to
// plant or replace the lock file.
bool privateDirectory(const std::string& dir, bool followLinks)
{
    struct stat st {};
    const int r = followLinks ? stat(dir.c_str(), &st) : lstat(dir.c_str(), &st);
    return r == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid()
        && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// $XDG_RUNTIME_DIR when it is usable, else a private folder in /tmp; empty
// when neither can be had.
std::string lockDirectory()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/' && privateDirectory(runtime, true))
        return runtime;
    const std::string fallback = "/tmp/glimmerfall-" + std::to_string(geteuid());
    mkdir(fallback.c_str(), 0700);
    if (privateDirectory(fallback, false))
        return fallback;
    return {};
}

}  // namespace

bool claimSingleInstance(const std::string& name)
{
    const std::string dir = lockDirectory();
    if (dir.empty())
        return true;
    const std::string path = dir + "/" + name + ".lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return true;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0)
        return true;  // fd stays open: the lock lasts as long as the process
    const int error = errno;
    close(fd);
    return error != EWOULDBLOCK;
}

}  // namespace platform
