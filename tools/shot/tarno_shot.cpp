// tarno-shot [--upright] OUT.bmp|OUT.png TOKEN...
//
// Runs key codes and taps (the tokens of tarno-keys) through the calculator
// from power-on, draws the screen as the calculator would, with its font and
// keypad pictures from tarno/ below the working directory, and saves it as a
// PNG when the file name ends in ".png", a BMP otherwise: 320 x 240 as the
// hardware holds it, or with --upright 240 x 320 as the user sees the
// console. With no tokens in the arguments they are read from standard
// input. Needs no display: SDL's dummy video driver draws.
//
// A picture that could not be drawn as asked (no font, no keypad picture)
// is an error, status 1, and so is a read error on standard input; a bad
// token or argument gives status 2. Either way no file is written. A regular
// file at OUT is replaced only by a whole picture; a device or a pipe at OUT
// is written into.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "display.h"
#include "encode.h"
#include "shell.h"
#include "tokens.h"

namespace {

constexpr const char* USAGE = "usage: tarno-shot [--upright] OUT.bmp|OUT.png TOKEN...";

struct Request {
    bool upright = false;
    std::string out_path;
    std::vector<std::string> words;  // the tokens given as arguments
};

// Reads the command line; false after a one-line complaint on standard error.
bool read_request(int argc, char** argv, Request& request) {
    int i = 1;
    for (; i < argc && tarno::looks_like_option(argv[i]); ++i) {
        if (std::string(argv[i]) != "--upright") {
            std::fprintf(stderr, "tarno-shot: unknown option '%s' (%s)\n", tarno::shown_argument(argv[i]).c_str(), USAGE);
            return false;
        }
        request.upright = true;
    }
    if (i == argc) {
        std::fprintf(stderr, "tarno-shot: no output file (%s)\n", USAGE);
        return false;
    }
    request.out_path = argv[i++];
    request.words.assign(argv + i, argv + argc);
    return true;
}

// The screen as the user sees the console: a new surface, turned a quarter
// turn clockwise.
SDL_Surface* turn_upright(SDL_Surface* screen) {
    const SDL_PixelFormat* f = screen->format;
    SDL_Surface* upright = SDL_CreateRGBSurface(SDL_SWSURFACE, screen->h, screen->w, f->BitsPerPixel, f->Rmask,
                                                f->Gmask, f->Bmask, f->Amask);
    tarno::turn_clockwise(screen, upright, 1);
    return upright;
}

bool names_png(const std::string& path) {
    const std::string suffix = ".png";
    return path.size() >= suffix.size() && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Writes picture as a PNG or a BMP, as its file name asks; false with the
// reason in error.
bool write_picture(SDL_Surface* picture, const std::string& path, std::string& error) {
    std::vector<Uint8> bytes;
    const bool encoded = names_png(path) ? tarno_shot::encode_png(picture, bytes, error)
                                         : tarno_shot::encode_bmp(picture, bytes, error);
    return encoded && tarno::write_file(path, {reinterpret_cast<const char*>(bytes.data()), bytes.size()},
                                        tarno::Reader::WAIT, error);
}

// Saves the screen, turned upright when asked; false after a complaint.
bool save_picture(SDL_Surface* screen, const Request& request) {
    SDL_Surface* picture = request.upright ? turn_upright(screen) : screen;
    std::string error = picture == nullptr ? SDL_GetError() : "";
    const bool saved = picture != nullptr && write_picture(picture, request.out_path, error);
    if (!saved)
        std::fprintf(stderr, "tarno-shot: couldn't write %s: %s\n",
                     tarno::shown_argument(request.out_path, tarno::WHOLE).c_str(), error.c_str());
    if (picture != screen) SDL_FreeSurface(picture);
    return saved;
}

// Whether the keypad picture that state shows can be loaded: a screen whose
// keypad is missing is no picture of the calculator. A complaint when not.
bool keypad_picture_loads(const tarno::CalcState& state) {
    const char* path = tarno::screen_texts(state).keypad_picture;
    SDL_Surface* picture = tarno::load_keypad_picture(path);
    if (picture == nullptr) {
        std::fprintf(stderr, "tarno-shot: couldn't load %s: %s\n", path, SDL_GetError());
        return false;
    }
    SDL_FreeSurface(picture);
    return true;
}

// Draws the screen for the calculator's present state and saves it.
bool shoot(const Request& request) {
    SDL_Surface* screen = SDL_SetVideoMode(tarno::SCREEN_WIDTH, tarno::SCREEN_HEIGHT, tarno::SCREEN_BITS, 0);
    if (screen == nullptr) {
        std::fprintf(stderr, "tarno-shot: couldn't set the video mode: %s\n", SDL_GetError());
        return false;
    }
    // Unlike the calculator, which draws on without a font, a shot without
    // its texts is no use: a missing font is an error here.
    tarno::Fonts fonts = tarno::open_fonts(tarno::FONT_FILE, nullptr);
    bool shot = false;
    if (fonts.font_large == nullptr || fonts.font_small == nullptr) {
        std::fprintf(stderr, "tarno-shot: couldn't open %s: %s\n", tarno::FONT_FILE, SDL_GetError());
    } else if (keypad_picture_loads(tarno::read_only_calc_state())) {
        tarno::redraw_screen(screen, fonts, tarno::read_only_calc_state());
        shot = save_picture(screen, request);
    }
    tarno::close_fonts(fonts);
    return shot;
}

}  // namespace

int main(int argc, char** argv) {
    tarno::keep_standard_streams_open();
    Request request;
    if (!read_request(argc, argv, request)) return 2;

    tarno::TokenReader reader("tarno-shot", request.words);
    tarno::power_on();
    tarno::Token token;
    while (reader.next(token)) tarno::run_token(token);
    if (reader.status() != 0) return reader.status();

    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        std::fprintf(stderr, "tarno-shot: couldn't initialise SDL: %s\n", SDL_GetError());
        return 1;
    }
    bool shot = false;
    if (TTF_Init() < 0)
        std::fprintf(stderr, "tarno-shot: couldn't initialise SDL_ttf: %s\n", TTF_GetError());
    else
        shot = shoot(request);
    TTF_Quit();
    SDL_Quit();
    return shot ? 0 : 1;
}
