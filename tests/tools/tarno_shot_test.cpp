// tarno-shot from outside: the pictures it saves against the screen the
// calculator draws, the upright turn, PNG against BMP, tokens from standard
// input, bad arguments, long entries, a font that draws nothing, a keypad
// picture that cannot be loaded, input that cannot be read, and output that
// cannot be written or lies behind a link, standard output as a pipe.
#include <gtest/gtest.h>
#include <png.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "calc.h"
#include "display.h"
#include "shell_setup.h"
#include "support/files.h"
#include "support/process.h"
#include "support/surfaces.h"

namespace {

using namespace tarno_test;

// SDL's dummy video driver with the calculator's 320 x 240 16-bit screen and
// its font, for drawing the expected screens; each test runs in a scratch
// folder whose tarno/ holds a white keypad picture, a light blue shifted one
// and a link to the calculator's font.
class ShotTool : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        ASSERT_EQ(TTF_Init(), 0);
    }

    static void TearDownTestSuite() {
        TTF_Quit();
        SDL_Quit();
    }

    void SetUp() override {
        char here[PATH_MAX];
        ASSERT_NE(getcwd(here, sizeof here), nullptr);
        home_ = here;
        font_path_ = home_ + "/" + tarno::FONT_FILE;
        screen_ = SDL_SetVideoMode(320, 240, 16, 0);
        ASSERT_NE(screen_, nullptr) << SDL_GetError();
        fonts_ = tarno::open_fonts(font_path_.c_str(), stderr);
        ASSERT_TRUE(fonts_.font_large && fonts_.font_small) << TTF_GetError();
        ASSERT_FALSE(folder_.path().empty());
        ASSERT_EQ(mkdir(folder_.file("tarno").c_str(), 0755), 0);
        ASSERT_EQ(symlink(font_path_.c_str(), folder_.file(tarno::FONT_FILE).c_str()), 0);
        ASSERT_EQ(chdir(folder_.path().c_str()), 0);
        ASSERT_TRUE(write_plain_picture("tarno/tarno.bmp", 255, 255, 255));
        ASSERT_TRUE(write_plain_picture("tarno/tarno9.bmp", 200, 230, 255));
    }

    void TearDown() override {
        tarno::close_fonts(fonts_);
        EXPECT_EQ(chdir(home_.c_str()), 0);
    }

    // The calculator's font at points, opened by the test itself.
    Font font_at(int points) const { return Font(TTF_OpenFont(font_path_.c_str(), points)); }

    std::string home_, font_path_;
    TempDirectory folder_;
    SDL_Surface* screen_ = nullptr;
    tarno::Fonts fonts_{};
};

// Runs tarno-shot in the test's folder with the arguments (split at blanks),
// standard input holding input.
Finished run_shot(const std::string& arguments, const std::string& input = "") {
    return run({command_line(TARNO_SHOT_PATH, arguments), {}, input});
}

TEST_F(ShotTool, SavesTheScreenThatTheCalculatorDrawsForTheKeys) {
    struct Case {
        const char* tokens;
        std::vector<tarno::KeyCode> keys;
    };
    const Case cases[] = {
        {"61 62 74 63", {61, 62, 74, 63}},
        {"61 62 74 63 15", {61, 62, 74, 63, 15}},
        {"15 24 24 65 65 41 45 44", {15, 24, 24, 65, 65, 41, 45, 44}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tokens);
        std::remove("shot.bmp");
        const Finished run = run_shot(std::string("shot.bmp ") + c.tokens);
        ASSERT_EQ(run.status, 0) << run.err;

        tarno::power_on();
        for (tarno::KeyCode key : c.keys) tarno::handle_key(key);
        tarno::redraw_screen(screen_, fonts_, tarno::read_only_calc_state());
        ASSERT_EQ(SDL_SaveBMP(screen_, "expected.bmp"), 0);
        EXPECT_TRUE(file_text("shot.bmp") == file_text("expected.bmp"));

        Surface shot(SDL_LoadBMP("shot.bmp"));
        ASSERT_TRUE(shot);
        EXPECT_EQ(shot->w, 320);
        EXPECT_EQ(shot->h, 240);
    }
}

TEST_F(ShotTool, UprightPictureIsTheScreenTurnedClockwise) {
    ASSERT_EQ(run_shot("plain.bmp 15 61 72 62 54").status, 0);
    ASSERT_EQ(run_shot("--upright upright.bmp 15 61 72 62 54").status, 0);
    Surface plain(SDL_LoadBMP("plain.bmp"));
    Surface upright(SDL_LoadBMP("upright.bmp"));
    ASSERT_TRUE(plain && upright);
    ASSERT_EQ(plain->format->BytesPerPixel, 3);
    ASSERT_EQ(upright->format->BytesPerPixel, 3);
    EXPECT_EQ(upright->w, 240);
    EXPECT_EQ(upright->h, 320);
    int differing = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            const Uint8* a = pixel_at(plain.get(), x, y);
            const Uint8* b = pixel_at(upright.get(), 239 - y, x);
            if (std::memcmp(a, b, 3) != 0) ++differing;
        }
    EXPECT_EQ(differing, 0);
}

// A PNG read back with libpng as 8-bit RGB, row by row; empty when it
// does not read as a PNG of that size.
std::vector<Uint8> read_png_rgb(const std::string& path, int width, int height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<Uint8> rgb(PNG_IMAGE_SIZE(image));
    const bool fits = static_cast<int>(image.width) == width && static_cast<int>(image.height) == height;
    if (!fits || !png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return {};
    }
    return rgb;
}

TEST_F(ShotTool, PngHoldsTheColoursOfTheBmpPixelForPixel) {
    struct Case {
        const char* options;
        int width, height;
    };
    for (const Case c : {Case{"", 320, 240}, Case{"--upright ", 240, 320}}) {
        SCOPED_TRACE(c.options);
        std::remove("shot.png");
        const std::string keys = " 15 61 72 62 54 34";  // shifted, 1.2 x pi: every colour of the keypad
        ASSERT_EQ(run_shot(std::string(c.options) + "shot.bmp" + keys).status, 0);
        const Finished run = run_shot(std::string(c.options) + "shot.png" + keys);
        ASSERT_EQ(run.status, 0) << run.err;
        ASSERT_EQ(file_text("shot.png").substr(1, 3), "PNG");

        Surface bmp(SDL_LoadBMP("shot.bmp"));
        ASSERT_TRUE(bmp);
        ASSERT_EQ(bmp->format->BytesPerPixel, 3);
        const std::vector<Uint8> png = read_png_rgb("shot.png", c.width, c.height);
        ASSERT_EQ(png.size(), static_cast<std::size_t>(c.width * c.height * 3));
        int differing = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                const Uint8* b = pixel_at(bmp.get(), x, y);  // blue first
                const Uint8* p = &png[(y * c.width + x) * 3];
                if (p[0] != b[2] || p[1] != b[1] || p[2] != b[0]) ++differing;
            }
        EXPECT_EQ(differing, 0);
    }
}

TEST_F(ShotTool, ReadsTheTokensFromStandardInputWhenNoneAreGiven) {
    ASSERT_EQ(run_shot("given.bmp 61 62 74 63").status, 0);
    ASSERT_EQ(run_shot("read.bmp", "61 62\n74\t63\n").status, 0);
    EXPECT_TRUE(file_text("given.bmp") == file_text("read.bmp"));
}

TEST_F(ShotTool, BadArgumentsExitWithTwoAndWriteNothing) {
    std::remove("bad.bmp");
    Finished run = run_shot("bad.bmp 61 x7 63");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("'x7'"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;

    run = run_shot("bad.bmp", "61 1,2,3");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("'1,2,3'"), std::string::npos) << run.err;

    EXPECT_EQ(run_shot("--sideways bad.bmp 61").status, 2);
    EXPECT_EQ(run_shot("").status, 2);
    EXPECT_FALSE(file_exists("bad.bmp"));
}

// The 16-digit entry and the 21-character exponent entry, drawn at 24 and 20
// points: the whole ink of the line, as wide as the line's ink at that size,
// between the user's left edge and 10 px from the right one.
TEST_F(ShotTool, LongEntriesShowEveryCharacterInsideTheDisplay) {
    struct Case {
        const char* tokens;
        const char* line;
        int points;
    };
    const Case cases[] = {
        {"61 62 63 51 52 53 41 42 43 71 61 62 63 51 52 53", " 1234567890123456", 24},
        {"61 62 63 51 52 53 41 42 43 71 61 62 63 51 52 53 82 73 53 62", " 1234567890123456E-62", 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const Finished run = run_shot(std::string("--upright long.bmp ") + c.tokens);
        ASSERT_EQ(run.status, 0) << run.err;
        Surface shot(SDL_LoadBMP("long.bmp"));
        ASSERT_TRUE(shot);
        ASSERT_EQ(shot->format->BytesPerPixel, 3);
        auto pixel = [&](int x, int y) {
            const Uint8* p = pixel_at(shot.get(), x, y);
            return std::string(reinterpret_cast<const char*>(p), 3);
        };
        const std::string keypad = pixel(120, 200);  // the plain keypad picture
        Box ink;  // in the number line's rows of the upright picture
        for (int y = 28; y < 87; ++y)
            for (int x = 0; x < shot->w; ++x)
                if (pixel(x, y) != keypad) ink.add(x, y);
        const Font font = font_at(c.points);
        const Box line_ink = upright_text(font.get(), c.line, screen_->format).ink;
        EXPECT_GT(ink.left, 0);
        EXPECT_LE(ink.right, 239 - 10);
        EXPECT_EQ(ink.right - ink.left, line_ink.right - line_ink.left);
    }
}

TEST_F(ShotTool, FontThatRendersNoInkIsAnError) {
    const std::string whole = file_text(font_path_);
    ASSERT_EQ(std::remove("tarno/arial.ttf"), 0);
    {
        std::ofstream cut("tarno/arial.ttf", std::ios::binary);
        cut << whole.substr(0, whole.size() / 2);
    }
    std::remove("cut.bmp");
    const Finished run = run_shot("cut.bmp 61");
    ASSERT_EQ(std::remove("tarno/arial.ttf"), 0);
    ASSERT_EQ(symlink(font_path_.c_str(), "tarno/arial.ttf"), 0);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tarno-shot: couldn't open tarno/arial.ttf: it renders no ink\n");
    EXPECT_FALSE(file_exists("cut.bmp"));
}

TEST_F(ShotTool, MissingOrBrokenKeypadPictureIsAnError) {
    struct Case {
        const char* what;
        const char* picture;
        const char* content;  // null: no file at all
        const char* tokens;
    };
    const Case cases[] = {
        {"missing", "tarno/tarno.bmp", nullptr, "61"},
        {"not a BMP, shown while shifted", "tarno/tarno9.bmp", "not a picture", "15"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string kept = file_text(c.picture);
        ASSERT_EQ(std::remove(c.picture), 0);
        if (c.content != nullptr) std::ofstream(c.picture, std::ios::binary) << c.content;
        const Finished run = run_shot(std::string("shot.bmp ") + c.tokens);
        std::ofstream(c.picture, std::ios::binary) << kept;
        EXPECT_EQ(run.status, 1);
        const std::string start = std::string("tarno-shot: couldn't load ") + c.picture + ": ";
        EXPECT_EQ(run.err.substr(0, start.size()), start) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
        EXPECT_FALSE(file_exists("shot.bmp"));
    }
}

TEST_F(ShotTool, StandardInputThatCannotBeReadIsAnError) {
    const Finished run = tarno_test::run(in_shell("exec \"$@\" < /", {TARNO_SHOT_PATH, "read.bmp"}));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tarno-shot: couldn't read standard input: Is a directory\n");
    EXPECT_FALSE(file_exists("read.bmp"));
}

// The names in folder, sorted.
std::vector<std::string> names_in(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    for (dirent* entry; dir != nullptr && (entry = readdir(dir)) != nullptr;) names.emplace_back(entry->d_name);
    if (dir != nullptr) closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// A file size limit far below a picture's size cuts the writing short.
TEST_F(ShotTool, PictureCutShortLeavesTheFolderAsItWas) {
    std::ofstream("old.bmp") << "the picture before";
    for (const char* name : {"old.bmp", "new.bmp"}) {
        SCOPED_TRACE(name);
        const std::vector<std::string> before = names_in(".");
        const Finished run = tarno_test::run(in_shell("trap '' XFSZ; ulimit -f 5; exec \"$@\"", {TARNO_SHOT_PATH, name, "61"}));
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, std::string("tarno-shot: couldn't write ") + name + ": File too large\n");
        EXPECT_EQ(names_in("."), before);
    }
    EXPECT_EQ(file_text("old.bmp"), "the picture before");
}

TEST_F(ShotTool, LinkedOutputGoesWhereTheLinkLeadsAndTheLinkStays) {
    ASSERT_EQ(run_shot("direct.bmp 61").status, 0);
    std::ofstream("real.bmp") << "the picture before";
    struct Case {
        const char* link;
        const char* target;
        int status;
        const char* picture;  // where the picture lands, if anywhere
    };
    const Case cases[] = {
        {"full.bmp", "/dev/full", 1, nullptr},
        {"null.bmp", "/dev/null", 0, nullptr},
        {"regular.bmp", "real.bmp", 0, "real.bmp"},
        {"ahead.bmp", "tarno/later.bmp", 0, "tarno/later.bmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        ASSERT_EQ(symlink(c.target, c.link), 0);
        const Finished run = run_shot(std::string(c.link) + " 61");
        EXPECT_EQ(run.status, c.status) << run.err;
        char target[PATH_MAX] = {};
        EXPECT_GT(readlink(c.link, target, sizeof target - 1), 0);
        EXPECT_STREQ(target, c.target);
        if (c.picture != nullptr) {
            EXPECT_TRUE(file_text(c.picture) == file_text("direct.bmp"));
        }
    }
}

// The test's standard output is a pipe: /dev/stdout and /proc/self/fd/1 lead
// there through links whose targets ("pipe:[...]") name no file.
TEST_F(ShotTool, PictureGoesIntoThePipeThatStandardOutputIs) {
    ASSERT_EQ(run_shot("--upright direct.bmp 61").status, 0);
    ASSERT_EQ(symlink("/dev/stdout", "linked.bmp"), 0);
    for (const char* path : {"/dev/stdout", "/proc/self/fd/1", "linked.bmp"}) {
        SCOPED_TRACE(path);
        const Finished run = run_shot(std::string("--upright ") + path + " 61");
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        EXPECT_TRUE(run.out == file_text("direct.bmp")) << run.out.size() << " bytes";
    }
}

TEST_F(ShotTool, OutputPathIsShownWholeAndPrintable) {
    const std::string name = "\x1b]0;" + std::string(50, 'x') + "\a.bmp";
    const Finished run = tarno_test::run({{TARNO_SHOT_PATH, "no-folder/" + name, "61"}});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tarno-shot: couldn't write no-folder/\\x1b]0;" + std::string(50, 'x') +
                           "\\x07.bmp: No such file or directory\n");
}

}  // namespace
