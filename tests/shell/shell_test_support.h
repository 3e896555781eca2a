// What the shell's tests share: a recorder in place of the mixer, a clock
// the test sets, a fixture that starts every test from a freshly loaded
// shell and a powered-on calculator, with a screen from SDL's dummy driver,
// and positions on the keys.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "backend.h"
#include "click_file.h"
#include "input.h"
#include "keyboard.h"
#include "lifecycle.h"
#include "loop.h"
#include "native_idle.h"
#include "options.h"
#include "touch.h"
#include "x_display.h"
#include "support/capture.h"
#include "support/key_cells.h"

namespace tarno::shell_test {

// Stands in for SDL_mixer: counts clicks, keeps a volume, answers playing().
class RecordingSound final : public Sound {
public:
    int clicks = 0;
    int click_channel = 3;            // what play_click answers; -1 = the mixer failed
    int current_volume = MAX_VOLUME;
    std::vector<int> volumes_set;
    int playing_asked = 0;
    int playing_for = 0;              // playing() says yes this many times
    bool playing_forever = false;

    void open() override {}
    void close() override {}
    int play_click() override {
        ++clicks;
        return click_channel;
    }
    int volume() override { return current_volume; }
    void set_volume(int volume) override {
        volumes_set.push_back(volume);
        current_volume = volume;
    }
    bool playing(int) override {
        ++playing_asked;
        return playing_forever || playing_asked <= playing_for;
    }
};

// The time that test_clock reports; each reading then moves it on by test_clock_step.
inline std::uint32_t test_now = 0;
inline std::uint32_t test_clock_step = 0;

inline std::uint32_t test_clock() {
    const std::uint32_t now = test_now;
    test_now += test_clock_step;
    return now;
}

// The screen of SDL's dummy video driver, set up once for the whole run.
SDL_Surface* test_screen();

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    RecordingSound sound;
};

// A 16-byte sample as the GP2X's driver writes it: three little-endian
// 16-bit fields, then ten bytes the calculator does not read.
std::string touch_sample(std::uint16_t pressure, std::uint16_t raw_x, std::uint16_t raw_y);

// The touch device as a pipe in direct mode: the test writes samples, the
// shell reads them.
class TouchPipeTest : public ShellTest {
protected:
    void SetUp() override;
    void TearDown() override;
    void send(const std::string& bytes);
    void hang_up();  // closes the writing end: the next read returns 0 bytes

    int pipe_[2] = {-1, -1};
};

// Screen positions in the middle of keys' cells, and one beside the keys.
using tarno_test::Point;
constexpr Point AT_KEY_1 = tarno_test::key_middle(KEY_1);
constexpr Point AT_KEY_7 = tarno_test::key_middle(KEY_7);
constexpr Point AT_KEY_OFF = tarno_test::key_middle(KEY_OFF);
constexpr Point BESIDE_KEYS{60, 20};  // the display strip, left of the keys

}  // namespace tarno::shell_test
