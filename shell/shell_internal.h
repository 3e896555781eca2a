// The shell's inner seams: AppState, the steps that start-up, the main loop
// and the shutdown are made of, and the two things the shell's tests replace
// (the clock and the sound). Only the shell and its tests include this; the
// tools use shell.h.
#pragma once

#include <signal.h>

#include <cstdint>
#include <string>

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
constexpr std::uint32_t TOUCH_REOPEN_MS = 1000;     // a touch device that delivers nothing this long is opened anew

// The sample rates a click file may have. SDL 1.2 converts a rate by halving
// or doubling it step by step, with room for ten steps in all (format and
// channel steps included); a rate of 0, or one thousands of times off the
// device's, overruns that room and crashes the mixer. From 1 kHz to 192 kHz
// against a device at 8 to 48 kHz takes at most six steps.
constexpr std::uint32_t MIN_CLICK_RATE = 1000;
constexpr std::uint32_t MAX_CLICK_RATE = 192000;

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
    bool touch_delivered = false;        // the device's last read gave a sample, so the loop waited for it
    bool touch_failing = false;          // the device's reads have given nothing since touch_failing_since
    std::uint32_t touch_failing_since = 0;
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

// --- The click file ---

// What in the WAV header read from stream would make the mixer fail or crash
// ("0 channels", "2080000000 Hz", "sample format 2, not PCM"...), or "" when
// it is a PCM file of 1 or 2 channels, 8 or 16 bits, at MIN_CLICK_RATE to
// MAX_CLICK_RATE. Reads from the stream's position and leaves it anywhere.
std::string wav_header_fault(SDL_RWops* stream);

// The click from the regular file at path, checked, then loaded by the mixer;
// null, with SDL's error saying why ("<path>: 0 channels"), when it fails.
Mix_Chunk* load_click(const char* path);

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

// Whether the loop pauses after a pass: the pass did nothing, and no read of
// the touch device waited for a sample (one that fails at once must not spin).
bool pass_should_pause(bool busy);

// How long an idle pass sleeps on the X connection: -1 (until an event) when
// nothing is pressed; while a press is held, until the repeat guard ends, so
// that a held key repeats on time although a still mouse sends no events.
int x_wait_timeout_ms(bool pressed, std::uint32_t deadline, std::uint32_t now);

// Runs passes until the shutdown ends the program.
[[noreturn]] void run_main_loop();

// --- Touch input ---

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

// --- The X display ---

// On SDL's X11 driver: readies waiting on its X connection and watching the
// window's destruction. False on any other video driver.
bool watch_x_connection();

// Whether event reports that another client destroyed the calculator's window.
bool window_destroyed(const SDL_Event& event);

// Sleeps until SDL's X connection has an event, timeout_ms passes (-1: no
// limit) or SIGINT or SIGTERM comes. Only after watch_x_connection said true.
void wait_for_x_event(int timeout_ms);

// Waits until fd has input (true), timeout_ms passes (-1: no limit) or a
// signal comes, with the signal mask signals in force meanwhile.
bool wait_for_input(int fd, int timeout_ms, const sigset_t* signals);

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
