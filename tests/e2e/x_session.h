// Running the real calculator as a person does, for the end-to-end and
// package tests: an X server of its own, and pictures of the screen to
// compare.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/process.h"

namespace tarno_test {

using Clock = std::chrono::steady_clock;

void sleep_ms(int ms);

// An X server of the calculator's size and depth (320x240x16) on a free
// display, for as long as the object lives. It keeps running when its last
// client goes (-noreset): SDL's X11 probe connects and leaves at once, and a
// server that resets then may refuse the calculator's own connection.
class XServer {
public:
    // screen as Xvfb takes it: width x height x depth.
    explicit XServer(const std::string& screen = "320x240x16");
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    const std::string& display() const { return display_; }  // empty when the server did not start

private:
    std::unique_ptr<Child> server_;
    std::string display_;
};

// A picture as RGB565 values, row by row; the screen's 320x240 unless said otherwise.
using Picture = std::vector<std::uint16_t>;
constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;

// The top-left width x height of an xwd dump of a TrueColor screen of 16,
// 24 or 32 bits per pixel (a header of big-endian 32-bit fields, then the
// colour map, then the pixels); empty when it is no such dump.
Picture read_xwd(const std::string& path, int width = WIDTH, int height = HEIGHT);

// A width x height BMP of 24 or 32 bits per pixel, bottom row first, as SDL
// saves it; empty when it is no such BMP.
Picture read_bmp(const std::string& path, int width = WIDTH, int height = HEIGHT);

// picture, width pixels wide, with every pixel repeated as a scale x scale block.
Picture scaled(const Picture& picture, int width, int scale);

// How many pixels differ, with the first difference described in where
// (its place counted in rows width pixels wide).
int differences(const Picture& seen, const Picture& expected, std::string& where, int width = WIDTH);

// Waits up to seconds for the top-left of the X screen on display to show
// expected, width pixels wide (reading it through dump, an xwd file): how
// many pixels differ at the end, 0 when it shows it, the first difference
// described in where.
int wait_for_screen(const std::string& display, const std::string& dump, const Picture& expected, int width,
                    double seconds, std::string& where);

}  // namespace tarno_test
