// The click's WAV file, checked before the mixer sees it.
#pragma once

#include <cstdint>
#include <string>

#include "SDL.h"

namespace tarno {

// The click, below the data folder.
constexpr const char* CLICK_FILE = "tarno/tarno.wav";

// The sample rates a click file may have. SDL 1.2 converts a rate by halving
// or doubling it step by step, with room for ten steps in all (format and
// channel steps included); a rate of 0, or one thousands of times off the
// device's, overruns that room and crashes the mixer. From 1 kHz to 192 kHz
// against a device at 8 to 48 kHz takes at most six steps.
constexpr std::uint32_t MIN_CLICK_RATE = 1000;
constexpr std::uint32_t MAX_CLICK_RATE = 192000;

// What in the WAV header read from stream would make the mixer fail or crash
// ("0 channels", "2080000000 Hz", "sample format 2, not PCM"...), or "" when
// it is a PCM file of 1 or 2 channels, 8 or 16 bits, at MIN_CLICK_RATE to
// MAX_CLICK_RATE. Reads from the stream's position and leaves it anywhere.
std::string wav_header_fault(SDL_RWops* stream);

// The click file at path opened and its header checked, the stream at its
// start; null, with SDL's error saying why ("<path>: 0 channels"), when it
// is missing, no regular file, or a WAV file that the mixer would fail on.
SDL_RWops* open_click_file(const char* path);

}  // namespace tarno
