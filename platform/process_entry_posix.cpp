#include "platform/process_entry.h"

namespace platform {

std::string joinArguments(int argc, const char* const* argv)
{
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            line += ' ';
        line += argv[i];
    }
    return line;
}

}  // namespace platform
