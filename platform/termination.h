#pragma once
// Screensaver hosts stop a running saver with SIGTERM and wait for it; an
// interrupted or hung-up terminal does the same with SIGINT and SIGHUP.

namespace platform {

// From now on SIGTERM, SIGINT and SIGHUP end the process at once with
// exit status 0.
void endOnTerminationSignals();

}  // namespace platform
