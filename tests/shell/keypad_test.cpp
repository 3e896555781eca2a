// The keypad's hit-test against the keypad's drawing: the points at the
// keys' edges, the tall equals key, and a sweep over the whole screen.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "shell.h"
#include "support/key_cells.h"

namespace tarno {
namespace {

struct Probe {
    int x, y;
    KeyCode key;
};

void expect_keys(const std::vector<Probe>& probes) {
    for (const Probe& p : probes)
        EXPECT_EQ(key_at(p.x, p.y), p.key) << "at (" << p.x << ", " << p.y << ")";
}

TEST(KeyAt, KeyEdgesAndGaps) {
    expect_keys({
        {87, 8, 15},    // top-left corner of the first key
        {86, 8, 0},     // one pixel left of it
        {109, 46, 15},  // its bottom-right corner
        {110, 30, 0},   // the gap to the next column
        {100, 47, 0},   // the gap below the first row
        {100, 55, 14},  // the second row begins
        {100, 234, 11}, // the last row's bottom edge
        {100, 235, 0},  // below the keypad
        {116, 8, 25},   // second column: the gaps alternate 6 and 5 pixels
        {143, 8, 0},
        {144, 8, 35},
        {309, 234, 81}, // the Off key's far corner
    });
}

TEST(KeyAt, EqualsKeyIsOneTallRectangle) {
    expect_keys({
        {287, 7, 85},   // the row above the keys belongs to it
        {288, 7, 85},
        {286, 7, 0},
        {300, 6, 0},
        {300, 50, 85},  // the gap between its two cells
        {314, 93, 85},  // the five columns right of the cells
        {314, 94, 0},
        {315, 50, 0},
        {309, 102, 83}, // the key below it is an ordinary one
        {312, 120, 0},
    });
}

TEST(KeyAt, OutsideTheKeypad) {
    expect_keys({
        {60, 20, 0},    // the display strip
        {100, 0, 0},    // above the keys, outside the equals rectangle
        {-5, -5, 0},
        {0, 0, 0},
        {319, 239, 0},
        {400, 100, 0},
        {100, 400, 0},
    });
}

TEST(KeyAt, PointsNearTheIntLimitsHitNoKey) {
    // Taps come from anyone through the tools. 2x wraps for these, and
    // INT_MIN + 100 wrapped lands on the Shift key's column.
    expect_keys({
        {INT_MAX, 5, 0},
        {INT_MIN, 5, 0},
        {INT_MIN + 100, 20, 0},
        {300, INT_MAX, 0},
        {300, INT_MIN, 0},
        {INT_MAX, INT_MAX, 0},
        {INT_MIN, INT_MIN, 0},
    });
}

using tarno_test::key_from_cell_table;

TEST(KeyAt, AgreesWithTheCellTableEverywhere) {
    int mismatches = 0;
    for (int y = -20; y < 260; ++y) {
        for (int x = -20; x < 340; ++x) {
            const KeyCode expected = key_from_cell_table(x, y);
            if (key_at(x, y) != expected && ++mismatches <= 10)
                ADD_FAILURE() << "at (" << x << ", " << y << "): " << key_at(x, y) << ", not " << expected;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace tarno
