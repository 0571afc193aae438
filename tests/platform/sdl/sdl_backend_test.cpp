// The SDL back end on a real SDL window, under SDL's "offscreen" video driver (a window in
// memory) and on an X server of the test's own, and its refusal to run where there is no display.
#include "platform/sdl/sdl_backend.h"

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>

#include "platform/gdi/cairo_handles.h"
#include "platform/sdl/presenter.h"
#include "platform/sdl/render_path.h"
#include "platform/sdl/window_manager.h"
#include "scoped_environment.h"
#include "sdl_event_builders.h"
#include "tests/platform/window/input_description.h"

// Last: Xlib's macros (None, Status) would rename names of the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace platform {
namespace {

using sdl::testing::ScopedEnvironment;
using testing::Describe;
using Lines = std::vector<std::string>;

// Device pixel (x, y) of the test pattern: a checkerboard of two strong colours, so that any
// blending of neighbours shows.
std::uint32_t PatternPixel(int x, int y) {
    return (x + y) % 2 == 0 ? 0xFF2000u : 0x00E0FFu;
}

// The window's pixels as last shown, 0x00RRGGBB: its renderer's when it has one, else its own.
struct Shown {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const { return pixels[y * width + x] & 0xFFFFFFu; }
    // How many pixels are not `expected(x, y)`.
    template <typename Expected>
    int Wrong(Expected expected) const {
        int wrong = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                wrong += At(x, y) != expected(x, y) ? 1 : 0;
            }
        }
        return wrong;
    }
};

Shown ShownIn(SDL_Window* window) {
    Shown shown;
    if (SDL_Renderer* renderer = SDL_GetRenderer(window)) {
        SDL_GetRendererOutputSize(renderer, &shown.width, &shown.height);
        shown.pixels.resize(static_cast<std::size_t>(shown.width) * shown.height);
        EXPECT_EQ(SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_RGB888,
                                       shown.pixels.data(), shown.width * 4),
                  0)
            << SDL_GetError();
        return shown;
    }
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (surface == nullptr) {
        ADD_FAILURE() << SDL_GetError();
        return shown;
    }
    EXPECT_EQ(surface->format->format, SDL_PIXELFORMAT_RGB888);
    shown.width = surface->w;
    shown.height = surface->h;
    for (int y = 0; y < surface->h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(
            static_cast<const unsigned char*>(surface->pixels) + y * surface->pitch);
        shown.pixels.insert(shown.pixels.end(), row, row + surface->w);
    }
    return shown;
}

// How many colour bytes at the middle of each device pixel, in a window showing the screen 2.5
// times, are more than 3 off the pattern's (a plain smooth scale is 10 % off there).
int CentresOff(const Shown& shown, ScreenSize device) {
    int wrong = 0;
    for (int y = 0; y < device.height; ++y) {
        for (int x = 0; x < device.width; ++x) {
            const std::uint32_t got =
                shown.At(static_cast<int>((x + 0.5) * 2.5), static_cast<int>((y + 0.5) * 2.5));
            for (int shift : {0, 8, 16}) {
                wrong += std::abs(static_cast<int>((got >> shift) & 0xFF) -
                                  static_cast<int>((PatternPixel(x, y) >> shift) & 0xFF)) > 3;
            }
        }
    }
    return wrong;
}

// All of a screen of `size`, as changed.
ScreenDamage AllOf(ScreenSize size) {
    ScreenDamage all(size.width, size.height);
    all.Add({0, 0, size.width, size.height});
    return all;
}

// The test pattern composed into a screen buffer, an image surface.
void PaintPattern(cairo_surface_t* buffer) {
    cairo_surface_flush(buffer);
    unsigned char* data = cairo_image_surface_get_data(buffer);
    for (int y = 0; y < cairo_image_surface_get_height(buffer); ++y) {
        auto* row =
            reinterpret_cast<std::uint32_t*>(data + y * cairo_image_surface_get_stride(buffer));
        for (int x = 0; x < cairo_image_surface_get_width(buffer); ++x) {
            row[x] = PatternPixel(x, y);
        }
    }
    cairo_surface_mark_dirty(buffer);
}

class SdlBackendTest : public ::testing::Test {
  protected:
    void SetUp() override { environment.Set("SDL_VIDEODRIVER", "offscreen"); }

    // Options of the test's screen at `scale`.
    SdlOptions At(int scale = 1) const {
        SdlOptions options;
        options.screen = device;
        options.scale = scale;
        return options;
    }

    // The back end with its window open: the tests use SDL directly too.
    std::unique_ptr<SdlBackend> Open(SdlOptions options) {
        std::string error;
        std::unique_ptr<SdlBackend> backend = SdlBackend::Create(options, &error);
        EXPECT_TRUE(backend && backend->Window() != nullptr) << error;
        return backend;
    }

    // Resizes the window and lets the back end see it.
    static void Resize(SdlBackend& backend, int width, int height) {
        SDL_SetWindowSize(backend.Window(), width, height);
        EXPECT_TRUE(backend.WaitForInput(backend.Now()).empty());
    }

    // Queues `events` as if they came from the system.
    static void Push(std::initializer_list<SDL_Event> events) {
        for (SDL_Event event : events) {
            ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
        }
    }

    ScopedEnvironment environment;
    const ScreenSize device{32, 40};
};

TEST_F(SdlBackendTest, AtOneToOneTheScreenIsComposedInTheWindowAndSurvivesResizes) {
    SdlOptions options = At();
    bool reported = false;
    options.firstFramePresented = [&] { reported = true; };
    auto backend = Open(options);
    ASSERT_TRUE(backend);
    cairo_surface_t* buffer = backend->ScreenBuffer();
    ASSERT_NE(buffer, nullptr);
    SDL_Surface* window = SDL_GetWindowSurface(backend->Window());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(cairo_image_surface_get_data(buffer), window->pixels)
        << "at one to one the window's own pixels are composed into";
    EXPECT_EQ(backend->ScreenBuffer(), buffer) << "the same image until it is presented";
    PaintPattern(buffer);
    backend->Present(AllOf(device));
    EXPECT_TRUE(reported);

    // Twice the size and wider: the picture composed in the old pixels is kept and scaled
    // crisp between black bars, 3 pixels left and 4 right (the odd one on the right); wider
    // still, with new pixels that hold something already (white); and back. The window's new
    // pixels get the whole screen at the next frame, even with nothing changed and before the
    // back end is told of the resize.
    for (const ScreenSize size : {ScreenSize{71, 80}, ScreenSize{75, 80}, ScreenSize{32, 40}}) {
        SDL_SetWindowSize(backend->Window(), size.width, size.height);
        if (size.width == 75) {  // not after one to one, whose old pixels are read at the resize
            SDL_FillRect(SDL_GetWindowSurface(backend->Window()), nullptr, 0xFFFFFF);
        }
        backend->Present(ScreenDamage(device.width, device.height));
        const Shown shown = ShownIn(backend->Window());
        ASSERT_EQ(shown.width, size.width);
        const int factor = size.height / device.height;
        const int bar = (size.width - factor * device.width) / 2;
        EXPECT_EQ(shown.Wrong([&](int x, int y) {
            const int inside = x - bar;
            return inside < 0 || inside >= factor * device.width
                       ? 0u
                       : PatternPixel(inside / factor, y / factor);
        }),
                  0)
            << "at " << size.width << " x " << size.height;
    }
    // Composed again at one to one, into the new pixels, a part changed: shown.
    buffer = backend->ScreenBuffer();
    ASSERT_EQ(cairo_image_surface_get_data(buffer),
              SDL_GetWindowSurface(backend->Window())->pixels);
    ScreenDamage changed(device.width, device.height);
    {
        CairoPtr cr(cairo_create(buffer));
        cairo_set_source_rgb(cr.get(), 1, 1, 1);
        cairo_rectangle(cr.get(), 4, 5, 3, 2);
        cairo_fill(cr.get());
    }
    changed.Add({4, 5, 7, 7});
    backend->Present(changed);
    const Shown shown = ShownIn(backend->Window());
    EXPECT_EQ(shown.At(5, 6), 0xFFFFFFu);
    EXPECT_EQ(shown.At(8, 6), PatternPixel(8, 6));
}

TEST_F(SdlBackendTest, TheWindowStaysHiddenUntilTheProgramShowsOne) {
    auto hidden = [](SdlBackend& backend) {
        return (SDL_GetWindowFlags(backend.Window()) & SDL_WINDOW_HIDDEN) != 0;
    };
    auto backend = Open(At());
    ASSERT_TRUE(backend);
    EXPECT_TRUE(hidden(*backend)) << "a program that leaves at once never shows";
    backend->ShowScreen();
    EXPECT_TRUE(backend->WaitForInput(backend->Now()).empty());
    EXPECT_FALSE(hidden(*backend));
    // Black until the program's first screen, an expose meanwhile included.
    auto black = [](SdlBackend& shown) {
        const Shown pixels = ShownIn(shown.Window());
        return !pixels.pixels.empty() && pixels.Wrong([](int, int) { return 0u; }) == 0;
    };
    EXPECT_TRUE(black(*backend));
    SDL_Event expose = sdl::testing::WindowEvent(SDL_WINDOWEVENT_EXPOSED);
    expose.window.windowID = SDL_GetWindowID(backend->Window());
    Push({expose});
    EXPECT_TRUE(backend->WaitForInput(backend->Now()).empty());
    EXPECT_TRUE(black(*backend));
}

// The path for a display with a GPU: SDL's renderer scales the screen. Tried here with SDL's
// software renderer, named as SDL_RENDER_DRIVER would name a GPU's.
TEST_F(SdlBackendTest, ARendererScalesCrispAtWholeFactorsAndKeepsCentresBetweenThem) {
    std::string error;
    std::unique_ptr<sdl::VideoSession> video = sdl::VideoSession::Start(&error);
    ASSERT_TRUE(video) << error;
    sdl::WindowPtr window(SDL_CreateWindow("", 0, 0, 64, 80, SDL_WINDOW_HIDDEN));
    ASSERT_TRUE(window) << SDL_GetError();
    EXPECT_FALSE(sdl::RendererPresenter::Create(window.get(), device, "no-such-renderer", &error));
    EXPECT_NE(error.find("no-such-renderer"), std::string::npos) << error;
    std::unique_ptr<sdl::RendererPresenter> presenter =
        sdl::RendererPresenter::Create(window.get(), device, "software", &error);
    ASSERT_TRUE(presenter) << error;
    ASSERT_NE(presenter->ScreenBuffer(), nullptr);
    PaintPattern(presenter->ScreenBuffer());
    presenter->Present(AllOf(device));
    Shown shown = ShownIn(window.get());
    ASSERT_EQ(shown.width, 64);
    EXPECT_EQ(shown.Wrong([](int x, int y) { return PatternPixel(x / 2, y / 2); }), 0)
        << "twice the screen: every device pixel a 2 x 2 square";

    // Twice again in a wider window, between black bars 3 pixels wide; then 2.5 times.
    SDL_SetWindowSize(window.get(), 70, 80);
    presenter->DisplayLost();
    presenter->RestoreIfLost();
    shown = ShownIn(window.get());
    ASSERT_EQ(shown.width, 70);
    EXPECT_EQ(shown.Wrong([](int x, int y) {
        return x < 3 || x >= 67 ? 0u : PatternPixel((x - 3) / 2, y / 2);
    }),
              0);
    SDL_SetWindowSize(window.get(), 80, 100);
    presenter->DisplayLost();
    presenter->RestoreIfLost();
    EXPECT_EQ(CentresOff(ShownIn(window.get()), device), 0)
        << "2.5 times: the middle of each device pixel is its own colour";
}

TEST_F(SdlBackendTest, QueuedEventsComeOutAsDeviceInput) {
    auto backend = Open(At(2));
    ASSERT_TRUE(backend);
    Push({sdl::testing::MouseMotion(9, 21), sdl::testing::KeyEvent(SDL_KEYDOWN, SDLK_F2),
          sdl::testing::KeyEvent(SDL_KEYUP, SDLK_F2), SDL_Event{.type = SDL_QUIT}});
    // No deadline: input is already there, so this does not wait.
    EXPECT_EQ(Describe(backend->WaitForInput(std::nullopt)),
              (Lines{"move 4,10", "key-down 0x71", "key-up 0x71", "close"}));
    // Resized to one to one, the same point of the window is the same device pixel.
    Resize(*backend, device.width, device.height);
    Push({sdl::testing::MouseMotion(9, 21)});
    EXPECT_EQ(Describe(backend->WaitForInput(std::nullopt)), (Lines{"move 9,21"}));
    backend.reset();
    EXPECT_EQ(SDL_GetHint(SDL_HINT_TOUCH_MOUSE_EVENTS), nullptr) << "SDL went with the window";
}

TEST_F(SdlBackendTest, StartsInFullScreenWhenAskedAndF11TogglesItInsideTheBackEnd) {
    SdlOptions options = At();
    options.fullscreen = true;
    auto backend = Open(options);
    ASSERT_TRUE(backend);
    EXPECT_TRUE(backend->Fullscreen());
    backend->SetFullscreen(false);
    EXPECT_FALSE(backend->Fullscreen());
    Push({sdl::testing::KeyEvent(SDL_KEYDOWN, SDLK_F11),
          sdl::testing::KeyEvent(SDL_KEYUP, SDLK_F11)});
    EXPECT_TRUE(backend->WaitForInput(backend->Now()).empty());
    EXPECT_TRUE(backend->Fullscreen());
}

TEST_F(SdlBackendTest, InputArrivingDuringAWaitEndsIt) {
    auto backend = Open(At());
    ASSERT_TRUE(backend);
    backend->WaitForInput(backend->Now());  // the window's own start-up events
    std::thread pusher([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        Push({sdl::testing::KeyEvent(SDL_KEYDOWN, SDLK_F2)});
    });
    EXPECT_EQ(Describe(backend->WaitForInput(backend->Now() + 5000)), (Lines{"key-down 0x71"}));
    pusher.join();
}

TEST_F(SdlBackendTest, OptionsOutOfRangeAreRefusedWithAReason) {
    // The options of a screen of `screen` at `scale`, with an icon of `icon` at `bytes` a pixel.
    const auto options = [&](ScreenSize screen, int scale = 1, ScreenSize icon = {},
                             int bytes = 4) {
        SdlOptions made = At(scale);
        made.screen = screen;
        if (icon.width > 0) {
            made.icon = WindowIcon{icon.width, icon.height,
                                   std::vector<std::uint8_t>(icon.width * icon.height * bytes)};
        }
        return made;
    };
    // Screens 32 to 4096 pixels a side; icons 1024 at most, of 4 bytes a pixel.
    EXPECT_TRUE(Open(options(device, 1, {1024, 1})) && Open(options(device, 1, {1, 1024})) &&
                Open(options({4096, 32})));
    const struct {
        SdlOptions options;
        const char* mentions;
    } cases[] = {{options({31, 320}), "31x320"},
                 {options({4097, 320}), "4097x320"},
                 {options({240, 31}), "240x31"},
                 {options({240, 4097}), "240x4097"},
                 {options(device, 0), "scale 0"},
                 {options(device, 1, {48, 48}, 3), "48x48"},
                 {options(device, 1, {1025, 1}), "1025x1"},
                 {options(device, 1, {1, 1025}), "1x1025"}};
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(SdlBackend::Create(c.options, &error));
        EXPECT_NE(error.find(c.mentions), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

// The back end on an X server of the test's own, 16 bits a pixel, with no window manager and no
// direct rendering.
class SdlOnXTest : public SdlBackendTest {
  protected:
    void SetUp() override {
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        const std::string fd = std::to_string(ends[1]);
        const char* argv[] = {"Xvfb",       "-displayfd", fd.c_str(), "-screen", "0",
                              "320x320x16", "-nolisten",  "tcp",      nullptr};
        const int spawned =
            posix_spawnp(&server, "Xvfb", nullptr, nullptr, const_cast<char**>(argv), environ);
        close(ends[1]);
        // Xvfb writes its display's number there once it takes clients.
        char number[16] = {};
        const bool ready = spawned == 0 && read(ends[0], number, sizeof number - 1) > 0;
        close(ends[0]);
        ASSERT_TRUE(ready) << "Xvfb did not start";
        environment.Set("DISPLAY", (":" + std::to_string(std::atoi(number))).c_str());
        environment.Set("SDL_VIDEODRIVER", "x11");
    }
    void TearDown() override {
        if (server > 0) {
            kill(server, SIGTERM);
            waitpid(server, nullptr, 0);
        }
    }

    pid_t server = -1;
};

// A 16-bit window gets the screen through a copy; GL is not asked without direct rendering; a
// maximised window stays so when it is raised; and a window manager is known by the check window
// it names on the root, in 32-bit window ids, naming itself.
TEST_F(SdlOnXTest, WhatOnlyARealXServerShows) {
    auto backend = Open(At());
    ASSERT_TRUE(backend);
    PaintPattern(backend->ScreenBuffer());
    backend->Present(AllOf(device));
    const SDL_Surface* shown = SDL_GetWindowSurface(backend->Window());
    ASSERT_EQ(shown->format->BytesPerPixel, 2);
    const auto* first = static_cast<const Uint16*>(shown->pixels);
    EXPECT_EQ(first[0], SDL_MapRGB(shown->format, 0xFF, 0x20, 0x00));
    EXPECT_EQ(first[1], SDL_MapRGB(shown->format, 0x00, 0xE0, 0xFF));
    EXPECT_EQ(sdl::ProbeGlRenderer(backend->Window()), std::nullopt) << "GL would run on the CPU";
    SDL_MaximizeWindow(backend->Window());
    backend->Raise();
    EXPECT_NE(SDL_GetWindowFlags(backend->Window()) & SDL_WINDOW_MAXIMIZED, 0u);

    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    Window root = DefaultRootWindow(display);
    const auto set = [&](const char* name, Atom type, int format, const void* data, int count) {
        XChangeProperty(display, root, XInternAtom(display, name, False), type, format,
                        PropModeReplace, static_cast<const unsigned char*>(data), count);
        XSync(display, False);
        return sdl::WindowManagerDoesFullscreen(backend->Window());
    };
    const Atom fullscreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
    EXPECT_FALSE(set("_NET_SUPPORTED", XA_ATOM, 32, &fullscreen, 1)) << "no check window";
    EXPECT_FALSE(set("_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 8, &root, sizeof root)) << "bytes";
    EXPECT_TRUE(set("_NET_SUPPORTING_WM_CHECK", XA_WINDOW, 32, &root, 1));
    XCloseDisplay(display);
}

// X11 named with no display, and nothing named at all (SDL on its own would fall back to its
// offscreen driver and run with nobody to see it): a one-line error, not an invisible window.
TEST(SdlBackendWithoutDisplay, NoDisplayIsAOneLineError) {
    for (const char* driver : {"x11", "x11,", static_cast<const char*>(nullptr)}) {
        ScopedEnvironment environment;
        environment.Set("SDL_VIDEODRIVER", driver);
        environment.Set("DISPLAY", nullptr);
        environment.Set("WAYLAND_DISPLAY", nullptr);
        std::string error;
        EXPECT_FALSE(SdlBackend::Create(SdlOptions{}, &error));
        EXPECT_NE(error.find("no display"), std::string::npos) << error;
        EXPECT_NE(error.find(driver != nullptr ? "SDL_VIDEODRIVER is" : "neither"),
                  std::string::npos)
            << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
}

TEST(SdlBackendWithoutDisplay, ADisplayNoServerAnswersIsReportedAtTheFirstUse) {
    // The window opens while the program sets itself up, so an X server that is named but not
    // there shows only then, as a one-line DisplayUnavailable from every member that needs it.
    ScopedEnvironment environment;
    environment.Set("SDL_VIDEODRIVER", nullptr);
    environment.Set("WAYLAND_DISPLAY", nullptr);
    environment.Set("DISPLAY", ":4093");
    std::string error;
    std::unique_ptr<SdlBackend> backend = SdlBackend::Create(SdlOptions{}, &error);
    ASSERT_TRUE(backend) << error;
    EXPECT_EQ(backend->Screen().width, 480) << "known without the window";
    backend->ShowScreen();
    try {
        backend->WaitForInput(backend->Now());
        ADD_FAILURE() << "no DisplayUnavailable";
    } catch (const DisplayUnavailable& unavailable) {
        const std::string message = unavailable.what();
        EXPECT_NE(message.find("no display"), std::string::npos) << message;
        EXPECT_NE(message.find(":4093"), std::string::npos) << message;
        EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    }
    EXPECT_THROW(backend->ScreenBuffer(), DisplayUnavailable);
    EXPECT_THROW(backend->Present(ScreenDamage(480, 320)), DisplayUnavailable);
    EXPECT_THROW(backend->SetFullscreen(true), DisplayUnavailable);
    // The failed start leaves no driver chosen behind for the next one.
    backend.reset();
    environment.Set("DISPLAY", nullptr);
    EXPECT_FALSE(SdlBackend::Create(SdlOptions{}, &error));
    EXPECT_NE(error.find("neither"), std::string::npos) << error;
}

}  // namespace
}  // namespace platform
