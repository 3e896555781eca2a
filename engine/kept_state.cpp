// The values a pocket calculator keeps while it is switched off: the
// memory, Ans, the angle unit and the number format. They are kept as one
// small text that a person can read and a program can check line by line:
//
//   tarno-state 1
//   memory 2.5
//   answer -0.001
//   angle deg
//   format fix3
//
// Numbers are written with 17 significant digits, which read back to the
// very same double. The reader takes only what the writer writes (a line
// may end in CR LF, as an editor may save it); anything else leaves the
// state alone.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine_internal.h"

namespace tarno {
namespace {

constexpr const char* KEPT_STATE_HEADER = "tarno-state ";
constexpr const char* KEPT_STATE_VERSION = "1";

// A kept memory or Ans that is not a finite number would be refused at the
// next start, and all the other values with it; an error is not kept, and
// the register starts at 0, as after power-on.
double kept_number(double value) { return std::isfinite(value) ? value : 0.0; }

// The text after a line's name, up to its end, taken from the text one
// line at a time.
struct Lines {
    const char* at;
    const char* end;

    // The next line's text after "name ", without its line end; false when
    // the text ends first, the line has no end or starts otherwise.
    bool next(const char* name, const char*& value, std::size_t& length) {
        const char* line_end = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
        if (line_end == nullptr) return false;
        const std::size_t name_length = std::strlen(name);
        const char* text_end = (line_end > at && line_end[-1] == '\r') ? line_end - 1 : line_end;
        if (static_cast<std::size_t>(text_end - at) < name_length || std::memcmp(at, name, name_length) != 0)
            return false;
        value = at + name_length;
        length = static_cast<std::size_t>(text_end - value);
        at = line_end + 1;
        return true;
    }
};

bool same_text(const char* value, std::size_t length, const char* text) {
    return length == std::strlen(text) && std::memcmp(value, text, length) == 0;
}

// A finite number as the writer writes it: an optional minus, digits, an
// optional fraction and an optional exponent; nothing else, no blanks.
bool read_number(const char* value, std::size_t length, double& number) {
    char text[40];
    if (length == 0 || length >= sizeof text) return false;
    std::memcpy(text, value, length);
    text[length] = '\0';
    std::size_t i = (text[0] == '-') ? 1 : 0;
    const std::size_t digits_from = i;
    while (i < length && text[i] >= '0' && text[i] <= '9') ++i;
    if (i == digits_from) return false;
    if (i < length && text[i] == '.') {
        const std::size_t fraction_from = ++i;
        while (i < length && text[i] >= '0' && text[i] <= '9') ++i;
        if (i == fraction_from) return false;
    }
    if (i < length && text[i] == 'e') {
        ++i;
        if (i < length && (text[i] == '-' || text[i] == '+')) ++i;
        const std::size_t exponent_from = i;
        while (i < length && text[i] >= '0' && text[i] <= '9') ++i;
        if (i == exponent_from) return false;
    }
    if (i != length) return false;
    number = std::strtod(text, nullptr);
    return std::isfinite(number);
}

// "norm", "sci" or "fix0".."fix9" as the display format's code.
bool read_format(const char* value, std::size_t length, std::int32_t& format) {
    if (same_text(value, length, "norm")) {
        format = FORMAT_NORM;
    } else if (same_text(value, length, "sci")) {
        format = FORMAT_SCI;
    } else if (length == 4 && std::memcmp(value, "fix", 3) == 0 && value[3] >= '0' && value[3] <= '9') {
        format = value[3] - '0';
    } else {
        return false;
    }
    return true;
}

}  // namespace

void write_kept_state(const CalcState& state, char (&out)[KEPT_STATE_SIZE]) {
    char format[8];
    if (state.display_format == FORMAT_NORM)
        std::snprintf(format, sizeof format, "norm");
    else if (state.display_format == FORMAT_SCI)
        std::snprintf(format, sizeof format, "sci");
    else
        std::snprintf(format, sizeof format, "fix%d", static_cast<int>(state.display_format));
    std::snprintf(out, sizeof out, "%s%s\nmemory %.17g\nanswer %.17g\nangle %s\nformat %s\n", KEPT_STATE_HEADER,
                  KEPT_STATE_VERSION, kept_number(state.memory_value), kept_number(state.last_answer),
                  state.degree_mode ? "deg" : "rad", format);
}

bool restore_kept_state(const char* text, std::size_t length, const char** why) {
    if (length >= KEPT_STATE_SIZE) {
        *why = "it is longer than any state the calculator writes";
        return false;
    }
    Lines lines{text, text + length};
    const char* value = nullptr;
    std::size_t value_length = 0;
    if (!lines.next(KEPT_STATE_HEADER, value, value_length)) {
        *why = "it is not a state the calculator wrote";
        return false;
    }
    if (!same_text(value, value_length, KEPT_STATE_VERSION)) {
        *why = "it is of a version this calculator does not know";
        return false;
    }
    double memory = 0.0, answer = 0.0;
    std::int32_t format = FORMAT_NORM;
    bool degrees = false;
    if (!lines.next("memory ", value, value_length) || !read_number(value, value_length, memory)) {
        *why = "its memory is not a finite number";
        return false;
    }
    if (!lines.next("answer ", value, value_length) || !read_number(value, value_length, answer)) {
        *why = "its Ans is not a finite number";
        return false;
    }
    if (!lines.next("angle ", value, value_length) ||
        !((degrees = same_text(value, value_length, "deg")) || same_text(value, value_length, "rad"))) {
        *why = "its angle unit is neither deg nor rad";
        return false;
    }
    if (!lines.next("format ", value, value_length) || !read_format(value, value_length, format)) {
        *why = "its format is none of norm, sci and fix0 to fix9";
        return false;
    }
    if (lines.at != lines.end) {
        *why = "it goes on after its last line";
        return false;
    }
    CalcState& s = writable_calc_state();
    s.memory_value = memory;
    s.last_answer = answer;
    s.degree_mode = degrees ? 1 : 0;
    s.display_format = format;
    format_value();  // the zero on the screen in the kept format, as C would show it
    return true;
}

}  // namespace tarno
