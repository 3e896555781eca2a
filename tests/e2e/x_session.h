// Running the real calculator as a person does, for the end-to-end and
// package tests: child processes, an X server of its own, a temporary
// folder, and pictures of the screen to compare.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tarno_test {

using Clock = std::chrono::steady_clock;
using Environment = std::vector<std::pair<std::string, std::string>>;

void sleep_ms(int ms);

// Starts argv[0] (looked up in PATH) with env added to this environment, its
// standard input from /dev/null and its output to /dev/null, keeping only
// keep_fd open beyond those. It dies with the test, so that no X server or
// calculator outlives a crashed run.
pid_t spawn(const std::vector<std::string>& argv, const Environment& env, int keep_fd = -1);

// The exit status (128 + the signal for a killed child), or -1 when it has
// not ended within seconds.
int wait_for(pid_t pid, double seconds);

// Ends the child (politely first) unless it has ended already, and reaps it.
void stop(pid_t pid);

// Runs argv to its end (at most 20 seconds) and gives its exit status.
int run(const std::vector<std::string>& argv, const Environment& env = {});

// An X server of the calculator's size and depth (320x240x16) on a free
// display, for as long as the object lives. It keeps running when its last
// client goes (-noreset): SDL's X11 probe connects and leaves at once, and a
// server that resets then may refuse the calculator's own connection.
class XServer {
public:
    XServer();
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    const std::string& display() const { return display_; }  // empty when the server did not start

private:
    pid_t pid_ = -1;
    std::string display_;
};

// A fresh folder under /tmp, removed with everything in it at the end.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// A 320x240 picture as RGB565 values, row by row.
using Picture = std::vector<std::uint16_t>;
constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;

// The whole file's bytes; empty when it cannot be read.
std::string read_file(const std::string& path);

// The top-left 320x240 of an xwd dump of a TrueColor screen (a header of
// big-endian 32-bit fields, then the colour map, then the pixels); empty
// when it is no such dump.
Picture read_xwd(const std::string& path);

// A 320x240 BMP of 24 or 32 bits per pixel, bottom row first, as SDL saves
// it; empty when it is no such BMP.
Picture read_bmp(const std::string& path);

// How many pixels differ, with the first difference described in where.
int differences(const Picture& seen, const Picture& expected, std::string& where);

}  // namespace tarno_test
