// The keypad's geometry on the landscape screen: 8 key columns from x = 87
// with a pitch of 28.5 pixels (57 half-pixels), keys 23 wide; 5 key rows
// from y = 8 with a pitch of 47, keys 39 high; the equals key is one tall
// rectangle over the two top cells of the rightmost column.
#include "shell.h"

namespace tarno {

namespace {
// Far beyond the screen's edges, where no key can lie. Positions come from
// the touch device's arithmetic and from the tools' taps, so any int can
// arrive; the hit-test's own arithmetic (2x, y - 8) must never see values
// near the int limits.
constexpr int FAR_OFF_SCREEN = 10000;
}  // namespace

KeyCode key_at(int x, int y) {
    if (x < -FAR_OFF_SCREEN || x > FAR_OFF_SCREEN || y < -FAR_OFF_SCREEN || y > FAR_OFF_SCREEN) return 0;
    // Integer division truncates toward zero: left of or above the keypad the
    // cell index is 0 and the remainder negative, which the tests below reject.
    const int half_x = 2 * x - 174;
    const int c = half_x / 57;
    const int rx = half_x - 57 * c;
    const int r = (y - 8) / 47;
    const int ry = (y - 8) - 47 * r;

    // The equals key also takes the row y = 7, the gap between its two cells
    // and the 5 pixel columns right of them: rx is not tested for it.
    if (c == 7 && y >= 7 && (r == 0 || (r == 1 && ry <= 38))) return 85;
    if (rx >= 0 && rx <= 45 && ry >= 0 && ry <= 38 && r >= 0 && r <= 4 && c >= 0 && c <= 7)
        return 10 * (c + 1) + (5 - r);
    return 0;
}

}  // namespace tarno
