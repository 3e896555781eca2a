// Standard error is pointed at an unnamed file while the action runs, so
// that writes through stdio and straight to the descriptor are both seen.
#include "capture.h"

#include <unistd.h>

#include <cstdio>

namespace tarno_test {

std::string stderr_of(const std::function<void()>& action) {
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    std::FILE* capture = std::tmpfile();
    dup2(fileno(capture), STDERR_FILENO);
    action();
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    std::rewind(capture);
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, capture)) > 0;) text.append(buffer, n);
    std::fclose(capture);
    return text;
}

}  // namespace tarno_test
