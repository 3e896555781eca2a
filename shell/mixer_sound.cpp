// The click and the volume through SDL_mixer, as the native program plays them.
#include <cstdio>

#include "SDL_mixer.h"
#include "backend.h"
#include "click_file.h"
#include "loop.h"

namespace tarno {

namespace {

// The click's output: mono 8-bit at a low rate with a buffer of 32 samples,
// under 1.5 ms, so that the click sounds with the tap and not after it.
constexpr int AUDIO_RATE = 22050;
constexpr int AUDIO_CHANNELS = 1;
constexpr int AUDIO_BUFFER_SAMPLES = 32;

class MixerSound final : public Sound {
public:
    void open() override {
        open_click_device();
        load_click_sound();
    }
    int play_click() override {
        SDL_ClearError();  // a failure's message then carries the mixer's words, not an older call's
        return Mix_PlayChannelTimed(-1, app.click_sound, 0, -1);
    }
    int volume() override { return Mix_Volume(0, -1); }
    void set_volume(int volume) override { Mix_Volume(-1, volume); }
    bool playing(int channel) override { return Mix_Playing(channel) != 0; }
    void close() override {
        Mix_FreeChunk(app.click_sound);
        app.click_sound = nullptr;
        Mix_CloseAudio();
    }
};

}  // namespace

bool open_click_device() {
    // SDL's error text outlives the call that set it (the joystick's, say):
    // cleared first, a failure reports only what the mixer itself said.
    SDL_ClearError();
    if (Mix_OpenAudio(AUDIO_RATE, AUDIO_S8, AUDIO_CHANNELS, AUDIO_BUFFER_SAMPLES) == 0) return true;
    std::fprintf(stderr, "Unable to initialize audio: %s\n", SDL_GetError());
    return false;
}

void load_click_sound() {
    app.click_sound = load_click(CLICK_FILE);
    if (!app.click_sound) std::fprintf(stderr, "Unable to load WAV file: %s\n", SDL_GetError());
}

Mix_Chunk* load_click(const char* path) {
    SDL_RWops* stream = open_click_file(path);
    if (stream == nullptr) return nullptr;
    SDL_ClearError();
    return Mix_LoadWAV_RW(stream, 1);
}

Sound& mixer_sound() {
    static MixerSound sound;
    return sound;
}

}  // namespace tarno
