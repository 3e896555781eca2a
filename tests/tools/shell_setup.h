// A tool run with surroundings that the support library's Command does not
// set up itself, prepared by /bin/sh before it becomes the tool.
#pragma once

#include <string>
#include <vector>

#include "support/process.h"

namespace tarno_test {

// argv run after setup, shell commands ending in ';' ("exec < /;" for a
// folder as standard input, "ulimit -f 5;" for a file size limit).
inline Command after_shell_setup(const std::string& setup, const std::vector<std::string>& argv) {
    Command command{{"/bin/sh", "-c", setup + " exec \"$@\"", "sh"}};
    command.argv.insert(command.argv.end(), argv.begin(), argv.end());
    return command;
}

}  // namespace tarno_test
