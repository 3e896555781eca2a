// The calculator in the handheld's landscape screen, run in a window of an
// X server of its own as a person uses it: tapped with the mouse through
// xdotool, its window read back with xwd and its sound written to a file by
// SDL's disk audio driver.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "calc.h"
#include "support/files.h"
#include "support/key_cells.h"
#include "x_session.h"

namespace tarno_test {


// --- The click stream ---

// The clicks in a stream of signed 8-bit samples: runs of sound separated by
// at least gap samples of exact silence (0).
inline int count_clicks(const std::string& samples, std::size_t gap) {
    int clicks = 0;
    std::size_t silent = gap;
    for (char sample : samples) {
        if (sample == 0) {
            ++silent;
            continue;
        }
        if (silent >= gap) ++clicks;
        silent = 0;
    }
    return clicks;
}

// --- The session ---

class CalculatorSession : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(x_.display().empty()) << "Xvfb did not start";
        calculator_.emplace(Command{{TARNO_PROGRAM},
                                    {{"DISPLAY", x_.display()},
                                     {"SDL_VIDEODRIVER", "x11"},
                                     {"SDL_AUDIODRIVER", "disk"},
                                     {"SDL_DISKAUDIOFILE", files_.file("click.raw")},
                                     {"SDL_DISKAUDIODELAY", "1"}}});
    }
    void TearDown() override {
        if (calculator_) calculator_->stop();
    }

    // Runs an X client of the test's server to its end: its exit status.
    int x_client(const std::vector<std::string>& argv) { return run({argv, {{"DISPLAY", x_.display()}}}).status; }

    // A quick tap, as short as a finger's.
    void tap(int code) { hold(code, "0.02", 1); }

    // Holds the key down for seconds, which the calculator takes as repeats taps.
    void hold(int code, const std::string& seconds, int repeats) {
        const auto [x, y] = key_middle(code);
        for (int i = 0; i < repeats; ++i) taps_.push_back(std::to_string(x) + "," + std::to_string(y));
        EXPECT_EQ(x_client({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "mousedown", "1", "sleep",
                            seconds, "mouseup", "1"}),
                  0);
        sleep_ms(300);  // past the calculator's 200 ms repeat guard
    }

    // The exit status once the calculator has ended within seconds, or -1.
    int calculator_exit(double seconds) { return calculator_->wait(seconds); }

    // tarno-shot's picture after the taps so far.
    Picture expected_screen() {
        std::vector<std::string> argv = {TARNO_SHOT, files_.file("shot.bmp")};
        argv.insert(argv.end(), taps_.begin(), taps_.end());
        if (run({argv, {{"SDL_VIDEODRIVER", "dummy"}}}).status != 0) return {};
        return read_bmp(files_.file("shot.bmp"));
    }

    // Waits up to seconds for the window to show what tarno-shot draws.
    void expect_window_shows_taps(double seconds) {
        const Picture expected = expected_screen();
        ASSERT_EQ(expected.size(), static_cast<std::size_t>(WIDTH * HEIGHT)) << "tarno-shot gave no picture";
        std::string where;
        const int n = wait_for_screen(x_.display(), files_.file("window.xwd"), expected, WIDTH, seconds, where);
        EXPECT_EQ(n, 0) << "pixels differ after " << taps_.size() << " taps; " << where;
    }

    XServer x_;
    TempDirectory files_;
    std::optional<Child> calculator_;
    std::vector<std::string> taps_;
};

}  // namespace tarno_test
