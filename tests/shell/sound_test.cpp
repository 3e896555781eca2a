// The click file's header, checked before the mixer sees it: ordinary PCM
// passes, and headers that crash or confuse SDL's WAV loader and converter
// are refused with a word on what is wrong.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "SDL_mixer.h"
#include "desktop.h"
#include "shell_test_support.h"
#include "support/capture.h"
#include "support/files.h"

namespace tarno {
namespace {

using Bytes = std::string;

Bytes u16(std::uint32_t v) { return {static_cast<char>(v & 0xff), static_cast<char>(v >> 8 & 0xff)}; }
Bytes u32(std::uint32_t v) { return u16(v & 0xffff) + u16(v >> 16); }

Bytes chunk(const char* tag, const Bytes& body) { return Bytes(tag, 4) + u32(static_cast<std::uint32_t>(body.size())) + body; }

// The 16-byte format record of a PCM-like file.
Bytes format(std::uint32_t tag, std::uint32_t channels, std::uint32_t rate, std::uint32_t bits) {
    return u16(tag) + u16(channels) + u32(rate) + u32(rate * channels * bits / 8) + u16(channels * bits / 8) + u16(bits);
}

Bytes riff(const Bytes& chunks) { return "RIFF" + u32(static_cast<std::uint32_t>(4 + chunks.size())) + "WAVE" + chunks; }

// A short click with the given format record.
Bytes wav(const Bytes& format_record) { return riff(chunk("fmt ", format_record) + chunk("data", Bytes(64, '\x80'))); }

std::string fault_of(const Bytes& bytes) {
    SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    const std::string fault = wav_header_fault(stream);
    SDL_RWclose(stream);
    return fault;
}

TEST(ClickHeader, OrdinaryPcmPasses) {
    EXPECT_EQ(fault_of(wav(format(1, 2, 44100, 16))), "");
    EXPECT_EQ(fault_of(wav(format(1, 1, 8000, 8))), "");
    // SDL's loader steps over these chunks to the format chunk.
    EXPECT_EQ(fault_of(riff(chunk("LIST", "INFO") + chunk("JUNK", Bytes(10, 0)) + chunk("fmt ", format(1, 1, 22050, 8)))),
              "");
}

TEST(ClickHeader, HostileHeadersAreRefusedSayingWhy) {
    struct Case {
        const char* what;
        Bytes bytes;
        std::string fault;
    };
    const std::vector<Case> cases = {
        {"no channels", wav(format(1, 0, 22050, 8)), "0 channels"},
        {"absurd channels", wav(format(1, 46848, 22050, 8)), "46848 channels"},
        {"three channels", wav(format(1, 3, 22050, 8)), "3 channels"},
        {"no rate", wav(format(1, 1, 0, 8)), "0 Hz"},
        {"absurd rate", wav(format(1, 1, 2080000000, 8)), "2080000000 Hz"},
        {"rate just too low", wav(format(1, 1, 999, 8)), "999 Hz"},
        {"rate just too high", wav(format(1, 1, 192001, 8)), "192001 Hz"},
        {"MS ADPCM", wav(format(2, 1, 22050, 4)), "sample format 2, not PCM"},
        {"IMA ADPCM", wav(format(0x11, 1, 22050, 4)), "sample format 17, not PCM"},
        {"24-bit PCM", wav(format(1, 1, 22050, 24)), "24 bits per sample"},
        {"empty file", "", "not a RIFF WAVE file"},
        {"not RIFF", "RIFX" + u32(4) + "WAVE", "not a RIFF WAVE file"},
        {"nothing after the RIFF header", riff(""), "no format chunk"},
        {"data before the format", riff(chunk("data", "xx") + chunk("fmt ", format(1, 1, 22050, 8))), "no format chunk"},
        {"short format chunk", riff(chunk("fmt ", Bytes(14, 1))), "format chunk shorter than 16 bytes"},
        {"skipped chunk far longer than the file", riff("LIST" + u32(0xfffffff0u) + "INFO"), "no format chunk"},
        {"endless run of skipped chunks", riff([] {
             Bytes run;
             for (int i = 0; i < 100; ++i) run += chunk("JUNK", "");
             return run + chunk("fmt ", format(1, 1, 22050, 8));
         }()),
         "no format chunk in its first 16 chunks"},
    };
    for (const Case& c : cases) EXPECT_EQ(fault_of(c.bytes), c.fault) << c.what;
}

TEST(ClickHeader, RefusedOrMissingClickLeavesSdlsErrorNamingTheFile) {
    const tarno_test::TempDirectory directory;
    const std::string path = directory.file("tarno.wav");
    {
        std::ofstream file(path, std::ios::binary);
        file << wav(format(1, 0, 22050, 8));
    }
    SDL_SetError("an older call's words");
    EXPECT_EQ(load_click(path.c_str()), nullptr);
    EXPECT_EQ(std::string(SDL_GetError()), path + ": 0 channels");

    std::remove(path.c_str());
    EXPECT_EQ(load_click(path.c_str()), nullptr);
    EXPECT_EQ(std::string(SDL_GetError()), "Couldn't open " + path);
}

TEST(ClickHeader, RatesAndChunksAtTheirLimitsPass) {
    EXPECT_EQ(fault_of(wav(format(1, 1, 1000, 8))), "");
    EXPECT_EQ(fault_of(wav(format(1, 1, 192000, 16))), "");
    const auto junk_then_format = [](int junk) {
        Bytes chunks;
        for (int i = 0; i < junk; ++i) chunks += chunk("JUNK", "");
        return riff(chunks + chunk("fmt ", format(1, 1, 22050, 8)));
    };
    EXPECT_EQ(fault_of(junk_then_format(15)), "") << "the format chunk as the 16th";
    EXPECT_EQ(fault_of(junk_then_format(16)), "no format chunk in its first 16 chunks");
}

// The mixer-backed sound on SDL's dummy audio device.
class MixerSound : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
        ASSERT_EQ(Mix_OpenAudio(22050, AUDIO_S8, 1, 32), 0) << Mix_GetError();
        SDL_PauseAudio(1);  // a click then plays until it is halted, however slow the machine
    }
    void TearDown() override {
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
};

TEST_F(MixerSound, VolumeIsChannelZerosAndIsSetOnEveryChannel) {
    Sound& sound = mixer_sound();
    sound.set_volume(48);
    for (int channel : {0, 1, 7}) EXPECT_EQ(Mix_Volume(channel, -1), 48) << "channel " << channel;
    Mix_Volume(0, 32);
    Mix_Volume(1, 96);
    EXPECT_EQ(sound.volume(), 32);
    sound.set_volume(MAX_VOLUME);
}

TEST_F(MixerSound, ClickPlaysOnAFreeChannel) {
    app.click_sound = load_click(CLICK_FILE);
    ASSERT_NE(app.click_sound, nullptr) << SDL_GetError();
    const int first = mixer_sound().play_click();
    const int second = mixer_sound().play_click();
    EXPECT_GE(first, 0);
    EXPECT_GE(second, 0);
    EXPECT_NE(first, second) << "the first click still plays";
    EXPECT_TRUE(mixer_sound().playing(first));
    Mix_HaltChannel(-1);
    EXPECT_FALSE(mixer_sound().playing(first));
    Mix_FreeChunk(app.click_sound);
    app.click_sound = nullptr;

    EXPECT_EQ(mixer_sound().play_click(), -1) << "no click loaded";
}

// The desktop window's sound on SDL's dummy audio device and the test's clock.
class QuietSound : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
        platform.clock = shell_test::test_clock;
        shell_test::test_now = 5000;
    }
    void TearDown() override {
        quiet_sound().close();
        platform.clock = now_ms;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    static bool device_open() { return Mix_QuerySpec(nullptr, nullptr, nullptr) != 0; }
};

TEST_F(QuietSound, DeviceClosesAfterTheQuietWhileAndOpensForTheNextClickWithItsVolume) {
    Sound& sound = quiet_sound();
    sound.open();
    ASSERT_TRUE(device_open()) << "opened at start-up: " << SDL_GetError();
    sound.set_volume(48);
    shell_test::test_now += 1000;
    EXPECT_GT(close_sound_when_quiet(), 0) << "a second and a half after start-up";
    EXPECT_TRUE(device_open());
    shell_test::test_now += 1000;
    EXPECT_EQ(close_sound_when_quiet(), -1);
    EXPECT_FALSE(device_open()) << "closed once quiet";
    EXPECT_FALSE(sound.playing(0));
    EXPECT_EQ(sound.volume(), 48) << "kept while closed";

    SDL_PauseAudio(1);  // the device's thread starts paused: the click plays until halted
    const int channel = sound.play_click();
    ASSERT_TRUE(device_open()) << "opened for the click";
    SDL_PauseAudio(1);
    EXPECT_GE(channel, 0);
    EXPECT_EQ(Mix_Volume(channel, -1), 48) << "the volume given to the device opened anew";
    shell_test::test_now += 1400;
    EXPECT_GT(close_sound_when_quiet(), 0);
    shell_test::test_now += 1000;
    EXPECT_GT(close_sound_when_quiet(), 0) << "the click still plays";
    EXPECT_TRUE(device_open());
    Mix_HaltChannel(-1);
    shell_test::test_now += 100;
    EXPECT_EQ(close_sound_when_quiet(), -1);
    EXPECT_FALSE(device_open());
}

TEST(QuietSoundWithoutADevice, SaysSoInOneLineAndEveryKeyIsSilent) {
    setenv("SDL_AUDIODRIVER", "no-such-device", 1);
    const std::string said = tarno_test::stderr_of([] { quiet_sound().open(); });
    EXPECT_EQ(said.rfind("Unable to initialize audio: ", 0), 0u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(quiet_sound().play_click(), -1);
    quiet_sound().close();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

}  // namespace
}  // namespace tarno
