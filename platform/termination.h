#pragma once
// Screensaver hosts stop a running saver with SIGTERM and wait for it; an
// interrupted or hung-up terminal does the same with SIGINT and SIGHUP.

namespace platform {

// From now on SIGTERM, SIGINT and SIGHUP end the process at once with
// exit status 0.
void endOnTerminationSignals();

// From now on a write to a pipe or socket whose reader has gone (the stderr
// of a host that stopped reading, the connection to a display that ended)
// fails with EPIPE instead of killing the process with SIGPIPE. Programs the
// process starts get the default action back.
void surviveBrokenPipes();

}  // namespace platform
