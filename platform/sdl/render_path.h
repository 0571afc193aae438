// Which way the screen goes into the window: scaled on the CPU into the window's own pixels, or
// handed to a renderer that scales on the GPU. A GPU does it for next to nothing, but where
// OpenGL is Mesa's software rasteriser (Xvfb, most virtual machines, a remote desktop) a GL
// renderer costs several times the CPU and a hundred megabytes more than the CPU path.
#pragma once

#include <SDL.h>

#include <optional>
#include <string>
#include <string_view>

namespace platform::sdl {

enum class RenderPath { Cpu, Renderer };

struct RenderChoice {
    RenderPath path = RenderPath::Cpu;
    // The SDL render driver for RenderPath::Renderer; empty for SDL's first accelerated one.
    std::string driver;
};

// Whether an OpenGL renderer string (GL_RENDERER) names a rasteriser that runs on the CPU:
// Mesa's llvmpipe, softpipe and swrast.
bool IsSoftwareRasteriser(std::string_view glRenderer);

// The choice for `requested`, the value of SDL_RENDER_DRIVER: "software" is the CPU path, any
// other name that SDL renderer. Unset or empty, `glRenderer` decides: the GL renderer string of
// the display, or nothing when the display has no direct rendering (the CPU path then).
RenderChoice ChooseRenderPath(std::string_view requested,
                              const std::optional<std::string>& glRenderer);

// The GL renderer string of `window`'s display, or nothing where there is none to be had
// cheaply: an X display without direct rendering (no DRI2 or DRI3, as under Xvfb) is not asked
// at all, since its GL can only be software. Otherwise a hidden window and a GL context are
// made for the question and destroyed again.
std::optional<std::string> ProbeGlRenderer(SDL_Window* window);

// The GL renderer string from a hidden window's context, whatever the display.
std::optional<std::string> QueryGlRenderer();

}  // namespace platform::sdl
