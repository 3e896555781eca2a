// The handheld's touch screen: the firmware's version file decides whether
// touches come from the touch controller's device or from SDL's mouse.
#pragma once

#include <cstdint>

namespace tarno {

constexpr const char* FIRMWARE_VERSION_FILE = "/usr/gp2x/version";
constexpr const char* TOUCH_DEVICE = "/dev/touchscreen/wm97xx";
constexpr std::uint32_t TOUCH_REOPEN_MS = 1000;  // a touch device that delivers nothing this long is opened anew

// Decides the touch source from the firmware version file at path.
void check_firmware_version(const char* path);

// Whether the screen is pressed now; leaves the position in touch_x, touch_y.
bool poll_touch();

// Direct mode: opens the touch device at path unless it is open, then reads one sample.
bool poll_touch_device(const char* path);

// Reads one sample from the touch device fd: calibrates once, maps, reports
// pen down; touch_delivered says whether a sample came.
bool read_touch_sample(int fd);

// Closes the touch device if it is open; the next direct-mode pass opens it again.
void close_touch_device();

}  // namespace tarno
