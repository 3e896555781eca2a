// What the desktop window keeps between runs, as a pocket calculator keeps
// its memory and modes while switched off: the engine's kept-state text in
// a file of the user's state folder, read at start-up and written after
// every key that changes it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "desktop.h"

namespace tarno {

namespace {

constexpr const char* STATE_FOLDER = "tarno";
constexpr const char* STATE_NAME = "state";
constexpr const char* DEFAULT_STATE_HOME = "/.local/state";  // below the home folder

// The path shown in a message, whole but printable.
std::string shown(const std::string& path) { return shown_argument(path, WHOLE); }

struct StateFile {
    std::string path;                  // empty when there is nowhere to keep the state
    char kept[KEPT_STATE_SIZE] = {};   // the kept-state text as last read or written
    bool keeping = false;              // false once writing failed: nothing more is tried
};

StateFile state_file;

// The kept-state text of the calculator now.
void current_text(char (&text)[KEPT_STATE_SIZE]) { write_kept_state(read_only_calc_state(), text); }

// Makes folder and the folders above it that are missing, private to the
// user as state folders are; false with errno set.
bool make_folders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return true;
    }
}

// Reads at most size bytes of the regular file at path into text: their
// count, or -1 with why saying what is wrong, or -2 when there is no file.
// A pipe at path must not keep the calculator from starting, so the file is
// opened without waiting and its type looked at before it is read.
long read_state(const std::string& path, char* text, std::size_t size, std::string& why) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) return -2;
    if (fd < 0) {
        why = std::string("it cannot be read: ") + std::strerror(errno);
        return -1;
    }
    struct stat file;
    if (fstat(fd, &file) != 0 || !S_ISREG(file.st_mode)) {
        why = "it is not a regular file";
        close(fd);
        return -1;
    }
    std::size_t count = 0;
    while (count < size) {
        const ssize_t got = read(fd, text + count, size - count);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            why = std::string("it cannot be read: ") + std::strerror(errno);
            close(fd);
            return -1;
        }
        if (got == 0) break;
        count += static_cast<std::size_t>(got);
    }
    close(fd);
    return static_cast<long>(count);
}

}  // namespace

std::string state_file_path(const char* xdg_state_home, const char* home) {
    // A relative XDG_STATE_HOME is not valid and is ignored, as the XDG base
    // directories ask: it would depend on where the calculator was started.
    std::string folder;
    if (xdg_state_home != nullptr && xdg_state_home[0] == '/') folder = xdg_state_home;
    else if (home != nullptr && home[0] == '/') folder = std::string(home) + DEFAULT_STATE_HOME;
    else return "";
    return folder + "/" + STATE_FOLDER + "/" + STATE_NAME;
}

void restore_state_file() {
    state_file.path = state_file_path(std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
    state_file.keeping = !state_file.path.empty();
    if (!state_file.keeping) {
        std::fputs("tarno: neither XDG_STATE_HOME nor HOME names a folder: the memory and modes are not kept\n",
                   stderr);
        return;
    }
    // One byte more than any kept text, so that a longer file is seen to be one.
    char text[KEPT_STATE_SIZE];
    std::string why;
    const long count = read_state(state_file.path, text, sizeof text, why);
    if (count >= 0) {
        const char* refused = nullptr;
        if (!restore_kept_state(text, static_cast<std::size_t>(count), &refused)) why = refused;
    }
    if (!why.empty())
        std::fprintf(stderr, "tarno: ignored the kept state in %s: %s\n", shown(state_file.path).c_str(), why.c_str());
    // A bad file stays as it is until a key changes what it would hold.
    current_text(state_file.kept);
}

void keep_state_file() {
    if (!state_file.keeping) return;
    char text[KEPT_STATE_SIZE];
    current_text(text);
    if (std::strcmp(text, state_file.kept) == 0) return;
    std::memcpy(state_file.kept, text, sizeof text);
    const std::string folder = state_file.path.substr(0, state_file.path.rfind('/'));
    std::string error;
    if (!make_folders(folder)) {
        error = std::strerror(errno);
    } else if (write_file(state_file.path, text, Reader::DONT_WAIT, error)) {
        return;
    }
    std::fprintf(stderr, "tarno: couldn't keep the state in %s: %s; the calculator runs on without keeping it\n",
                 shown(state_file.path).c_str(), error.c_str());
    state_file.keeping = false;
}

}  // namespace tarno
