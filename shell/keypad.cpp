// The keypad's geometry on the landscape screen and the hit-test over it.
// The user's keypad rows are the screen's columns and the user's columns
// the screen's rows (the console is held a quarter turn clockwise).
#include "shell.h"

namespace tarno {

namespace {
// The key columns are counted in half-pixels, so that the pitch of 28.5
// pixels is a whole number and the gaps come out 6 and 5 pixels in turn.
constexpr int KEYPAD_LEFT_HALF_PX = 174;  // x = 87: the strip left of it is the number display
constexpr int COLUMN_PITCH_HALF_PX = 57;  // 8 columns in the 233 pixels right of the display
constexpr int KEY_WIDTH_HALF_PX = 46;     // a key is 23 pixels wide: remainders 0..45
constexpr int KEYPAD_TOP = 8;             // the first key row's top pixel row
constexpr int ROW_PITCH = 47;             // 5 rows fill the screen's 240 pixel rows
constexpr int KEY_HEIGHT = 39;            // a key is 39 pixels high: remainders 0..38, gaps 8
constexpr int KEY_COLUMNS = 8;            // the user's key rows 1..8
constexpr int KEY_ROWS = 5;               // the user's key columns 1..5

// The equals key is one tall rectangle over the two top cells of the last
// column; it also takes the pixel row above the keypad.
constexpr int EQUALS_TOP = KEYPAD_TOP - 1;
constexpr KeyCode EQUALS_KEY = 85;

// Far beyond the screen's edges, where no key can lie. Positions come from
// the touch device's arithmetic and from the tools' taps, so any int can
// arrive; the hit-test's own arithmetic (2x, y - 8) must never see values
// near the int limits.
constexpr int FAR_OFF_SCREEN = 10000;
}  // namespace

KeyCell key_cell(KeyCode key) {
    const int row = key / 10, column = key % 10;  // as the user sees them
    if (row < 1 || row > KEY_COLUMNS || column < 1 || column > KEY_ROWS || key == EQUALS_KEY - 1) return {0, 0, 0, 0};
    // The first pixel column whose half-pixel lies in the cell: rounded up.
    const int x = (KEYPAD_LEFT_HALF_PX + COLUMN_PITCH_HALF_PX * (row - 1) + 1) / 2;
    const int y = KEYPAD_TOP + ROW_PITCH * (KEY_ROWS - column);
    if (key == EQUALS_KEY) return {x, KEYPAD_TOP, KEY_WIDTH_HALF_PX / 2, ROW_PITCH + KEY_HEIGHT};
    return {x, y, KEY_WIDTH_HALF_PX / 2, KEY_HEIGHT};
}

KeyCode key_at(int x, int y) {
    if (x < -FAR_OFF_SCREEN || x > FAR_OFF_SCREEN || y < -FAR_OFF_SCREEN || y > FAR_OFF_SCREEN) return 0;
    // Integer division truncates toward zero: left of or above the keypad the
    // cell index is 0 and the remainder negative, which the tests below reject.
    const int half_x = 2 * x - KEYPAD_LEFT_HALF_PX;
    const int c = half_x / COLUMN_PITCH_HALF_PX;
    const int rx = half_x - COLUMN_PITCH_HALF_PX * c;
    const int r = (y - KEYPAD_TOP) / ROW_PITCH;
    const int ry = (y - KEYPAD_TOP) - ROW_PITCH * r;

    // The equals key: the gap between its two cells and the 5 pixel columns
    // right of them are its too, so rx is not tested for it.
    if (c == KEY_COLUMNS - 1 && y >= EQUALS_TOP && (r == 0 || (r == 1 && ry < KEY_HEIGHT))) return EQUALS_KEY;
    if (rx >= 0 && rx < KEY_WIDTH_HALF_PX && ry >= 0 && ry < KEY_HEIGHT && r >= 0 && r < KEY_ROWS && c >= 0 &&
        c < KEY_COLUMNS)
        return 10 * (c + 1) + (KEY_ROWS - r);
    return 0;
}

}  // namespace tarno
