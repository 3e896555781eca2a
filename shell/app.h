// The shell's inner seams: AppState, the steps that start-up, the main loop
// and the shutdown are made of, and the two things the shell's tests replace
// (the clock and the sound). Only the shell and its tests include this; the
// tools use shell.h.
#pragma once

#include <cstdint>

#include "SDL.h"
#include "SDL_mixer.h"
#include "SDL_ttf.h"
#include "display.h"
#include "shell.h"

namespace tarno {

constexpr std::uint32_t KEY_REPEAT_MS = 200;        // the wait after an accepted press
constexpr int VOLUME_STEP = 16;                     // one press of a volume button
constexpr int MAX_VOLUME = 128;                     // SDL_mixer's full volume
constexpr std::uint32_t IDLE_WAIT_MS = 5;           // the longest pause of a pass with nothing to do
constexpr std::uint32_t LAST_CLICK_WAIT_MS = 1000;  // the shutdown waits no longer for the last click

// The GP2X's buttons, as its SDL numbers them on joystick 0.
constexpr int BUTTON_START = 8;
constexpr int BUTTON_VOLUME_UP = 16;
constexpr int BUTTON_VOLUME_DOWN = 17;

// The console's own files, and the calculator's data files below the working directory.
constexpr const char* FIRMWARE_VERSION_FILE = "/usr/gp2x/version";
constexpr const char* TOUCH_DEVICE = "/dev/touchscreen/wm97xx";
constexpr const char* MENU_DIRECTORY = "/usr/gp2x";
constexpr const char* MENU_PROGRAM = "/usr/gp2x/gp2xmenu";
constexpr const char* CLICK_FILE = "tarno/tarno.wav";

// The shell's globals, alive for the whole run.
struct AppState {
    std::uint8_t quit_requested = 0;     // set by Off, Start, any keyboard key, a quit request
    SDL_Surface* screen = nullptr;       // 320x240, 16 bits per pixel
    Fonts fonts{};                       // font_large, font_small and the number line's narrow sizes
    Mix_Chunk* click_sound = nullptr;    // null when the click could not be loaded
    std::uint8_t direct_touch = 0;       // 1: touches from the device, 0: from SDL's mouse
    std::int32_t touch_x = 0;            // last touch position, screen pixels
    std::int32_t touch_y = 0;
    std::uint8_t calibration_pending = 1;  // until the device's first pen-up sample
    std::int32_t touch_offset_x = 0;
    std::int32_t touch_offset_y = 0;
    int touch_fd = -1;                   // the touch device, -1 while not open
    std::uint32_t next_accept_ms = 0;    // presses before this time are ignored
    int last_click_channel = -1;         // channel of the main loop's last click, -1 for none
};

extern AppState app;

// The click and the volume, as the main loop, the volume buttons and the
// shutdown use them: SDL_mixer in the program, a recorder in the tests.
class Sound {
public:
    virtual ~Sound() = default;
    virtual int play_click() = 0;             // starts the click once on a free channel: the channel, or -1
    virtual int volume() = 0;                 // channel 0's volume, 0..128
    virtual void set_volume(int volume) = 0;  // sets every channel's volume
    virtual bool playing(int channel) = 0;    // whether the channel still plays
};

// What the shell reads from the world besides SDL's video and events.
struct Platform {
    std::uint32_t (*clock)();  // milliseconds, wrapping; now_ms in the program
    Sound* sound;              // the mixer in the program
};

extern Platform platform;

// The mixer-backed Sound the program uses.
Sound& mixer_sound();

// --- Clock and repeat guard ---

// The wall clock (gettimeofday) in milliseconds, modulo 2^32.
std::uint32_t now_ms();

// seconds × 1000 + microseconds ÷ 1000, modulo 2^32.
std::uint32_t ms_from_time(long seconds, long microseconds);

// Whether a press at now falls inside the wait that ends at deadline. Wrap-safe;
// a deadline more than KEY_REPEAT_MS ahead (the clock was set back) has passed.
bool repeat_guard_running(std::uint32_t deadline, std::uint32_t now);

// How long a pass with nothing to do pauses: IDLE_WAIT_MS, or less when the
// repeat guard ends sooner, so that a held key repeats on time.
std::uint32_t idle_wait_ms(std::uint32_t deadline, std::uint32_t now);

// --- Main loop ---

// Acts on one SDL event: quit requests, the Start and the volume buttons.
void handle_event(const SDL_Event& event);

// Runs key on the engine (Off sets quit_requested), then redraws screen.
void process_key(KeyCode key, SDL_Surface* screen);

// The press now at (touch_x, touch_y) through the repeat guard, the hit-test,
// the click and process_key; true when it reached a key.
bool handle_press();

// One pass of the main loop; shuts down instead when a quit was requested.
// True when the pass handled an event or a key.
bool run_pass();

// Runs passes until the shutdown ends the program.
[[noreturn]] void run_main_loop();

// --- Touch input ---

// Decides the touch source from the firmware version file at path.
void check_firmware_version(const char* path);

// Whether the screen is pressed now; leaves the position in touch_x, touch_y.
bool poll_touch();

// Direct mode: opens the touch device at path unless it is open, then reads one sample.
bool poll_touch_device(const char* path);

// Reads one sample from the touch device fd: calibrates once, maps, reports pen down.
bool read_touch_sample(int fd);

// --- Start-up and shutdown ---

// Brings up SDL, the fonts, the sound and the calculator; draws the first screen.
// Ends the program with status 1 when there is no screen to draw on.
void start_up();

// Takes everything down and hands the console to the system menu.
[[noreturn]] void shut_down();

// Lets the main loop's last click play to its end, for at most LAST_CLICK_WAIT_MS.
void wait_for_last_click();

// Changes to directory and executes program in this process's place; when
// that fails, ends the process with status 0.
[[noreturn]] void hand_over_to_menu(const char* directory, const char* program);

}  // namespace tarno
