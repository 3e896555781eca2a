// The click and the volume through SDL_mixer.
#include "app.h"

namespace tarno {

namespace {

class MixerSound final : public Sound {
public:
    int play_click() override { return Mix_PlayChannelTimed(-1, app.click_sound, 0, -1); }
    int volume() override { return Mix_Volume(0, -1); }
    void set_volume(int volume) override { Mix_Volume(-1, volume); }
    bool playing(int channel) override { return Mix_Playing(channel) != 0; }
};

}  // namespace

Sound& mixer_sound() {
    static MixerSound sound;
    return sound;
}

}  // namespace tarno
