// The shell's internal header: AppState, the steps that start-up, the main
// loop and the shutdown are made of, and the seams where the program meets
// the world: the clock, the sound, and the backend that shows the screen and
// delivers presses (the handheld's, a desktop window's, a browser's). Only
// the shell and its tests include this; the tools use shell.h.
//
// Sections: constants; AppState; the seams (Sound, Backend, Platform);
// options; the click file; clock and repeat guard; main loop; keyboard; touch input;
// native backends; the X display; start-up and shutdown.
#pragma once

#include <signal.h>

#include <cstdint>
#include <memory>
#include <string>

#include "SDL.h"
#include "SDL_ttf.h"
#include "display.h"
#include "shell.h"

// SDL_mixer's sample; only the mixer's own code looks inside it.
struct Mix_Chunk;

namespace tarno {

// --- Constants ---

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

// --- AppState ---

// The shell's globals, alive for the whole run.
struct AppState {
    std::uint8_t quit_requested = 0;     // set by Off, Start, a keyboard key on the handheld, a quit request
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

// --- The seams ---

// The click and the volume, as the main loop, the volume buttons and the
// shutdown use them: SDL_mixer in the native program, Web Audio in a
// browser, a recorder in the tests.
class Sound {
public:
    virtual ~Sound() = default;
    virtual void open() = 0;                  // opens the output and loads the click; says on standard error what failed
    virtual int play_click() = 0;             // starts the click once on a free channel: the channel, or -1
    virtual int volume() = 0;                 // channel 0's volume, 0..128
    virtual void set_volume(int volume) = 0;  // sets every channel's volume
    virtual bool playing(int channel) = 0;    // whether the channel still plays
    virtual void close() = 0;                 // frees the click and closes the output
};

// Where the composed screen is shown and where presses and typed keys come
// from: all that the handheld, a desktop window and a browser do otherwise.
// One is chosen at start-up; the main loop is the same for all.
class Backend {
public:
    virtual ~Backend() = default;
    // Brings up SDL and the display: the SCREEN_WIDTH x SCREEN_HEIGHT x
    // SCREEN_BITS surface the display composes on, or null after one line
    // on standard error saying why there is none.
    virtual SDL_Surface* open_screen() = 0;
    // Shows screen, just composed by redraw_screen (which flipped it).
    virtual void show(SDL_Surface* screen) = 0;
    // Whether the screen is pressed now; the place into touch_x, touch_y, in screen pixels.
    virtual bool poll_press() = 0;
    // A key pressed on the keyboard.
    virtual void key_down(const SDL_keysym& key) = 0;
    // A raw event of the window system, SDL_SYSWMEVENT.
    virtual void window_event(const SDL_Event& event) = 0;
    // Puts text on the clipboard, where there is one.
    virtual void copy(const std::string& text) = 0;
    // Pauses a pass of the main loop that had nothing to do.
    virtual void pause_idle() = 0;
    // Just after the power-on: puts back what was kept from the last run, where anything is kept.
    virtual void restore_kept() {}
    // After a key was handled and shown: keeps what is kept between runs, where anything is.
    virtual void keep() {}
};

// What the shell reads from the world besides SDL's events.
struct Platform {
    std::uint32_t (*clock)();  // milliseconds, wrapping; now_ms in the program
    Sound* sound;              // the mixer in the native program
    Backend* backend;          // chosen at start-up; the handheld's unless an option says otherwise
};

extern Platform platform;

// The mixer-backed Sound of the native program.
Sound& mixer_sound();

// The click from the regular file at path, checked, then loaded by the mixer;
// null, with SDL's error saying why ("<path>: 0 channels"), when it fails.
Mix_Chunk* load_click(const char* path);

// The handheld's backend, today's program: the 320x240 screen as it is,
// touches from the touch device or the mouse, any keyboard key quits.
Backend& handheld_backend();

// A desktop's backend: the calculator upright in a window, every pixel a
// scale x scale block (1..MAX_SCALE; 0: default_scale for the screen), the
// mouse for the finger and the keyboard for the keys.
std::unique_ptr<Backend> make_desktop_backend(int scale);

constexpr int MAX_SCALE = 8;

// The desktop window's scale when none is asked for: the largest at which
// the window is at most 90 % of a screen screen_height pixels high, at least 1.
int default_scale(int screen_height);

// --- Options ---

// What the command line asks for. Without options the program is the
// handheld's; only desktop launchers pass --desktop.
struct Options {
    bool desktop = false;  // --desktop: upright in a window, typed from the keyboard
    int scale = 0;         // --scale=N with --desktop: 1..MAX_SCALE; 0: default_scale
    bool help = false;     // --help: usage, options and keys on standard output
    bool version = false;  // --version: "tarno " and the version
};

// Reads the command line into options; false after one line naming the bad
// word (shown as shown_argument shows it), then the usage, on standard error.
bool read_options(int argc, const char* const* argv, Options& options);

// The text of --help: the usage, the options and the desktop window's keys.
std::string help_text();

// --- The click file ---

// What in the WAV header read from stream would make the mixer fail or crash
// ("0 channels", "2080000000 Hz", "sample format 2, not PCM"...), or "" when
// it is a PCM file of 1 or 2 channels, 8 or 16 bits, at MIN_CLICK_RATE to
// MAX_CLICK_RATE. Reads from the stream's position and leaves it anywhere.
std::string wav_header_fault(SDL_RWops* stream);

// The click file at path opened and its header checked, the stream at its
// start; null, with SDL's error saying why ("<path>: 0 channels"), when it
// is missing, no regular file, or a WAV file that the mixer would fail on.
SDL_RWops* open_click_file(const char* path);

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

// Acts on one SDL event: quit requests, the Start and the volume buttons,
// keys typed and the window system's events through the backend.
void handle_event(const SDL_Event& event);

// Composes screen for the calculator's state and shows it through the backend.
void draw_calculator(SDL_Surface* screen);

// Runs key on the engine (Off sets quit_requested), then redraws screen.
void process_key(KeyCode key, SDL_Surface* screen);

// What an accepted tap and a typed key do: the click, then process_key.
void press_key(KeyCode key);

// The press now at (touch_x, touch_y) through the repeat guard, the hit-test,
// the click and process_key; true when it reached a key.
bool handle_press();

// One pass of the main loop; shuts down instead when a quit was requested.
// True when the pass handled an event or a key.
bool run_pass();

// Whether the loop pauses after a pass: the pass did nothing, and no read of
// the touch device waited for a sample (one that fails at once must not spin).
bool pass_should_pause(bool busy);

// Runs passes until the shutdown ends the program.
[[noreturn]] void run_main_loop();

// --- Keyboard ---

// What a key typed on a keyboard asks for, where the keyboard types.
struct TypedAction {
    enum Kind { NOTHING, PRESS, COPY } kind;
    KeyCode key;  // the calculator key to press (PRESS)
};

// The keyboard map: the calculator key of the character typed (character,
// 0 for none), else of the key itself (key); Ctrl+Q presses Off and Ctrl+C
// copies. Shared by the desktop window and the browser.
TypedAction typed_action(Uint16 character, SDLKey key, SDLMod modifiers);

// A key typed where the keyboard types: the calculator key it maps to is
// pressed (as a tap, but without the repeat guard), or the number copied.
void type_key(const SDL_keysym& key);

// The number line as text to copy: without the leading blank of a number
// that is not negative.
std::string number_to_copy();

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

// --- Native backends ---

// The SDL subsystems the program uses: the screen, the click, the buttons.
constexpr Uint32 SDL_SUBSYSTEMS = SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_JOYSTICK;

// SDL_Init of the program's subsystems, with the window system's own events
// enabled at once when the video came up (see enable_window_events); false
// when SDL_Init failed, the video perhaps up all the same.
bool start_sdl();

// Lets the window system's raw events through as SDL_SYSWMEVENT. SDL's
// switch drops every queued event; this one keeps them (a quit request
// among them) and queues them again.
void enable_window_events();

// Whether an idle pass may sleep on the X connection: only when it is
// watched and nothing that SDL polls for, the touch device or a joystick's
// buttons, can change without an X event.
bool idle_sleeps_on_x(bool x_watched, bool direct_touch, bool joystick_open);

// How long an idle pass sleeps on the X connection: -1 (until an event) when
// nothing is pressed; while a press is held, until the repeat guard ends, so
// that a held key repeats on time although a still mouse sends no events.
int x_wait_timeout_ms(bool pressed, std::uint32_t deadline, std::uint32_t now);

// The pause of an idle pass on a native display: on the X connection until
// something happens (waking for a held press's repeat, and often while a
// keyboard key is held, for SDL's key repeat) or longest_ms pass (-1: no
// limit), else a short SDL_Delay.
void pause_native_idle(bool on_x_connection, bool keyboard_held, int longest_ms = -1);

// Waits until fd has input, timeout_ms passes (-1: no limit) or SIGINT or
// SIGTERM comes, unless queued() says that something waits already: the two
// signals are held back from the look at queued() until the wait, so that
// one cannot slip in between; the signal mask is as before afterwards.
void wait_unless_queued(int fd, int timeout_ms, bool (*queued)());

// Waits until fd has input (true), timeout_ms passes (-1: no limit) or a
// signal comes, with the signal mask signals in force meanwhile.
bool wait_for_input(int fd, int timeout_ms, const sigset_t* signals);

// --- The X display ---
// (x11.cpp on a desktop build; no_x11.cpp, which watches nothing, where the
// program is built without X11, as for the handheld.)

// On SDL's X11 driver: readies waiting on its X connection, watching the
// window's destruction and owning the clipboard. False on any other driver.
bool watch_x_connection();

// Whether event reports that another client destroyed the calculator's window.
bool window_destroyed(const SDL_Event& event);

// Sleeps until SDL's X connection has an event, timeout_ms passes (-1: no
// limit) or SIGINT or SIGTERM comes. Only after watch_x_connection said true.
void wait_for_x_event(int timeout_ms);

// Takes the X clipboard (CLIPBOARD) with text, for other programs to paste.
void own_clipboard(const std::string& text);

// Answers another program's request for the clipboard's text (as TARGETS,
// UTF8_STRING or STRING) or notes that it took the clipboard; false for any
// other event.
bool answer_clipboard_event(const SDL_Event& event);

// --- Start-up and shutdown ---

// Brings up the backend's screen, the fonts, the sound and the calculator;
// draws the first screen. Ends the program with status 1 when there is no
// screen to draw on.
void start_up();

// Takes everything down and hands the console to the system menu.
[[noreturn]] void shut_down();

// Lets the main loop's last click play to its end, for at most LAST_CLICK_WAIT_MS.
void wait_for_last_click();

// Changes to directory and executes program in this process's place; when
// that fails, ends the process with status 0.
[[noreturn]] void hand_over_to_menu(const char* directory, const char* program);

}  // namespace tarno
