// What each key of the calculator looks like: its group, which gives the
// colours of its face, and its legends with and without shift.
#pragma once

#include <vector>

#include "calc.h"
#include "legend.h"
#include "picture.h"

namespace tarno_gen {

// The key groups, told apart by the colour of their faces.
enum class Group {
    Function,  // the scientific functions; their second meanings in gold
    Shift,
    Digit,     // the digits and the rest of number entry: point, +/-, EXP
    Operator,  // the four operations, parentheses and equals
    Memory,    // recall, store and the last answer
    Clear,     // C, backspace and Off
};

struct KeyArt {
    tarno::KeyCode code;
    Group group;
    Legend normal;
    Legend shifted;  // size 0: the key means the same in both states
};

// Every key that the hit-test can find, in code order.
const std::vector<KeyArt>& keypad_art();

// The calculator's body: the keypad's background between the keys.
constexpr Rgb BODY{38, 41, 46};
// The display: a light panel on which the black texts read well.
constexpr Rgb DISPLAY{214, 222, 204};
constexpr Rgb DISPLAY_RIM{150, 158, 140};
// The second meanings, on the keys and on the display's shift mark.
constexpr Rgb SHIFT_GOLD{255, 196, 64};

struct FaceStyle {
    Rgb face;
    Rgb ink;
};

// The face and legend colours of a key of this group; lit is the Shift key
// while the shift is on.
FaceStyle face_style(Group group, bool lit);

}  // namespace tarno_gen
