#pragma once
// The operating-system version as major * 10 + minor, for rules that pick
// behaviour by version. Versions of 60 and above are "modern".

namespace platform {

int osVersion();

}  // namespace platform
