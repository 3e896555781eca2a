// The keypad's hit-test against the keypad's drawing: the points at the
// keys' edges, the tall equals key, and a sweep over the whole screen.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "keypad.h"

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

// The keypad's cells as the picture draws them: inclusive pixel ranges.
struct Range {
    int first, last;
    bool holds(int v) const { return v >= first && v <= last; }
};
constexpr Range CELL_COLUMNS[8] = {{87, 109}, {116, 138}, {144, 166}, {173, 195},
                                   {201, 223}, {230, 252}, {258, 280}, {287, 309}};
constexpr Range CELL_ROWS[5] = {{8, 46}, {55, 93}, {102, 140}, {149, 187}, {196, 234}};
constexpr KeyCode CELL_KEYS[5][8] = {
    {15, 25, 35, 45, 55, 65, 75, 85},
    {14, 24, 34, 44, 54, 64, 74, 85},
    {13, 23, 33, 43, 53, 63, 73, 83},
    {12, 22, 32, 42, 52, 62, 72, 82},
    {11, 21, 31, 41, 51, 61, 71, 81},
};
constexpr Range EQUALS_X{287, 314};
constexpr Range EQUALS_Y{7, 93};

KeyCode key_from_cell_table(int x, int y) {
    if (EQUALS_X.holds(x) && EQUALS_Y.holds(y)) return 85;
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 8; ++column)
            if (CELL_ROWS[row].holds(y) && CELL_COLUMNS[column].holds(x)) return CELL_KEYS[row][column];
    return 0;
}

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
