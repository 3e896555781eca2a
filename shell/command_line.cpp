// What every program of ours does with its command line and its standard
// streams.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "shell.h"

namespace tarno {

std::string shown_argument(const std::string& text, std::size_t limit) {
    std::string shown;
    for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte == '\\') {
            shown += "\\\\";
        } else if (byte >= 0x20 && byte < 0x7f) {
            shown += static_cast<char>(byte);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            shown += escaped;
        }
    }
    if (text.size() > limit) shown += "...";
    return shown;
}

void keep_standard_streams_open() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1) continue;
        // open gives the lowest free descriptor: this very one.
        const int null = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (null != fd && null >= 0) close(null);
    }
}

}  // namespace tarno
