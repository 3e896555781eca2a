// The calculator's data files as SDL streams. Only a regular file is read:
// a FIFO or a device in its place (a broken SD card, a hostile tarno/) would
// block the open or the read for good, with the calculator frozen at start-up
// or at a redraw.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "display.h"

namespace tarno {

namespace {
constexpr std::size_t READ_BUFFER_BYTES = 64 * 1024;
}  // namespace

SDL_RWops* open_data_file(const char* path) {
    // Opening a FIFO without O_NONBLOCK waits for a writer; with it, the open
    // returns at once and the file's kind can be looked at.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat status;
    if (fd < 0 || fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        if (fd >= 0) close(fd);
        // The words SDL_RWFromFile uses for a missing file.
        SDL_SetError("Couldn't open %s", path);
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = fdopen(fd, "rb");
    if (file == nullptr) {
        close(fd);
        SDL_SetError("Couldn't open %s", path);
        return nullptr;
    }
    // Read in large pieces: the keypad picture, read at every redraw, then
    // takes a few reads instead of one for each kilobyte.
    std::setvbuf(file, nullptr, _IOFBF, READ_BUFFER_BYTES);
    SDL_RWops* stream = SDL_RWFromFP(file, 1);
    if (stream == nullptr) std::fclose(file);
    return stream;
}

}  // namespace tarno
