#include "platform/open_url.h"

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

// Forks twice: the middle process starts the opener and exits at once, so
// the opener is adopted by init (which reaps it) and the caller only waits
// for a process that lives a few microseconds.
bool openUrl(const std::string& url)
{
    // Everything the children need is prepared before the fork.
    char program[] = "xdg-open";
    std::string address = url;
    char* const argv[] = {program, address.data(), nullptr};

    const pid_t middle = fork();
    if (middle < 0)
        return false;
    if (middle == 0) {
        const pid_t opener = fork();
        if (opener == 0) {
            execvp(program, argv);
            _exit(127);
        }
        _exit(opener < 0 ? 1 : 0);
    }
    int status = 0;
    pid_t r;
    do {
        r = waitpid(middle, &status, 0);
    } while (r < 0 && errno == EINTR);
    return r == middle && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace platform
