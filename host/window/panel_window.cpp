#include "panel_window.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "window_placement.h"

namespace panel::window {

using frontend::InputEvent;
using frontend::KeyAction;
namespace {

// The cockpit's keys: what each does, the keys that do it, and the characters typed that do it
// too (for keys whose place differs between keyboard layouts).
struct Binding {
    KeyAction action;
    const char* keys;
    const char* meaning;
    SDL_Keycode first, second;
    char typed;
};

constexpr Binding bindings[] = {
    {KeyAction::heading_left, "Left", "turn 10 degrees left", SDLK_LEFT, SDLK_UNKNOWN, 0},
    {KeyAction::heading_right, "Right", "turn 10 degrees right", SDLK_RIGHT, SDLK_UNKNOWN, 0},
    {KeyAction::climb, "Up", "aim 500 ft higher", SDLK_UP, SDLK_UNKNOWN, 0},
    {KeyAction::descend, "Down", "aim 500 ft lower", SDLK_DOWN, SDLK_UNKNOWN, 0},
    {KeyAction::faster_aircraft, "+", "fly 10 kt faster", SDLK_UNKNOWN, SDLK_UNKNOWN, '+'},
    {KeyAction::slower_aircraft, "-", "fly 10 kt slower", SDLK_UNKNOWN, SDLK_UNKNOWN, '-'},
    {KeyAction::pause, "Space or P", "pause, or go on", SDLK_SPACE, SDLK_p, 0},
    {KeyAction::faster_time, "]", "time twice as fast (up to 16x)", SDLK_RIGHTBRACKET, SDLK_UNKNOWN, 0},
    {KeyAction::slower_time, "[", "time half as fast (down to 1/4)", SDLK_LEFTBRACKET, SDLK_UNKNOWN, 0},
    {KeyAction::supply, "S", "avionics supply off, or on again", SDLK_s, SDLK_UNKNOWN, 0},
    {KeyAction::night, "N", "night lighting on or off", SDLK_n, SDLK_UNKNOWN, 0},
    {KeyAction::screenshot, "F12", "save a screenshot, named by the time", SDLK_F12, SDLK_PRINTSCREEN, 0},
    {KeyAction::full_screen, "F11", "full screen on or off", SDLK_F11, SDLK_UNKNOWN, 0},
    {KeyAction::help, "F1 or ?", "show these keys", SDLK_F1, SDLK_UNKNOWN, '?'},
    {KeyAction::quit, "Esc or Q", "quit", SDLK_ESCAPE, SDLK_q, 0},
};

// A turning arrow a quarter of a circle long, white with a dark edge, for the halves of knobs
// and the positions of switches; `clockwise` for the right-hand ones.
SDL_Cursor* turn_cursor(bool clockwise) {
    constexpr int size = 24;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
    cairo_t* cr = cairo_create(surface);
    const double centre = size / 2.0, radius = 7.5;
    const double from = clockwise ? -2.6 : -0.55, to = clockwise ? -0.55 : -2.6;
    const double end_x = centre + radius * std::cos(to), end_y = centre + radius * std::sin(to);
    const double dx = clockwise ? 1.0 : -1.0;  // the arrowhead points on along the turn
    for (int pass = 0; pass < 2; ++pass) {
        cairo_set_line_width(cr, pass == 0 ? 5.0 : 2.5);
        if (pass == 0) cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
        else cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_new_path(cr);
        if (clockwise) cairo_arc(cr, centre, centre, radius, from, to);
        else cairo_arc_negative(cr, centre, centre, radius, from, to);
        cairo_stroke(cr);
        cairo_move_to(cr, end_x + 4.5 * dx, end_y + 5.0);
        cairo_line_to(cr, end_x + 3.0 * dx, end_y - 3.5);
        cairo_line_to(cr, end_x - 4.5 * dx, end_y - 1.0);
        cairo_close_path(cr);
        cairo_fill_preserve(cr);
        cairo_stroke(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    SDL_Surface* image =
        SDL_CreateRGBSurfaceWithFormatFrom(cairo_image_surface_get_data(surface), size, size, 32,
                                           cairo_image_surface_get_stride(surface), SDL_PIXELFORMAT_ARGB8888);
    SDL_Cursor* cursor = image ? SDL_CreateColorCursor(image, size / 2, size / 2) : nullptr;
    if (image) SDL_FreeSurface(image);
    cairo_surface_destroy(surface);
    return cursor;
}

}  // namespace

std::vector<KeyHelp> key_help() {
    std::vector<KeyHelp> help;
    for (const Binding& binding : bindings) help.push_back({binding.keys, binding.meaning});
    return help;
}

struct PanelWindow::Sdl {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    SDL_Cursor* arrow = nullptr;
    SDL_Cursor* hand = nullptr;
    SDL_Cursor* turn_right = nullptr;
    SDL_Cursor* turn_left = nullptr;

    ~Sdl() {
        for (SDL_Cursor* cursor : {arrow, hand, turn_right, turn_left}) {
            if (cursor) SDL_FreeCursor(cursor);
        }
        if (texture) SDL_DestroyTexture(texture);
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
};

PanelWindow::PanelWindow(const std::string& title, int width, int height, const WindowSettings& settings,
                         std::optional<int> display, std::optional<Crop> crop)
    : width_(width),
      height_(height),
      crop_(crop.value_or(Crop{0, 0, width, height, height, 0})),
      shown_width_(std::max(1, crop_.width)),
      shown_height_(std::max(1, crop_.height + crop_.status_height)) {
    // Without a display SDL would open an invisible off-screen window and fly on unseen.
    auto given = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    const bool asked = given("SDL_VIDEODRIVER");
    if (!asked && !given("DISPLAY") && !given("WAYLAND_DISPLAY")) {
        throw WindowError("cannot open a window: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)");
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        throw WindowError(std::string("cannot open a window (") + SDL_GetError() + "); is a display running?");
    }
    sdl_ = std::make_unique<Sdl>();
    const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    if (!asked && (driver == "offscreen" || driver == "dummy")) {
        throw WindowError("cannot open a window: no display answers (SDL found only its " + driver + " driver)");
    }
    const int displays = SDL_GetNumVideoDisplays();
    if (display && (*display < 0 || *display >= displays)) {
        throw WindowError("there is no display " + std::to_string(*display) + " (displays 0 to " +
                          std::to_string(displays - 1) + ")");
    }
    std::vector<ScreenRect> screens;
    for (int i = 0; i < displays; ++i) {
        SDL_Rect bounds{};
        if (SDL_GetDisplayUsableBounds(i, &bounds) != 0) SDL_GetDisplayBounds(i, &bounds);
        screens.push_back({bounds.x, bounds.y, bounds.w, bounds.h});
    }
    const WindowPlacement place = place_window(settings, shown_width_, shown_height_, display, screens);
    const int x = place.centred ? static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(place.display)) : place.x;
    const int y = place.centred ? static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(place.display)) : place.y;
    sdl_->window = SDL_CreateWindow(title.c_str(), x, y, place.width, place.height,
                                    SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!sdl_->window) throw WindowError(std::string("cannot open a window (") + SDL_GetError() + ")");
    SDL_SetWindowMinimumSize(sdl_->window, std::max(shown_width_ / 4, 80), std::max(shown_height_ / 4, 40));
    sdl_->renderer = SDL_CreateRenderer(sdl_->window, -1, SDL_RENDERER_PRESENTVSYNC);
    if (!sdl_->renderer) sdl_->renderer = SDL_CreateRenderer(sdl_->window, -1, SDL_RENDERER_SOFTWARE);
    if (!sdl_->renderer) throw WindowError(std::string("cannot draw into the window (") + SDL_GetError() + ")");
    // Scaled smoothly, not in blocks.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    sdl_->texture =
        SDL_CreateTexture(sdl_->renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!sdl_->texture) throw WindowError(std::string("cannot draw into the window (") + SDL_GetError() + ")");
    sdl_->arrow = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    sdl_->hand = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
    sdl_->turn_right = turn_cursor(true);
    sdl_->turn_left = turn_cursor(false);
    if (settings.full_screen) toggle_full_screen();
    SDL_StartTextInput();
}

PanelWindow::~PanelWindow() = default;

void PanelWindow::present(cairo_surface_t* picture) {
    cairo_surface_flush(picture);
    SDL_UpdateTexture(sdl_->texture, nullptr, cairo_image_surface_get_data(picture),
                      cairo_image_surface_get_stride(picture));
    int out_width = 0, out_height = 0;
    SDL_GetRendererOutputSize(sdl_->renderer, &out_width, &out_height);
    // The picture as large as the window allows, its proportions kept, centred: its window's
    // rows, then the status lines under them.
    const double scale = std::min(double(out_width) / shown_width_, double(out_height) / shown_height_);
    const int left = static_cast<int>(std::lround((out_width - shown_width_ * scale) / 2));
    const int top = static_cast<int>(std::lround((out_height - shown_height_ * scale) / 2));
    const int split = static_cast<int>(std::lround(crop_.height * scale));
    const int across = std::max(1, static_cast<int>(std::lround(shown_width_ * scale)));
    SDL_SetRenderDrawColor(sdl_->renderer, 0, 0, 0, 255);
    SDL_RenderClear(sdl_->renderer);
    const SDL_Rect panel_rows{crop_.x, crop_.y, crop_.width, crop_.height};
    const SDL_Rect panel_place{left, top, across, std::max(1, split)};
    SDL_RenderCopy(sdl_->renderer, sdl_->texture, &panel_rows, &panel_place);
    if (crop_.status_height > 0) {
        const SDL_Rect status_rows{0, crop_.status_y, std::min(crop_.width, width_), crop_.status_height};
        const int status_across = static_cast<int>(std::lround(status_rows.w * scale));
        const SDL_Rect status_place{left, top + split, std::max(1, status_across),
                                    std::max(1, static_cast<int>(std::lround(shown_height_ * scale)) - split)};
        SDL_RenderCopy(sdl_->renderer, sdl_->texture, &status_rows, &status_place);
    }
    SDL_RenderPresent(sdl_->renderer);
}

std::optional<std::pair<double, double>> PanelWindow::to_picture(int x, int y) const {
    int window_width = 0, window_height = 0;
    SDL_GetWindowSize(sdl_->window, &window_width, &window_height);
    if (window_width <= 0 || window_height <= 0) return std::nullopt;
    const double scale = std::min(double(window_width) / shown_width_, double(window_height) / shown_height_);
    const double left = (window_width - shown_width_ * scale) / 2, top = (window_height - shown_height_ * scale) / 2;
    const double px = (x + 0.5 - left) / scale, py = (y + 0.5 - top) / scale;
    if (px < 0 || py < 0 || px >= shown_width_ || py >= shown_height_) return std::nullopt;
    if (py < crop_.height) return std::pair{crop_.x + px, crop_.y + py};
    return std::pair{px, crop_.status_y + py - crop_.height};
}

void PanelWindow::translate(const SDL_Event& event, frontend::InputQueue& input, frontend::FrontEnd* from) {
    const uint32_t mine = id();
    auto mapped = [&](int x, int y, auto report) {
        if (auto point = to_picture(x, y)) input.push(report(point->first, point->second));
    };
    switch (event.type) {
        case SDL_QUIT: input.push(InputEvent::closed(from)); break;
        case SDL_WINDOWEVENT:
            if (event.window.windowID == mine && event.window.event == SDL_WINDOWEVENT_CLOSE) {
                input.push(InputEvent::closed(from));
            }
            break;
        case SDL_KEYDOWN:
            if (event.key.windowID != mine || event.key.keysym.sym == SDLK_UNKNOWN) break;
            for (const Binding& binding : bindings) {
                if (event.key.keysym.sym == binding.first || event.key.keysym.sym == binding.second) {
                    input.push(InputEvent::pressed(binding.action, from));
                }
            }
            break;
        case SDL_TEXTINPUT:
            if (event.text.windowID != mine) break;
            for (const Binding& binding : bindings) {
                if (binding.typed != 0 && event.text.text[0] == binding.typed && event.text.text[1] == '\0') {
                    input.push(InputEvent::pressed(binding.action, from));
                }
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.windowID != mine || event.button.button != SDL_BUTTON_LEFT) break;
            mapped(event.button.x, event.button.y, [&](double x, double y) { return InputEvent::click(x, y, from); });
            break;
        case SDL_MOUSEWHEEL: {
            if (event.wheel.windowID != mine) break;
            int x = 0, y = 0;
            SDL_GetMouseState(&x, &y);
            const int notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
            if (notches != 0) {
                mapped(x, y, [&](double px, double py) { return InputEvent::wheel(px, py, notches, from); });
            }
            break;
        }
        case SDL_MOUSEMOTION:
            if (event.motion.windowID != mine) break;
            if (to_picture(event.motion.x, event.motion.y)) {
                mapped(event.motion.x, event.motion.y,
                       [&](double x, double y) { return InputEvent::hover(x, y, from); });
            } else {
                set_cursor(CursorShape::arrow);
            }
            break;
        default: break;
    }
}

void PanelWindow::set_cursor(CursorShape shape) {
    if (shape == cursor_) return;
    cursor_ = shape;
    SDL_Cursor* cursor = sdl_->arrow;
    if (shape == CursorShape::push) cursor = sdl_->hand;
    if (shape == CursorShape::turn_right && sdl_->turn_right) cursor = sdl_->turn_right;
    if (shape == CursorShape::turn_left && sdl_->turn_left) cursor = sdl_->turn_left;
    if (cursor) SDL_SetCursor(cursor);
}

void PanelWindow::toggle_full_screen() {
    full_screen_ = !full_screen_;
    SDL_SetWindowFullscreen(sdl_->window, full_screen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}

void PanelWindow::hide() {
    SDL_HideWindow(sdl_->window);
}

uint32_t PanelWindow::id() const {
    return SDL_GetWindowID(sdl_->window);
}

WindowSettings PanelWindow::settings() const {
    WindowSettings settings;
    settings.full_screen = full_screen_;
    settings.display = std::max(0, SDL_GetWindowDisplayIndex(sdl_->window));
    if (!full_screen_) {
        SDL_GetWindowPosition(sdl_->window, &settings.x, &settings.y);
        SDL_GetWindowSize(sdl_->window, &settings.width, &settings.height);
        settings.placed = true;
    }
    return settings;
}

}  // namespace panel::window
