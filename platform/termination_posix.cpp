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

}  // namespace

void endOnTerminationSignals()
{
    struct sigaction action {};
    action.sa_handler = endProcess;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &action, nullptr);
}

}  // namespace platform
