#pragma once
// A per-user lock that tells whether another instance already runs. The lock
// is held until the process ends, however it ends (SIGKILL included), and is
// not inherited by programs the process starts.

#include <string>

namespace platform {

// Claims the lock called name. False only when another process holds it;
// any other failure counts as the first instance.
bool claimSingleInstance(const std::string& name);

}  // namespace platform
