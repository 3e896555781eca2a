// The texts of the calculator's screen, composed from a state.
#include <cstdio>
#include <cstring>

#include "engine_internal.h"

namespace tarno {

ScreenTexts screen_texts(const CalcState& state) {
    ScreenTexts out{};
    out.keypad_picture = state.shift_active ? "tarno/tarno9.bmp" : "tarno/tarno.bmp";
    if (state.paren_depth != 0)
        std::snprintf(out.paren_mark, sizeof out.paren_mark, "(%u", state.paren_depth);
    out.memory_mark = (state.memory_value != 0.0) ? "M" : " ";  // -0 counts as 0, NaN not
    if (state.display_format == FORMAT_NORM)
        std::snprintf(out.format_name, sizeof out.format_name, "Norm");
    else if (state.display_format == FORMAT_SCI)
        std::snprintf(out.format_name, sizeof out.format_name, "Sci");
    else
        std::snprintf(out.format_name, sizeof out.format_name, "fix%d", state.display_format);
    out.angle_unit = state.degree_mode ? "Deg" : "Rad";

    // The number line: the sign, the mantissa without its leading blanks,
    // and "E" with the exponent field's text when that field is not blank.
    const char* t = state.display_text;
    const int end = static_cast<int>(strnlen(t, MANTISSA_CHARS));
    int start = 0;
    while (start < end && t[start] == ' ') ++start;
    const char sign = static_cast<char>(state.sign_char);
    if (exponent_field_blank(state)) {
        std::snprintf(out.number_line, sizeof out.number_line, "%c%.*s", sign, end - start, t + start);
    } else {
        const char* e = t + EXPONENT_FIELD;
        const int elen = static_cast<int>(strnlen(e, DISPLAY_TEXT_SIZE - EXPONENT_FIELD));
        std::snprintf(out.number_line, sizeof out.number_line, "%c%.*sE%.*s", sign, end - start,
                      t + start, elen, e);
    }
    return out;
}

}  // namespace tarno
