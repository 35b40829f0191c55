#include "platform/termination.h"

#include <signal.h>
#include <unistd.h>

#include <initializer_list>

namespace platform {
namespace {

void endProcess(int)
{
    _exit(0);
}

// A handler rather than SIG_IGN: exec resets handled signals, while an
// ignored one would stay ignored in the programs the process starts.
void ignoreSignal(int) {}

void setHandler(int sig, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(sig, &action, nullptr);
}

}  // namespace

void endOnTerminationSignals()
{
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        setHandler(sig, endProcess);
}

void surviveBrokenPipes()
{
    setHandler(SIGPIPE, ignoreSignal);
}

}  // namespace platform
