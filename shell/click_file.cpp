// The click file and the check of its header, which keeps a broken file
// from reaching the mixer (or the browser's decoder).
#include <cstdint>
#include <cstring>
#include <string>

#include "display.h"
#include "click_file.h"

namespace tarno {

namespace {

// SDL's WAV loader skips these chunks on its way to the format chunk, and
// expects the format chunk as soon as anything else comes.
constexpr const char* SKIPPED_CHUNKS[] = {"fact", "LIST", "bext", "JUNK"};
constexpr int MAX_CHUNKS_BEFORE_FORMAT = 16;
constexpr std::uint32_t FORMAT_CHUNK_MIN = 16;  // the PCM format record: tag, channels, rate, rates, align, bits
constexpr int PCM_FORMAT = 1;

std::uint32_t little_endian(const unsigned char* bytes, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
}

bool read_bytes(SDL_RWops* stream, unsigned char* bytes, int size) {
    return SDL_RWread(stream, bytes, 1, size) == size;
}

bool is_skipped_chunk(const unsigned char* tag) {
    for (const char* skipped : SKIPPED_CHUNKS)
        if (std::memcmp(tag, skipped, 4) == 0) return true;
    return false;
}

// The fields of the format record that SDL's converter trusts.
std::string format_fault(SDL_RWops* stream, std::uint32_t length) {
    unsigned char record[FORMAT_CHUNK_MIN];
    if (length < FORMAT_CHUNK_MIN || !read_bytes(stream, record, FORMAT_CHUNK_MIN))
        return "format chunk shorter than " + std::to_string(FORMAT_CHUNK_MIN) + " bytes";
    const std::uint32_t tag = little_endian(record, 2);
    const std::uint32_t channels = little_endian(record + 2, 2);
    const std::uint32_t rate = little_endian(record + 4, 4);
    const std::uint32_t bits = little_endian(record + 14, 2);
    // SDL 1.2 also decodes the two ADPCM formats, but its decoders take their
    // block sizes from the header unchecked; the click is plain PCM.
    if (tag != PCM_FORMAT) return "sample format " + std::to_string(tag) + ", not PCM";
    if (channels < 1 || channels > 2) return std::to_string(channels) + " channels";
    if (rate < MIN_CLICK_RATE || rate > MAX_CLICK_RATE) return std::to_string(rate) + " Hz";
    if (bits != 8 && bits != 16) return std::to_string(bits) + " bits per sample";
    return "";
}

}  // namespace

std::string wav_header_fault(SDL_RWops* stream) {
    unsigned char riff[12];
    if (!read_bytes(stream, riff, 12) || std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0)
        return "not a RIFF WAVE file";
    for (int i = 0; i < MAX_CHUNKS_BEFORE_FORMAT; ++i) {
        unsigned char head[8];
        if (!read_bytes(stream, head, 8)) return "no format chunk";
        const std::uint32_t length = little_endian(head + 4, 4);
        if (std::memcmp(head, "fmt ", 4) == 0) return format_fault(stream, length);
        if (!is_skipped_chunk(head)) return "no format chunk";
        // SDL's streams seek by an int: a longer chunk cannot be in a click file.
        if (length > INT32_MAX || SDL_RWseek(stream, static_cast<int>(length), RW_SEEK_CUR) < 0)
            return "no format chunk";
    }
    return "no format chunk in its first " + std::to_string(MAX_CHUNKS_BEFORE_FORMAT) + " chunks";
}

SDL_RWops* open_click_file(const char* path) {
    SDL_RWops* stream = open_data_file(path);
    if (stream == nullptr) return nullptr;
    const std::string fault = wav_header_fault(stream);
    if (!fault.empty() || SDL_RWseek(stream, 0, RW_SEEK_SET) != 0) {
        SDL_RWclose(stream);
        SDL_SetError("%s: %s", path, fault.empty() ? "cannot be read again" : fault.c_str());
        return nullptr;
    }
    return stream;
}

}  // namespace tarno
