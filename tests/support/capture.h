// What the code under test writes to standard error, seen by the test.
#pragma once

#include <functional>
#include <string>

namespace tarno_test {

// Everything that action writes to standard error (file descriptor 2) while it runs.
std::string stderr_of(const std::function<void()>& action);

}  // namespace tarno_test
