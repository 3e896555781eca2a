// The desktop window's click: the mixer opens the audio device for a click
// and closes it once the calculator has been quiet for a while. An open
// device keeps SDL's audio thread waking for every 32-sample buffer, many
// hundred times a second, whether anything plays or not: a laptop's battery
// would pay for a calculator merely left open.
#include "SDL_mixer.h"
#include "desktop.h"
#include "loop.h"

namespace tarno {

namespace {

// How long the device stays open after the last click started. Keys typed
// in one go follow each other well within a second and a half, so a number
// or a calculation is typed on an open device, and each click sounds with
// its key; the device opened anew for the first key after a pause may start
// its click a little late (the audio system's start-up, some milliseconds
// to tens of them). Much longer, and a window left alone after a sum would
// keep the audio thread awake for nothing.
constexpr std::uint32_t QUIET_WHILE_MS = 1500;

// A click still playing when the while is over (a long click file) is
// looked at again this much later.
constexpr std::uint32_t STILL_PLAYING_MS = 100;

class QuietSound final : public Sound {
public:
    // Opened at start-up as the handheld's is, so that a missing device or a
    // bad click file is said at once; closed after the quiet while like after a click.
    void open() override {
        // Without a device there is nothing to load the click for: the one
        // line saying so is enough, and every key is silent.
        if (open_click_device()) load_click_sound();
        started_ = true;
        // Without a click to play the device is not worth opening again.
        opens_ = device_open() && app.click_sound != nullptr;
        volume_ = device_open() ? mixer_sound().volume() : MAX_VOLUME;
        close_at_ = platform.clock() + QUIET_WHILE_MS;
    }

    int play_click() override {
        // Without a device or a click at start-up there is none later
        // either: the click fails as on the handheld, one line per key.
        if (opens_ && !device_open()) {
            mixer_sound().open();
            if (device_open()) mixer_sound().set_volume(volume_);
        }
        close_at_ = platform.clock() + QUIET_WHILE_MS;
        return mixer_sound().play_click();
    }

    int volume() override { return volume_; }

    void set_volume(int volume) override {
        volume_ = volume;
        if (device_open()) mixer_sound().set_volume(volume);
    }

    // SDL_mixer has no channels while its device is closed, and must not be
    // asked about them.
    bool playing(int channel) override { return device_open() && mixer_sound().playing(channel); }

    void close() override {
        mixer_sound().close();
        started_ = false;
    }

    int close_when_quiet() {
        if (!started_ || !device_open()) return -1;
        const std::uint32_t now = platform.clock();
        const std::int32_t left = static_cast<std::int32_t>(close_at_ - now);
        if (left > 0) return left;
        if (Mix_Playing(-1) != 0) {
            close_at_ = now + STILL_PLAYING_MS;
            return static_cast<int>(STILL_PLAYING_MS);
        }
        mixer_sound().close();
        return -1;
    }

private:
    static bool device_open() { return Mix_QuerySpec(nullptr, nullptr, nullptr) != 0; }

    bool started_ = false;    // opened and not closed for good: the device is this sound's
    bool opens_ = false;      // the device and the click opened at start-up, so they can be opened again
    int volume_ = MAX_VOLUME;  // the volume buttons' setting, given to the device at every opening
    std::uint32_t close_at_ = 0;
};

QuietSound& the_quiet_sound() {
    static QuietSound sound;
    return sound;
}

}  // namespace

Sound& quiet_sound() { return the_quiet_sound(); }

int close_sound_when_quiet() { return the_quiet_sound().close_when_quiet(); }

}  // namespace tarno
