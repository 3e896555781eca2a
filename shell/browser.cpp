// The calculator in a web browser: its backend and its sound, and the entry
// points through which the page hands in pointers, typed keys and pastes. The page's
// script only moves pixels, events and sound; everything the calculator
// does is the shell's own code, driven by the browser's frame callback.
//
// Sections: the page's side; the screen and presses; the sound; the
// program.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "backend.h"
#include "browser_page.h"
#include "click_file.h"
#include "input.h"
#include "keyboard.h"
#include "lifecycle.h"
#include "loop.h"

// --- The page's side ---

// Puts the upright calculator, 240 x 320 RGBA bytes at pixels, on the canvas.
EM_JS(void, page_show, (const unsigned char* pixels, int width, int height), {
    Module.tarnoShow(HEAPU8.subarray(pixels, pixels + width * height * 4), width, height);
});

// Decodes the click's bytes for Web Audio; false when the browser has no Web Audio.
EM_JS(int, page_load_click, (const unsigned char* bytes, int length), {
    return Module.tarnoLoadClick(HEAPU8.slice(bytes, bytes + length)) ? 1 : 0;
});

// Starts the click once, if the browser lets the page sound.
EM_JS(void, page_play_click, (int volume), { Module.tarnoPlayClick(volume); });

// Puts text on the system's clipboard.
EM_JS(void, page_copy, (const char* text), { Module.tarnoCopy(UTF8ToString(text)); });

namespace tarno {

namespace {

// --- The screen and presses ---

// Keys of the DOM's KeyboardEvent.code that type no character of the
// keyboard table, or that the table knows by the key itself.
struct DomKey {
    const char* code;
    SDLKey key;
};

constexpr DomKey DOM_KEYS[] = {
    {"Numpad0", SDLK_KP0}, {"Numpad1", SDLK_KP1}, {"Numpad2", SDLK_KP2}, {"Numpad3", SDLK_KP3},
    {"Numpad4", SDLK_KP4}, {"Numpad5", SDLK_KP5}, {"Numpad6", SDLK_KP6}, {"Numpad7", SDLK_KP7},
    {"Numpad8", SDLK_KP8}, {"Numpad9", SDLK_KP9}, {"NumpadDecimal", SDLK_KP_PERIOD},
    {"NumpadAdd", SDLK_KP_PLUS}, {"NumpadSubtract", SDLK_KP_MINUS}, {"NumpadMultiply", SDLK_KP_MULTIPLY},
    {"NumpadDivide", SDLK_KP_DIVIDE}, {"NumpadEnter", SDLK_KP_ENTER}, {"Enter", SDLK_RETURN},
    {"Backspace", SDLK_BACKSPACE}, {"Escape", SDLK_ESCAPE}, {"Delete", SDLK_DELETE},
    {"ArrowUp", SDLK_UP}, {"ArrowDown", SDLK_DOWN}, {"ArrowLeft", SDLK_LEFT}, {"ArrowRight", SDLK_RIGHT},
    {"Space", SDLK_SPACE}, {"F9", SDLK_F9}, {"Insert", SDLK_INSERT},
};

// SDL's view of a key the page reports: the character it types (when the
// DOM's key is one character) and the key itself (a letter by the letter it
// types, as SDL names keys by the keyboard's layout; others by their place).
SDL_keysym keysym_of(const char* key, const char* code, bool ctrl, bool shift) {
    SDL_keysym keysym{};
    keysym.sym = SDLK_UNKNOWN;
    keysym.mod = static_cast<SDLMod>((ctrl ? KMOD_LCTRL : KMOD_NONE) | (shift ? KMOD_LSHIFT : KMOD_NONE));
    const std::size_t length = std::strlen(key);
    if (length == 1) keysym.unicode = static_cast<unsigned char>(key[0]);
    if (length == 1 && key[0] >= 'a' && key[0] <= 'z') keysym.sym = static_cast<SDLKey>(SDLK_a + (key[0] - 'a'));
    if (length == 1 && key[0] >= 'A' && key[0] <= 'Z') keysym.sym = static_cast<SDLKey>(SDLK_a + (key[0] - 'A'));
    for (const DomKey& dom : DOM_KEYS)
        if (std::strcmp(dom.code, code) == 0) keysym.sym = dom.key;
    return keysym;
}

class BrowserBackend final : public Backend {
public:
    SDL_Surface* open_screen() override {
        // SDL's dummy video driver, which SDL takes only when asked for by
        // name: the screen is a surface in memory, shown on the page's canvas.
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        if (SDL_Init(SDL_INIT_VIDEO) < 0) std::fputs("Couldn't initialize SDL", stderr);
        SDL_Surface* screen = SDL_SetVideoMode(SCREEN_WIDTH, SCREEN_HEIGHT, SCREEN_BITS, 0);
        if (!screen) {
            std::fputs("Couldn't set video mode", stderr);
            return nullptr;
        }
        const SDL_PixelFormat* f = screen->format;
        upright_ = SDL_CreateRGBSurface(SDL_SWSURFACE, SCREEN_HEIGHT, SCREEN_WIDTH, f->BitsPerPixel, f->Rmask,
                                        f->Gmask, f->Bmask, f->Amask);
        rgba_.resize(static_cast<std::size_t>(SCREEN_WIDTH) * SCREEN_HEIGHT);
        make_colours(f);
        return screen;
    }

    void show(SDL_Surface* screen) override {
        if (upright_ == nullptr) return;
        turn_clockwise(screen, upright_, 1);
        to_rgba(upright_);
        page_show(reinterpret_cast<const unsigned char*>(rgba_.data()), upright_->w, upright_->h);
    }

    void sdl_event(const SDL_Event&) override {}  // the page hands its input in itself
    void copy(const std::string& text) override { page_copy(text.c_str()); }
    void pause_idle() override {}  // the browser calls each frame when it is due
    void restore_kept() override { restore_page_kept(); }
    void keep() override { keep_in_page(); }

private:
    // The canvas's bytes from a 16-bit picture, a pixel at a time through
    // the table of its colours.
    void to_rgba(SDL_Surface* picture) {
        SDL_LockSurface(picture);
        Uint32* out = rgba_.data();
        for (int y = 0; y < picture->h; ++y) {
            const auto* row = reinterpret_cast<const Uint16*>(static_cast<const Uint8*>(picture->pixels) + y * picture->pitch);
            for (int x = 0; x < picture->w; ++x) *out++ = colours_[row[x]];
        }
        SDL_UnlockSurface(picture);
    }

    // Every 16-bit colour of format as the canvas's four bytes (red, green,
    // blue, opaque), each channel's bits moved to the top of its byte, as
    // SDL widens them when it saves a picture: the colours of tarno-shot's
    // files.
    void make_colours(const SDL_PixelFormat* f) {
        colours_.resize(1 << 16);
        for (Uint32 p = 0; p < colours_.size(); ++p) {
            const Uint32 r = (p & f->Rmask) >> f->Rshift << f->Rloss, g = (p & f->Gmask) >> f->Gshift << f->Gloss,
                         b = (p & f->Bmask) >> f->Bshift << f->Bloss;
            colours_[p] = r | g << 8 | b << 16 | 0xFF000000u;  // little-endian: red first, alpha last
        }
    }

    SDL_Surface* upright_ = nullptr;     // the screen turned upright, 16 bits
    std::vector<Uint32> rgba_;           // the canvas's bytes, a pixel at a time
    std::vector<Uint32> colours_;        // the canvas's pixel for each 16-bit one
};

BrowserBackend browser_backend;

// --- The sound ---

// Web Audio has no channels: the click plays on "channel" 0, and the last
// click is not waited for at the end, since the page lets it sound on.
class BrowserSound final : public Sound {
public:
    void open() override {
        SDL_RWops* stream = open_click_file(CLICK_FILE);
        if (stream == nullptr) {
            std::fprintf(stderr, "Unable to load WAV file: %s\n", SDL_GetError());
            return;
        }
        std::vector<unsigned char> bytes;
        unsigned char block[4096];
        for (int n; (n = SDL_RWread(stream, block, 1, sizeof block)) > 0;) bytes.insert(bytes.end(), block, block + n);
        SDL_RWclose(stream);
        loaded_ = page_load_click(bytes.data(), static_cast<int>(bytes.size())) != 0;
        if (!loaded_) std::fprintf(stderr, "Unable to initialize audio: %s\n", "this browser has no Web Audio");
    }
    int play_click() override {
        if (!loaded_) {
            SDL_SetError("Tried to play a NULL chunk");  // as SDL_mixer says it without a click
            return -1;
        }
        page_play_click(volume_);
        return 0;
    }
    int volume() override { return volume_; }
    void set_volume(int volume) override { volume_ = volume; }
    bool playing(int) override { return false; }
    void close() override { loaded_ = false; }

private:
    bool loaded_ = false;
    int volume_ = MAX_VOLUME;
};

BrowserSound browser_sound;

// --- The program ---

// One pass; then, with nothing done, the frames rest until the page has
// input again (which the page hands in at once, between frames).
void frame() { after_pass(!run_pass()); }

}  // namespace

}  // namespace tarno

extern "C" {

// What a pointer did (POINTER_DOWN, _MOVE, _UP, _CANCEL of InputEvent, in
// that order, 0 to 3) at (x, y) on the upright calculator, in its pixels;
// pointer tells the mouse, each finger and each pen apart, and ALL_POINTERS
// cancels every one (the page lost the focus).
EMSCRIPTEN_KEEPALIVE void tarno_pointer(int pointer, int x, int y, int what) {
    if (what < tarno::InputEvent::POINTER_DOWN || what > tarno::InputEvent::POINTER_CANCEL) return;
    // The canvas shows the screen turned clockwise.
    tarno::handle_input(
        tarno::pointer_input(static_cast<tarno::InputEvent::Kind>(what), pointer, y, tarno::SCREEN_HEIGHT - 1 - x));
}

// A key pressed on the keyboard, as the DOM names it (KeyboardEvent.key and
// .code). Whether the calculator took it, so that the page keeps it from the
// browser; a paste is left to the browser, whose paste event brings the text.
EMSCRIPTEN_KEEPALIVE int tarno_key(const char* key, const char* code, int ctrl, int shift) {
    const SDL_keysym keysym = tarno::keysym_of(key, code, ctrl != 0, shift != 0);
    const tarno::TypedAction action = tarno::typed_action(keysym.unicode, keysym.sym, keysym.mod);
    if (action.kind == tarno::TypedAction::NOTHING || action.kind == tarno::TypedAction::PASTE) return 0;
    tarno::act_typed(action);
    return 1;
}

// Text pasted into the page, typed as the keyboard types it, or refused whole.
EMSCRIPTEN_KEEPALIVE void tarno_paste(const char* text) { tarno::paste_text(text); }

// Presses the keypad's key code (11 to 85, as the user sees the keypad) as a
// tap does; any other number does nothing. For the page's own buttons.
EMSCRIPTEN_KEEPALIVE void tarno_press(int key) {
    if (tarno::key_cell(key).w != 0) tarno::press_key(key);
}

}  // extern "C"

int main() {
    tarno::platform.sound = &tarno::browser_sound;
    tarno::platform.backend = &tarno::browser_backend;
    tarno::start_up();
    // One pass of the main loop at each of the browser's frames; main
    // itself never returns, as the native main loop does not: the program
    // ends only in the shutdown's exit, which the page sees.
    emscripten_set_main_loop(tarno::frame, 0, 1);
}
