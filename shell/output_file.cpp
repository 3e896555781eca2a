// Writing a file as the user or the calculator asked: a regular file is
// replaced only by a whole one, a device or a pipe is written into. The
// tools' pictures and the desktop window's kept state both go through here.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "shell.h"

namespace tarno {
namespace {

// As many links as the kernel follows in one path before it gives up.
constexpr int MOST_LINKS = 40;

// False with error saying why the last system call failed.
bool failed(std::string& error) {
    error = std::strerror(errno);
    return false;
}

// The folder part of path, to which a link's relative target is relative.
std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

// The path that path's links lead to, followed one after another; the last
// need not exist yet (a link to a picture still to be made). False with
// errno set when they cannot be followed.
bool follow_links(std::string path, std::string& target) {
    for (int links = 0; links < MOST_LINKS; ++links) {
        char to[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), to, sizeof to);
        if (length < 0) {
            target = path;
            return errno == EINVAL || errno == ENOENT;  // not a link, or nothing there
        }
        if (static_cast<std::size_t>(length) == sizeof to) {
            errno = ENAMETOOLONG;
            return false;
        }
        path = to[0] == '/' ? std::string(to, length) : folder_of(path) + "/" + std::string(to, length);
    }
    errno = ELOOP;
    return false;
}

// A new file of ours beside target, named temporary, with the permissions of
// the file it is to replace (existing) or of any new file; its descriptor,
// or -1 with errno set.
int create_beside(const std::string& target, const struct stat* existing, std::string& temporary) {
    for (int attempt = 0;; ++attempt) {
        temporary = target + "." + std::to_string(getpid()) + "-" + std::to_string(attempt) + ".part";
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST && attempt < 100) continue;
        if (fd >= 0 && existing != nullptr && fchmod(fd, existing->st_mode & 07777) != 0) {
            const int why = errno;
            close(fd);
            unlink(temporary.c_str());
            errno = why;
            return -1;
        }
        return fd;
    }
}

// Writes all of bytes to fd; false with errno set.
bool write_all(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote == 0) errno = EIO;  // a device that takes nothing more
        if (wrote <= 0) return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

// Writes bytes to fd, syncs them to the disk when fd is a new file of ours,
// and closes fd; false with the reason in error.
bool write_and_close(int fd, std::string_view bytes, bool sync, std::string& error) {
    const bool written = write_all(fd, bytes) && (!sync || fsync(fd) == 0);
    if (!written) failed(error);
    const bool closed = close(fd) == 0;
    if (written && !closed) failed(error);
    return written && closed;
}

// Whether a and b are the same file.
bool same_file(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Writes bytes into what path names as it is, a device or a pipe: opened
// through path itself, so that the kernel follows the links, those of /proc
// too (/dev/stdout, /proc/self/fd/1), whose targets ("pipe:[4711]") name
// nothing in the file system. A regular file (reached so only through such
// a link) is emptied first.
bool write_into(const std::string& path, std::string_view bytes, Reader reader, std::string& error) {
    const int flags = O_WRONLY | O_NOCTTY | O_CLOEXEC | (reader == Reader::DONT_WAIT ? O_NONBLOCK : 0);
    const int fd = open(path.c_str(), flags);
    if (fd < 0) return failed(error);
    struct stat opened;
    if (fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && ftruncate(fd, 0) != 0) {
        failed(error);
        close(fd);
        return false;
    }
    return write_and_close(fd, bytes, false, error);
}

}  // namespace

bool write_file(const std::string& path, std::string_view bytes, Reader reader, std::string& error) {
    struct stat named;
    const bool names_something = stat(path.c_str(), &named) == 0;
    if (names_something && !S_ISREG(named.st_mode)) return write_into(path, bytes, reader, error);
    std::string target;
    if (!follow_links(path, target)) return failed(error);
    struct stat existing;
    const bool exists = stat(target.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) return failed(error);
    // A regular file that the links' text does not lead to (a /proc link to
    // a file since removed) cannot be replaced beside itself: written into.
    if (names_something && !(exists && same_file(named, existing))) return write_into(path, bytes, reader, error);
    if (exists && !S_ISREG(existing.st_mode)) return write_into(target, bytes, reader, error);
    std::string temporary;
    const int fd = create_beside(target, exists ? &existing : nullptr, temporary);
    if (fd < 0) return failed(error);
    const bool saved = write_and_close(fd, bytes, true, error) &&
                       (std::rename(temporary.c_str(), target.c_str()) == 0 || failed(error));
    if (!saved) unlink(temporary.c_str());
    return saved;
}

}  // namespace tarno
