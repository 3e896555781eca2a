// A tool run with surroundings that the support library's Command does not
// set up itself, prepared by /bin/sh.
#pragma once

#include <string>
#include <vector>

#include "support/process.h"

namespace tarno_test {

// script run by /bin/sh with argv as its "$@": "exec \"$@\" < /" runs
// argv with a folder as its standard input.
inline Command in_shell(const std::string& script, const std::vector<std::string>& argv) {
    Command command{{"/bin/sh", "-c", script, "sh"}};
    command.argv.insert(command.argv.end(), argv.begin(), argv.end());
    return command;
}

}  // namespace tarno_test
