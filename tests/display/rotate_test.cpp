// The quarter turn and the scaling of rotate_quarter_turn, checked pixel by
// pixel against hand-worked pictures.
//
// Sections:
//   Surfaces to test with   building labelled sources, reading pixels
//   QuarterTurn             the turn at zoom 1: examples, parities, angles
//   TurnZoom                the turn at other zooms and at the zoom clamp
//   Scaling                 the scale-only branch
//   Filtering               bilinear filtering in both branches
//   Formats                 8-bit palettes and keys, other depths, alpha
//   Limits                  null and oversized sources
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "display.h"
#include "support/surfaces.h"

namespace {

using tarno::rotate_quarter_turn;
using tarno_test::Surface;
using tarno_test::pixel_at;

// --- Surfaces to test with ---

constexpr Uint32 RMASK = 0x000000ff, GMASK = 0x0000ff00, BMASK = 0x00ff0000,
                 AMASK = 0xff000000;

Surface turned(SDL_Surface* source, double zoom = 1.0, int smooth = 0, double angle = 90.0) {
    return Surface(rotate_quarter_turn(source, angle, zoom, smooth));
}

Surface scaled(SDL_Surface* source, double zoom, int smooth = 0) {
    return Surface(rotate_quarter_turn(source, 0.0, zoom, smooth));
}

Surface make_rgba(int width, int height) {
    return Surface(SDL_CreateRGBSurface(0, width, height, 32, RMASK, GMASK, BMASK, AMASK));
}

Surface make_indexed(int width, int height) {
    return Surface(SDL_CreateRGBSurface(0, width, height, 8, 0, 0, 0, 0));
}

Uint32 get32(const SDL_Surface* s, int x, int y) {
    Uint32 value;
    std::memcpy(&value, pixel_at(s, x, y), 4);
    return value;
}

void put32(SDL_Surface* s, int x, int y, Uint32 value) { std::memcpy(pixel_at(s, x, y), &value, 4); }

Uint8 get8(const SDL_Surface* s, int x, int y) { return *pixel_at(s, x, y); }

// Every pixel of a labelled 32-bit source differs from the others and from 0.
Uint32 label(int width, int x, int y) { return 0x01000000u + 1 + x + y * width; }

Surface labelled_rgba(int width, int height) {
    Surface s = make_rgba(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) put32(s.get(), x, y, label(width, x, y));
    return s;
}

// Labelled 8-bit source: indexes 1..250, never the key 255 that it carries.
constexpr Uint32 INDEXED_KEY = 255;

Uint8 index_label(int x, int y) { return static_cast<Uint8>((x * 7 + y * 13) % 250 + 1); }

Surface labelled_indexed(int width, int height) {
    Surface s = make_indexed(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) *pixel_at(s.get(), x, y) = index_label(x, y);
    SDL_SetColorKey(s.get(), SDL_SRCCOLORKEY, INDEXED_KEY);
    return s;
}

// Rows of a turned labelled 32-bit surface as letters, 'a' for the source's
// first pixel, '.' for a pixel left at zero.
std::vector<std::string> letters(const SDL_Surface* s, int source_width) {
    std::vector<std::string> rows;
    for (int y = 0; y < s->h; ++y) {
        std::string row;
        for (int x = 0; x < s->w; ++x) {
            const Uint32 v = get32(s, x, y);
            row += v == 0 ? '.' : static_cast<char>('a' + (v - label(source_width, 0, 0)));
        }
        rows.push_back(row);
    }
    return rows;
}

::testing::AssertionResult same_pixels(const SDL_Surface* a, const SDL_Surface* b) {
    if (a == nullptr || b == nullptr) return ::testing::AssertionFailure() << "null surface";
    if (a->w != b->w || a->h != b->h)
        return ::testing::AssertionFailure()
               << a->w << "x" << a->h << " against " << b->w << "x" << b->h;
    const int row_bytes = a->w * a->format->BytesPerPixel;
    for (int y = 0; y < a->h; ++y)
        if (std::memcmp(pixel_at(a, 0, y), pixel_at(b, 0, y), row_bytes) != 0)
            return ::testing::AssertionFailure() << "row " << y << " differs";
    return ::testing::AssertionSuccess();
}

// --- QuarterTurn ---

TEST(QuarterTurn, WorkedExamples) {
    Surface square = labelled_rgba(3, 3);
    Surface result = turned(square.get());
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(letters(result.get(), 3), (std::vector<std::string>{"cfi", "beh", "adg"}));

    Surface wide = labelled_rgba(4, 2);
    result = turned(wide.get());
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->w, 2);
    EXPECT_EQ(result->h, 4);
    EXPECT_EQ(letters(result.get(), 4), (std::vector<std::string>{"..", "dh", "cg", "bf"}));

    // 5 x 2: the left column stays empty, the right one holds source row 0
    // from bottom to top.
    Surface five = labelled_rgba(5, 2);
    result = turned(five.get());
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(letters(result.get(), 5),
              (std::vector<std::string>{".e", ".d", ".c", ".b", ".a"}));

    Surface one = labelled_rgba(1, 1);
    result = turned(one.get());
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(letters(result.get(), 1), (std::vector<std::string>{"a"}));
}

// Destination pixel (x, y) shows source pixel (column_base - y, x - row_shift)
// where that exists, and stays zero elsewhere.
struct ParityRule {
    bool width_odd, height_odd;
    int column_base_from_width;  // column_base = W + this
    int row_shift;
};

constexpr ParityRule PARITY_TABLE[] = {
    {true, true, -1, 0},
    {false, true, -1, 0},
    {true, false, -1, 1},
    {false, false, 0, 0},
};

const ParityRule& rule_for(int width, int height) {
    for (const ParityRule& rule : PARITY_TABLE)
        if (rule.width_odd == (width % 2 == 1) && rule.height_odd == (height % 2 == 1)) return rule;
    return PARITY_TABLE[0];
}

Uint32 expected_turned_pixel(int width, int height, int x, int y) {
    const ParityRule& rule = rule_for(width, height);
    const int column = width + rule.column_base_from_width - y;
    const int row = x - rule.row_shift;
    if (column < 0 || column >= width || row < 0 || row >= height) return 0;
    return label(width, column, row);
}

TEST(QuarterTurn, FollowsTheParityTableForEverySize) {
    for (int width = 1; width <= 40; ++width) {
        for (int height = 1; height <= 40; ++height) {
            SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
            Surface source = labelled_rgba(width, height);
            Surface result = turned(source.get());
            ASSERT_NE(result, nullptr);
            ASSERT_EQ(result->w, height);
            ASSERT_EQ(result->h, width);
            int wrong = 0;
            for (int y = 0; y < result->h; ++y)
                for (int x = 0; x < result->w; ++x)
                    wrong += get32(result.get(), x, y) != expected_turned_pixel(width, height, x, y);
            EXPECT_EQ(wrong, 0);
        }
    }
}

// The calculator's own call (zoom 1) may take a shortcut; a zoom just under
// 1 has the same 16.16 step (65536) and goes through the general loop. The
// two must agree on every size, of either parity, at 32 and at 8 bits.
TEST(QuarterTurn, ZoomOneMatchesTheGeneralLoop) {
    const double general_zoom = 0.99999;
    ASSERT_EQ(static_cast<int>(65536.0 / general_zoom), 65536);
    std::vector<std::pair<int, int>> sizes;
    for (int width = 1; width <= 40; ++width)
        for (int height = 1; height <= 40; ++height) sizes.emplace_back(width, height);
    const std::vector<std::pair<int, int>> larger = {
        {300, 41}, {41, 300}, {257, 64}, {1000, 3}, {3, 1000}, {16383, 2}, {2, 16383},
        {16383, 1}, {1, 16383}};
    sizes.insert(sizes.end(), larger.begin(), larger.end());
    for (const auto& [width, height] : sizes) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        Surface rgba = labelled_rgba(width, height);
        EXPECT_TRUE(same_pixels(turned(rgba.get(), 1.0).get(),
                                turned(rgba.get(), general_zoom).get()));
        Surface indexed = labelled_indexed(width, height);
        EXPECT_TRUE(same_pixels(turned(indexed.get(), 1.0).get(),
                                turned(indexed.get(), general_zoom).get()));
    }
}

TEST(QuarterTurn, EveryAngleBeyondTheThresholdTurnsTheSameWay) {
    Surface source = labelled_rgba(5, 3);
    Surface reference = turned(source.get());
    ASSERT_NE(reference, nullptr);
    for (double angle : {-90.0, 0.0011, -0.0011, 45.0, 180.0, -270.0, 1e6}) {
        SCOPED_TRACE(angle);
        EXPECT_TRUE(same_pixels(turned(source.get(), 1.0, 0, angle).get(), reference.get()));
    }
}

TEST(QuarterTurn, LeavesTheSourceAsItWas) {
    Surface source = labelled_rgba(6, 4);
    Surface copy = labelled_rgba(6, 4);
    Surface result = turned(source.get());
    ASSERT_NE(result, nullptr);
    EXPECT_NE(result.get(), source.get());
    EXPECT_TRUE(same_pixels(source.get(), copy.get()));
}

// --- TurnZoom ---

TEST(TurnZoom, ZoomTwoShowsTheMiddleMagnified) {
    // Step 32768: destination row y reads source column (2 + (2 - y) / 2),
    // column x reads source row (1 + x / 2), both rounded down.
    Surface source = labelled_rgba(4, 4);
    Surface result = turned(source.get(), 2.0);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->w, 4);
    EXPECT_EQ(result->h, 4);
    EXPECT_EQ(letters(result.get(), 4),
              (std::vector<std::string>{"hhll", "ggkk", "ggkk", "ffjj"}));
}

TEST(TurnZoom, HalfZoomShrinksAndLeavesABorder) {
    // Step 131072 on a 5 x 5 source: row y reads source column 6 - 2y,
    // column x source row 2x - 2; only those inside the source are mapped.
    Surface source = labelled_rgba(5, 5);
    Surface result = turned(source.get(), 0.5);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->w, 5);
    EXPECT_EQ(result->h, 5);
    EXPECT_EQ(letters(result.get(), 5),
              (std::vector<std::string>{".....", ".eoy.", ".cmw.", ".aku.", "....."}));
}

TEST(TurnZoom, ClampedZoomMapsOnlyOnePixel) {
    Surface source = labelled_rgba(100, 34);
    for (double zoom : {0.0, -1.0, -1e300, 0.0005, 0.001, std::nan("")}) {
        SCOPED_TRACE(zoom);
        Surface result = turned(source.get(), zoom);
        ASSERT_NE(result, nullptr);
        ASSERT_EQ(result->w, 34);
        ASSERT_EQ(result->h, 100);
        int mapped = 0;
        for (int y = 0; y < result->h; ++y)
            for (int x = 0; x < result->w; ++x) mapped += get32(result.get(), x, y) != 0;
        EXPECT_EQ(mapped, 1);
        EXPECT_EQ(get32(result.get(), 17, 50), label(100, 50, 17));
    }
}

// --- Scaling ---

TEST(Scaling, AngleZeroAtZoomOneCopies) {
    Surface rgba = labelled_rgba(7, 5);
    for (double angle : {0.0, 0.001, -0.001}) {
        SCOPED_TRACE(angle);
        Surface result(rotate_quarter_turn(rgba.get(), angle, 1.0, 0));
        ASSERT_NE(result, nullptr);
        EXPECT_NE(result.get(), rgba.get());
        EXPECT_TRUE(same_pixels(result.get(), rgba.get()));
    }
    Surface indexed = labelled_indexed(7, 5);
    EXPECT_TRUE(same_pixels(scaled(indexed.get(), 1.0).get(), indexed.get()));
}

TEST(Scaling, SizesAreTruncatedAndAtLeastOne) {
    struct Case {
        int width, height;
        double zoom;
        int scaled_width, scaled_height;
    };
    const Case cases[] = {
        {10, 7, 0.5, 5, 3},    {3, 3, 0.2, 1, 1},   {4, 2, 2.5, 10, 5},  {7, 3, 1.99, 13, 5},
        {7, 3, 0.0, 1, 1},     {7, 3, -3.0, 1, 1},  {3000, 2, 0.0, 3, 1}, {2500, 1, -1.0, 2, 1},
        {1000, 1999, 0.0005, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " zoom " +
                     std::to_string(c.zoom));
        const Surface sources[] = {make_rgba(c.width, c.height),
                                   make_indexed(c.width, c.height)};
        for (const Surface& source : sources) {
            Surface result = scaled(source.get(), c.zoom);
            ASSERT_NE(result, nullptr);
            EXPECT_EQ(result->w, c.scaled_width);
            EXPECT_EQ(result->h, c.scaled_height);
        }
    }
}

TEST(Scaling, PicksSourcePixelsByTheirSteps) {
    // Zoom 2: step 32768, each source pixel twice. Zoom 0.5: step 131072,
    // every other pixel. 3 -> 2 wide: step 98304, advances 1 then 2.
    Surface square = labelled_rgba(2, 2);
    Surface result = scaled(square.get(), 2.0);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(letters(result.get(), 2),
              (std::vector<std::string>{"aabb", "aabb", "ccdd", "ccdd"}));

    Surface four = labelled_rgba(4, 4);
    result = scaled(four.get(), 0.5);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(letters(result.get(), 4), (std::vector<std::string>{"ac", "ik"}));

    Surface three = labelled_rgba(3, 3);
    result = scaled(three.get(), 0.7);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(letters(result.get(), 3), (std::vector<std::string>{"ab", "de"}));

    // The 8-bit pass steps the same way.
    Surface indexed = labelled_indexed(2, 2);
    result = scaled(indexed.get(), 2.0);
    ASSERT_NE(result, nullptr);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(get8(result.get(), x, y), index_label(x / 2, y / 2));

    // Rows and columns step apart: 3 x 4 at 0.7 gives 2 x 2, steps 1.5
    // across (columns 0, 1) and 2 down (rows 0, 2), in both passes.
    Surface tall = labelled_rgba(3, 4);
    result = scaled(tall.get(), 0.7);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(letters(result.get(), 3), (std::vector<std::string>{"ab", "gh"}));
    Surface tall_indexed = labelled_indexed(3, 4);
    result = scaled(tall_indexed.get(), 0.7);
    ASSERT_NE(result, nullptr);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) EXPECT_EQ(get8(result.get(), x, y), index_label(x, 2 * y)) << x << "," << y;
}

// --- Filtering ---

// Source pixel (c, r) of the filtering sources: four distinct channels.
Uint32 filter_source_pixel(int c, int r) {
    const Uint32 b0 = 10 + 25 * c + 35 * r, b1 = 235 - 25 * c - 35 * r, b2 = 7 * c + 3 * r;
    return b0 | b1 << 8 | b2 << 16 | 0xffu << 24;
}

Uint32 bytes(Uint32 b0, Uint32 b1, Uint32 b2, Uint32 b3) {
    return b0 | b1 << 8 | b2 << 16 | b3 << 24;
}

struct FilteredPixel {
    int x, y;
    Uint32 value;
};

Surface filter_source(int width, int height) {
    Surface source = make_rgba(width, height);
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c) put32(source.get(), c, r, filter_source_pixel(c, r));
    return source;
}

void expect_filtered(int width, int height, const std::vector<FilteredPixel>& expected) {
    Surface source = filter_source(width, height);
    Surface result = turned(source.get(), 0.5, 1);
    ASSERT_NE(result, nullptr);
    for (int y = 0; y < result->h; ++y) {
        for (int x = 0; x < result->w; ++x) {
            Uint32 want = 0;
            for (const FilteredPixel& p : expected)
                if (p.x == x && p.y == y) want = p.value;
            EXPECT_EQ(get32(result.get(), x, y), want) << "pixel " << x << "," << y;
        }
    }
}

TEST(Filtering, TurnBlendsFourNeighboursAndTheRing) {
    // Zoom 0.5 on a 4 x 3 source: every position falls half way between
    // pixels. Rows y = 1, 2, 3 lie at source x 3.5, 1.5, -0.5; columns
    // x = 0, 1 at source y -0.5, 1.5. Neighbours outside the source count
    // as the fresh destination's zero. E.g. (0, 3): only c11 = source (0, 0)
    // = (10, 235, 0, 255), so t1 = 0, t2 = c11 / 2 rounded down, result t2 / 2.
    expect_filtered(4, 3,
                    {
                        {0, 1, bytes(21, 40, 5, 63)},     // x = W-1, y = -1: c10
                        {1, 1, bytes(68, 53, 12, 127)},   // x = W-1: c00, c10
                        {0, 2, bytes(23, 98, 5, 127)},    // y = -1: c10, c11
                        {1, 2, bytes(99, 144, 14, 255)},  // all four inside
                        {0, 3, bytes(2, 58, 0, 63)},      // x = -1, y = -1: c11
                        {1, 3, bytes(31, 91, 2, 127)},    // x = -1: c01, c11
                    });
    // 4 x 5: rows y = 1, 2, 3 at source x 3.5, 1.5, -0.5; columns x = 1, 2, 3
    // at source y 0.5, 2.5, 4.5.
    expect_filtered(4, 5,
                    {
                        {1, 1, bytes(51, 71, 11, 127)},   // x = W-1
                        {2, 1, bytes(86, 36, 14, 127)},   // x = W-1
                        {3, 1, bytes(56, 5, 8, 63)},      // x = W-1, y = H-1: c00
                        {1, 2, bytes(64, 179, 11, 255)},  // all four inside
                        {2, 2, bytes(134, 109, 17, 255)}, // all four inside
                        {3, 2, bytes(93, 28, 11, 127)},   // y = H-1: c00, c01
                        {1, 3, bytes(13, 108, 0, 127)},   // x = -1
                        {2, 3, bytes(48, 73, 3, 127)},    // x = -1
                        {3, 3, bytes(37, 23, 3, 63)},     // x = -1, y = H-1: c01
                    });
}

TEST(Filtering, ScaleBlendsByTableWeights) {
    // 2 x 2 to 4 x 4: the filtered step spans one pixel less, 16384, so the
    // weights run 0, 1/4, 1/2, 3/4 along both axes.
    Surface source = make_rgba(2, 2);
    put32(source.get(), 0, 0, bytes(0, 9, 0, 255));
    put32(source.get(), 1, 0, bytes(200, 9, 0, 255));
    put32(source.get(), 0, 1, bytes(100, 9, 0, 255));
    put32(source.get(), 1, 1, bytes(40, 9, 0, 255));
    Surface result = scaled(source.get(), 2.0, 1);
    ASSERT_NE(result, nullptr);
    ASSERT_EQ(result->w, 4);
    // (2, 1): t1 = 0 + 200/2 = 100, t2 = 100 - 60/2 = 70,
    // 100 + ((70 - 100) * 16384 >> 16) = 100 - 8 (rounded down) = 92.
    EXPECT_EQ(get32(result.get(), 2, 1), bytes(92, 9, 0, 255));
    // (3, 3): t1 = 150, t2 = 100 - 45 = 55, 150 + (-95 * 3/4 rounded down) = 78.
    EXPECT_EQ(get32(result.get(), 3, 3), bytes(78, 9, 0, 255));
    EXPECT_EQ(get32(result.get(), 1, 0), bytes(50, 9, 0, 255));
    EXPECT_EQ(get32(result.get(), 0, 0), bytes(0, 9, 0, 255));
    EXPECT_EQ(get32(result.get(), 0, 2), bytes(50, 9, 0, 255));
}

// Filtered pictures of the 3 x 2 filtering source (and a 6 x 4 one) at
// zooms below, at and above 1, whole and fractional. The expected pixels
// were worked out once by a separate reference model (a short Python script
// following the routine's description step by step: 16.16 positions that
// wrap at 32 bits, the ring and its neighbour cases, the table weights, the
// blend with arithmetic shifts) and written here as bytes 3..0, row by row.
// The model reproduces the hand-worked values of the tests above.
struct ZoomedPicture {
    int width, height;
    double zoom;
    int result_width;
    std::vector<Uint32> rows;
};

void expect_picture(const SDL_Surface* result, const ZoomedPicture& want) {
    ASSERT_NE(result, nullptr);
    ASSERT_EQ(result->w, want.result_width);
    ASSERT_EQ(result->w * result->h, static_cast<int>(want.rows.size()));
    for (int y = 0; y < result->h; ++y)
        for (int x = 0; x < result->w; ++x)
            EXPECT_EQ(get32(result, x, y), want.rows[y * result->w + x]) << "pixel " << x << "," << y;
}

TEST(Filtering, TurnAtZoomsBelowAtAndAboveOne) {
    // 3 x 2 turns into 2 x 3; the half-pixel offsets give every position a
    // fraction, and at zoom 1 and below some fall in the ring. At 0.5 the
    // first row and column lie beyond it, one pixel right of and above the
    // source, and stay as created.
    const ZoomedPicture pictures[] = {
        {3, 2, 0.5, 2, {0x00000000, 0x00000000, 0x00000000, 0xff0bb340, 0x00000000, 0x7f006c0d}},
        {3, 2, 0.75, 2, {0x07000501, 0x2a021b0c, 0x2a012007, 0xff0bb340, 0x2a002602, 0xff02d41f}},
        {3, 2, 1.0, 2, {0x3f032e0f, 0x7f075326, 0x7f056217, 0xff0bb340, 0x7f016f0b, 0xff04cc27}},
        {3, 2, 1.5, 2, {0xb0098029, 0xd40c8b40, 0xd408a427, 0xff0bb340, 0xd404b219, 0xff06c42f}},
        {3, 2, 2.0, 2, {0xff0eb93c, 0xff0fa74d, 0xff0ac52f, 0xff0bb340, 0xff07d223, 0xff08c034}},
        {3, 2, 2.5, 2, {0xff0db73c, 0xff0ea94a, 0xff0ac132, 0xff0bb340, 0xff07cb28, 0xff08bd36}},
    };
    for (const ZoomedPicture& want : pictures) {
        SCOPED_TRACE(want.zoom);
        Surface source = filter_source(want.width, want.height);
        expect_picture(turned(source.get(), want.zoom, 1).get(), want);
    }
}

TEST(Filtering, ScaleAtZoomsBelowAtAndAboveOne) {
    // Zoom 1 is no copy: the filtered step spans one pixel less. 6 x 4 at
    // 0.5 steps 5/3 and 3/2 source pixels, advancing by 1 or 2.
    const ZoomedPicture pictures[] = {
        {3, 2, 0.75, 2, {0xff00eb0a, 0xff07d223}},
        {3, 2, 1.0, 3, {0xff00eb0a, 0xff04da1a, 0xff09c92b, 0xff01d91b, 0xff05c82b, 0xff0ab73c}},
        {3, 2, 1.5, 4, {0xff00eb0a, 0xff03de16, 0xff07d223, 0xff0ac52f,
                        0xff00df15, 0xff03d221, 0xff07c62e, 0xff0ab93a,
                        0xff01d321, 0xff04c62d, 0xff08ba3a, 0xff0bad46}},
        {3, 2, 2.5, 7, {0xff00eb0a, 0xff01e311, 0xff03dc18, 0xff05d51f, 0xff07ce26, 0xff09c72d, 0xff0bc034,
                        0xff00e410, 0xff01dc17, 0xff03d51e, 0xff05ce25, 0xff07c72c, 0xff09c033, 0xff0bb93a,
                        0xff01dd17, 0xff02d51e, 0xff04ce25, 0xff06c72c, 0xff08c033, 0xff0ab93a, 0xff0cb241,
                        0xff01d61e, 0xff02ce25, 0xff04c72c, 0xff06c033, 0xff08b93a, 0xff0ab241, 0xff0cab48,
                        0xff02cf25, 0xff03c72c, 0xff05c033, 0xff07b93a, 0xff09b241, 0xff0bab48, 0xff0da44f}},
        {6, 4, 0.5, 3, {0xff00eb0a, 0xff0bc133, 0xff17975d, 0xff04b63e, 0xff0f8c67, 0xff1b6291}},
    };
    for (const ZoomedPicture& want : pictures) {
        SCOPED_TRACE(std::to_string(want.width) + "x" + std::to_string(want.height) + " zoom " +
                     std::to_string(want.zoom));
        Surface source = filter_source(want.width, want.height);
        expect_picture(scaled(source.get(), want.zoom, 1).get(), want);
    }
}

TEST(Filtering, ScaleOfASinglePixelColumnStaysInside) {
    // One pixel wide: there is no right-hand neighbour, and its weight is 0.
    Surface source = make_rgba(1, 2);
    put32(source.get(), 0, 0, bytes(0, 0, 0, 255));
    put32(source.get(), 0, 1, bytes(200, 0, 0, 255));
    Surface result = scaled(source.get(), 2.0, 1);
    ASSERT_NE(result, nullptr);
    ASSERT_EQ(result->w, 2);
    ASSERT_EQ(result->h, 4);
    const Uint8 column[] = {0, 50, 100, 150};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(get32(result.get(), x, y), bytes(column[y], 0, 0, 255)) << x << "," << y;

    Surface row = make_rgba(2, 1);
    put32(row.get(), 0, 0, bytes(0, 0, 0, 255));
    put32(row.get(), 1, 0, bytes(0, 200, 0, 255));
    result = scaled(row.get(), 2.0, 1);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(get32(result.get(), 3, 1), bytes(0, 150, 0, 255));
}

// --- Formats ---

void give_palette(SDL_Surface* surface, int count) {
    std::vector<SDL_Color> colours(count);
    for (int i = 0; i < count; ++i)
        colours[i] = SDL_Color{Uint8(i * 3), Uint8(255 - i), Uint8(i * 7), 0};
    SDL_SetColors(surface, colours.data(), 0, count);
}

void expect_same_palette_and_key(const SDL_Surface* result, const SDL_Surface* source) {
    ASSERT_EQ(result->format->BitsPerPixel, 8);
    const SDL_Palette* want = source->format->palette;
    const SDL_Palette* got = result->format->palette;
    ASSERT_EQ(got->ncolors, want->ncolors);
    for (int i = 0; i < want->ncolors; ++i) {
        EXPECT_EQ(got->colors[i].r, want->colors[i].r) << i;
        EXPECT_EQ(got->colors[i].g, want->colors[i].g) << i;
        EXPECT_EQ(got->colors[i].b, want->colors[i].b) << i;
    }
    EXPECT_EQ(result->format->colorkey, source->format->colorkey);
    // SDL keeps a request for run-length acceleration as SDL_RLEACCELOK.
    EXPECT_EQ(result->flags & (SDL_SRCCOLORKEY | SDL_RLEACCELOK),
              Uint32(SDL_SRCCOLORKEY | SDL_RLEACCELOK));
}

TEST(Formats, IndexedTurnKeepsPaletteAndKeysTheEmptyPixels) {
    Surface source = labelled_indexed(5, 2);
    give_palette(source.get(), 256);
    Surface result = turned(source.get());
    ASSERT_NE(result, nullptr);
    expect_same_palette_and_key(result.get(), source.get());
    // 5 x 2 (odd, even): column 0 is unmapped and holds the key; column 1
    // shows source row 0 from bottom to top.
    for (int y = 0; y < 5; ++y) {
        EXPECT_EQ(get8(result.get(), 0, y), INDEXED_KEY);
        EXPECT_EQ(get8(result.get(), 1, y), index_label(4 - y, 0));
    }
    // Filtering is for 32-bit surfaces only.
    EXPECT_TRUE(same_pixels(turned(source.get(), 1.0, 1).get(), result.get()));
    EXPECT_TRUE(same_pixels(turned(source.get(), 0.99999, 1).get(), result.get()));
}

TEST(Formats, IndexedKeepsAShortPaletteInBothBranches) {
    Surface source = labelled_indexed(3, 3);
    give_palette(source.get(), 256);
    source->format->palette->ncolors = 16;  // as a 16-colour bitmap loads
    SDL_SetColorKey(source.get(), SDL_SRCCOLORKEY, 0x1207);  // only the low byte fills
    Surface result = turned(source.get(), 0.5);
    ASSERT_NE(result, nullptr);
    expect_same_palette_and_key(result.get(), source.get());
    EXPECT_EQ(get8(result.get(), 0, 0), 0x07);

    result = scaled(source.get(), 2.0);
    ASSERT_NE(result, nullptr);
    expect_same_palette_and_key(result.get(), source.get());
}

TEST(Formats, OtherDepthsTurnAsThirtyTwoBitCopies) {
    // 16-bit 565: full red, full blue and black convert exactly, and opaque.
    Surface rgb565(SDL_CreateRGBSurface(0, 3, 1, 16, 0xf800, 0x07e0, 0x001f, 0));
    const Uint16 colours[] = {0xf800, 0x001f, 0x0000};
    std::memcpy(rgb565->pixels, colours, sizeof colours);
    Surface result = turned(rgb565.get());
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->format->BitsPerPixel, 32);
    EXPECT_EQ(result->format->Rmask, RMASK);
    EXPECT_EQ(result->format->Gmask, GMASK);
    EXPECT_EQ(result->format->Bmask, BMASK);
    EXPECT_EQ(result->format->Amask, AMASK);
    ASSERT_EQ(result->w, 1);
    ASSERT_EQ(result->h, 3);
    EXPECT_EQ(get32(result.get(), 0, 0), 0xff000000u);
    EXPECT_EQ(get32(result.get(), 0, 1), 0xffff0000u);
    EXPECT_EQ(get32(result.get(), 0, 2), 0xff0000ffu);
    EXPECT_EQ(std::memcmp(rgb565->pixels, colours, sizeof colours), 0);
    EXPECT_EQ(rgb565->format->BitsPerPixel, 16);

    // 24-bit, red in the high byte: every channel converts exactly.
    Surface rgb888(SDL_CreateRGBSurface(0, 2, 1, 24, 0xff0000, 0x00ff00, 0x0000ff, 0));
    const Uint8 packed[] = {0x01, 0x29, 0x51, 0x79, 0xa1, 0xc9};  // blue, green, red twice
    std::memcpy(rgb888->pixels, packed, sizeof packed);
    result = scaled(rgb888.get(), 1.0);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->format->BitsPerPixel, 32);
    EXPECT_EQ(result->format->Amask, AMASK);
    EXPECT_EQ(get32(result.get(), 0, 0), 0xff012951u);
    EXPECT_EQ(get32(result.get(), 1, 0), 0xff79a1c9u);
    EXPECT_EQ(std::memcmp(rgb888->pixels, packed, sizeof packed), 0);
}

TEST(Formats, ThirtyTwoBitResultsCarryPerPixelAlpha) {
    Surface source = make_rgba(3, 3);
    put32(source.get(), 1, 1, bytes(1, 2, 3, 0x80));
    // Masks other than the conversion's pass through unchanged.
    Surface other(SDL_CreateRGBSurface(0, 2, 2, 32, 0xff0000, 0xff00, 0xff, 0xff000000));
    const Surface results[] = {turned(source.get()), scaled(source.get(), 3.0),
                               turned(source.get(), 1.0, 1), scaled(source.get(), 0.5, 1)};
    for (const Surface& result : results) {
        ASSERT_NE(result, nullptr);
        EXPECT_TRUE(result->flags & SDL_SRCALPHA);
        EXPECT_EQ(result->format->Amask, AMASK);
    }
    EXPECT_EQ(get32(turned(source.get()).get(), 1, 1), bytes(1, 2, 3, 0x80));
    Surface result = turned(other.get());
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->format->Rmask, 0xff0000u);
    EXPECT_EQ(result->format->Bmask, 0xffu);
}

// --- Limits ---

TEST(Limits, NullSourceGivesNull) {
    EXPECT_EQ(rotate_quarter_turn(nullptr, 90.0, 1.0, 0), nullptr);
    EXPECT_EQ(rotate_quarter_turn(nullptr, 0.0, 2.0, 1), nullptr);
}

// SDL 1.2 makes no surface 16384 or more pixels wide: turning a tall one, or
// scaling beyond that width (an infinite zoom too), gives null.
TEST(Limits, DestinationsThatSdlCannotMakeGiveNull) {
    Surface tall = make_rgba(1, 20000);
    ASSERT_NE(tall, nullptr);
    EXPECT_EQ(turned(tall.get()), nullptr);
    Surface tall_indexed = make_indexed(2, 16384);
    ASSERT_NE(tall_indexed, nullptr);
    EXPECT_EQ(turned(tall_indexed.get()), nullptr);
    Surface row = make_rgba(10, 1);
    EXPECT_EQ(scaled(row.get(), 10000.0), nullptr);
    EXPECT_EQ(scaled(row.get(), HUGE_VAL), nullptr);
    EXPECT_EQ(scaled(row.get(), 1e300), nullptr);
    // Just inside the limit still works.
    Surface widest = make_rgba(1, 16383);
    EXPECT_NE(turned(widest.get()), nullptr);
}

TEST(Limits, EmptySourcesGiveEmptyResults) {
    const Surface sources[] = {make_rgba(0, 3), make_indexed(4, 0)};
    for (const Surface& source : sources) {
        for (int smooth : {0, 1}) {
            Surface result = turned(source.get(), smooth ? 0.5 : 1.0, smooth);
            ASSERT_NE(result, nullptr);
            EXPECT_EQ(result->w, source->h);
            EXPECT_EQ(result->h, source->w);
            // Scaled sizes are raised to 1; with nothing to read they stay empty.
            result = scaled(source.get(), 2.0, smooth);
            ASSERT_NE(result, nullptr);
            EXPECT_EQ(result->w, source->w > 0 ? 2 * source->w : 1);
            EXPECT_EQ(result->h, source->h > 0 ? 2 * source->h : 1);
            for (int y = 0; y < result->h; ++y)
                for (int x = 0; x < result->w; ++x) EXPECT_EQ(*pixel_at(result.get(), x, y), 0);
        }
    }
}

}  // namespace
