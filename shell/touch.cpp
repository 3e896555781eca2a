// Where touches come from: older firmware hands the touch controller's raw
// samples to the program (direct mode), newer firmware reports the touch
// screen through SDL's mouse, as a desktop's mouse does.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "loop.h"
#include "touch.h"

namespace tarno {

namespace {

// One sample of the touch device, in the device's own byte order.
struct TouchSample {
    std::uint16_t pressure;  // 0 = pen up
    std::uint16_t raw_x;
    std::uint16_t raw_y;
    std::uint8_t unused[10];
};
static_assert(sizeof(TouchSample) == 16, "the device delivers 16-byte samples");

// The controller reads about 200..3950 across the screen along either axis;
// both the mapping and the offsets are scaled from that span, in signed
// 32-bit arithmetic that truncates toward zero (320 x 65535 still fits).
constexpr std::int32_t RAW_LOW = 200;    // the reading at the screen's left and bottom edges
constexpr std::int32_t RAW_SPAN = 3750;  // from RAW_LOW to 3950, the opposite edges
// The offsets are a quarter of where the first pen-up sample maps: the
// controller's resting reading, taken off every later position.
constexpr std::int32_t OFFSET_SHARE = 4;

void calibrate_touch(std::int32_t raw_x, std::int32_t raw_y) {
    constexpr std::int32_t x_scale = SCREEN_WIDTH / OFFSET_SHARE;   // 80
    constexpr std::int32_t y_scale = SCREEN_HEIGHT / OFFSET_SHARE;  // 60
    app.touch_offset_x = (x_scale * raw_x - x_scale * RAW_LOW) / RAW_SPAN;
    app.touch_offset_y = (y_scale * raw_y - y_scale * RAW_LOW) / RAW_SPAN;
    app.calibration_pending = 0;
}

void map_touch(std::int32_t raw_x, std::int32_t raw_y) {
    app.touch_x = (SCREEN_WIDTH * raw_x - SCREEN_WIDTH * RAW_LOW) / RAW_SPAN - app.touch_offset_x;
    // The controller's y axis runs upwards, the screen's downwards.
    app.touch_y = SCREEN_HEIGHT - (SCREEN_HEIGHT * raw_y - SCREEN_HEIGHT * RAW_LOW) / RAW_SPAN - app.touch_offset_y;
}

// A device that gives nothing (unplugged, at its end, or failing) is closed
// after TOUCH_REOPEN_MS of it and opened again on a later pass.
void note_touch_failure() {
    const std::uint32_t now = platform.clock();
    if (!app.touch_failing) {
        app.touch_failing = true;
        app.touch_failing_since = now;
        return;
    }
    if (now - app.touch_failing_since < TOUCH_REOPEN_MS) return;
    close_touch_device();
    app.touch_failing = false;
}

bool poll_mouse() {
    int x = 0, y = 0;
    const Uint8 buttons = SDL_GetMouseState(&x, &y);
    app.touch_x = x;
    app.touch_y = y;
    return buttons != 0;
}

}  // namespace

void check_firmware_version(const char* path) {
    std::FILE* file = std::fopen(path, "r");
    if (!file) return;  // not a GP2X, or no version to go by: SDL mode
    char version[9] = {};
    const std::size_t length = std::fread(version, 1, sizeof version, file);
    std::fclose(file);
    if (length < 3) {
        app.direct_touch = 0;  // too short to tell: the newer firmware's SDL mode
        return;
    }
    // Signed on every CPU: a byte of 0x80 or above passes both tests.
    const auto major = static_cast<std::int8_t>(version[0]);
    const auto minor = static_cast<std::int8_t>(version[2]);
    app.direct_touch = (major <= '4' && minor <= '0') ? 1 : 0;
}

bool poll_touch() {
    return app.direct_touch ? poll_touch_device(TOUCH_DEVICE) : poll_mouse();
}

bool poll_touch_device(const char* path) {
    if (app.touch_fd < 0) {
        // Blocking reads: in direct mode the device sets the main loop's pace.
        app.touch_fd = open(path, O_RDONLY | O_NOCTTY);
        if (app.touch_fd < 0) {
            app.touch_delivered = false;
            return false;  // tried again on the next pass
        }
    }
    const bool pressed = read_touch_sample(app.touch_fd);
    if (app.touch_delivered) app.touch_failing = false;
    else note_touch_failure();
    return pressed;
}

void close_touch_device() {
    if (app.touch_fd < 0) return;
    close(app.touch_fd);
    app.touch_fd = -1;
}

bool read_touch_sample(int fd) {
    TouchSample sample;
    std::memset(&sample, 0, sizeof sample);
    // A failed read is no sample at all: taking it as pen up at raw (0, 0)
    // would move the position and could calibrate the screen from nothing.
    app.touch_delivered = read(fd, &sample, sizeof sample) > 0;
    if (!app.touch_delivered) return false;
    // A short read keeps the zeros of the bytes it did not fill.
    if (app.calibration_pending && sample.pressure == 0) calibrate_touch(sample.raw_x, sample.raw_y);
    map_touch(sample.raw_x, sample.raw_y);
    return sample.pressure != 0;
}

}  // namespace tarno
