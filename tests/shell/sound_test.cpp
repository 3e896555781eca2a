// The click file's header, checked before the mixer sees it: ordinary PCM
// passes, and headers that crash or confuse SDL's WAV loader and converter
// are refused with a word on what is wrong.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "shell_test_support.h"
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

}  // namespace
}  // namespace tarno
