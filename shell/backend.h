// The seams where the shell meets the world: the sound, and the backend
// that shows the screen and delivers the user's input (the handheld's, a
// desktop window's, a browser's), chosen once at start-up.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "SDL.h"
#include "shell.h"

// SDL_mixer's sample; only the mixer's own code looks inside it.
struct Mix_Chunk;

namespace tarno {

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

// Where the composed screen is shown and where the user's input comes
// from: all that the handheld, a desktop window and a browser do otherwise.
// One is chosen at start-up; the main loop is the same for all. A backend
// hands what the user does to the shell as input events (input.h), or, the
// handheld's, as the polled presses of its touch screen.
class Backend {
public:
    virtual ~Backend() = default;
    // Brings up SDL, the display and the platform's own input: the
    // SCREEN_WIDTH x SCREEN_HEIGHT x SCREEN_BITS surface the display
    // composes on, or null after one line on standard error saying why there is none.
    virtual SDL_Surface* open_screen() = 0;
    // What the platform looks at once the calculator is up, before the first screen.
    virtual void start() {}
    // Shows screen, just composed and flipped.
    virtual void show(SDL_Surface* screen) = 0;
    // One SDL event from the main loop, every one but the quit request.
    virtual void sdl_event(const SDL_Event& event) = 0;
    // Once in every pass, after the events: input that is polled rather
    // than reported. True when it pressed a key.
    virtual bool poll() { return false; }
    // Puts text on the clipboard, where there is one.
    virtual void copy(const std::string& text) = 0;
    // Asks for the clipboard's text, which comes back as a paste, where there is one.
    virtual void ask_for_paste() {}
    // Whether a click that could not be played is reported at each press;
    // otherwise the missing sound was told once, at start-up.
    virtual bool tells_every_silent_click() const { return true; }
    // Pauses a pass of the main loop that had nothing to do.
    virtual void pause_idle() = 0;
    // Stops the platform's own input, first thing at the shutdown.
    virtual void close_input() {}
    // The platform's own end, when everything is taken down: the handheld
    // hands the console to its menu; elsewhere the program ends with status 0.
    virtual void end();
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

// The mixer-backed Sound of the native program: open() is
// open_click_device, then load_click_sound whatever came of it.
Sound& mixer_sound();

// Opens the audio device as the mixer's Sound plays on it; false after
// "Unable to initialize audio: ..." on standard error.
bool open_click_device();

// Loads CLICK_FILE into app.click_sound, or leaves it null after "Unable to
// load WAV file: ..." on standard error.
void load_click_sound();

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
// the window is at most 90 % of a screen screen_width x screen_height pixels
// both ways, at least 1 (even when 1 does not fit).
int default_scale(int screen_height, int screen_width = 1 << 20);

}  // namespace tarno
