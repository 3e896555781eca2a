// The keypad's key cells in screen pixels, written down from the keypad's
// cell table as literal data, so that the tests' expected keys and tap
// positions do not come from the hit-test they check.
#pragma once

namespace tarno_test {

// An inclusive range of pixels.
struct Range {
    int first, last;
    constexpr bool holds(int v) const { return v >= first && v <= last; }
    constexpr int middle() const { return (first + last) / 2; }
};

// A screen position, x from the left edge, y from the top edge.
struct Point {
    int x, y;
};

// The screen columns of the keys, from the left: the key code's tens digit 1..8.
constexpr Range CELL_COLUMNS[8] = {{87, 109},  {116, 138}, {144, 166}, {173, 195},
                                   {201, 223}, {230, 252}, {258, 280}, {287, 309}};
// The screen rows of the keys, from the top: the key code's units digit 5..1.
constexpr Range CELL_ROWS[5] = {{8, 46}, {55, 93}, {102, 140}, {149, 187}, {196, 234}};
// The key in each cell, [row][column].
constexpr int CELL_KEYS[5][8] = {
    {15, 25, 35, 45, 55, 65, 75, 85},
    {14, 24, 34, 44, 54, 64, 74, 85},
    {13, 23, 33, 43, 53, 63, 73, 83},
    {12, 22, 32, 42, 52, 62, 72, 82},
    {11, 21, 31, 41, 51, 61, 71, 81},
};
// The equals key's one rectangle, which takes precedence where it overlaps a cell.
constexpr Range EQUALS_X{287, 314};
constexpr Range EQUALS_Y{7, 93};

// The key whose cell holds (x, y) by the table, or 0 between and beside the cells.
constexpr int key_from_cell_table(int x, int y) {
    if (EQUALS_X.holds(x) && EQUALS_Y.holds(y)) return 85;
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 8; ++column)
            if (CELL_ROWS[row].holds(y) && CELL_COLUMNS[column].holds(x)) return CELL_KEYS[row][column];
    return 0;
}

// The middle of the cell of key (tens digit 1..8, units digit 1..5).
constexpr Point key_middle(int key) { return {CELL_COLUMNS[key / 10 - 1].middle(), CELL_ROWS[5 - key % 10].middle()}; }

}  // namespace tarno_test
