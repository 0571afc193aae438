#include "platform/sdl/render_path.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cctype>

#include "platform/sdl/sdl_handles.h"

namespace platform::sdl {
namespace {

constexpr unsigned kGlRenderer = 0x1F01;

std::string Lowercase(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// Whether an X display offers direct rendering, without which GL goes through the CPU.
bool HasDirectRendering(Display* display) {
    int opcode = 0;
    int event = 0;
    int error = 0;
    return XQueryExtension(display, "DRI3", &opcode, &event, &error) ||
           XQueryExtension(display, "DRI2", &opcode, &event, &error);
}

struct GlContextRelease {
    void operator()(void* context) const { SDL_GL_DeleteContext(context); }
};

}  // namespace

bool IsSoftwareRasteriser(std::string_view glRenderer) {
    const std::string name = Lowercase(glRenderer);
    return name.find("llvmpipe") != std::string::npos ||
           name.find("softpipe") != std::string::npos || name.find("swrast") != std::string::npos;
}

RenderChoice ChooseRenderPath(std::string_view requested,
                              const std::optional<std::string>& glRenderer) {
    if (!requested.empty()) {
        if (requested == "software") {
            return {RenderPath::Cpu, {}};
        }
        return {RenderPath::Renderer, std::string(requested)};
    }
    if (!glRenderer || glRenderer->empty() || IsSoftwareRasteriser(*glRenderer)) {
        return {RenderPath::Cpu, {}};
    }
    return {RenderPath::Renderer, {}};
}

std::optional<std::string> QueryGlRenderer() {
    WindowPtr probe(SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN));
    if (!probe) {
        return std::nullopt;
    }
    std::unique_ptr<void, GlContextRelease> context(SDL_GL_CreateContext(probe.get()));
    if (!context) {
        return std::nullopt;
    }
    using GetString = const unsigned char* (*)(unsigned);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = getString != nullptr ? getString(kGlRenderer) : nullptr;
    std::optional<std::string> renderer;
    if (name != nullptr) {
        renderer = reinterpret_cast<const char*>(name);
    }
    return renderer;
}

std::optional<std::string> ProbeGlRenderer(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE) {
        return std::nullopt;
    }
    if (info.subsystem == SDL_SYSWM_X11) {
        if (info.info.x11.display == nullptr || !HasDirectRendering(info.info.x11.display)) {
            return std::nullopt;
        }
    } else if (info.subsystem != SDL_SYSWM_WAYLAND) {
        // The other drivers (offscreen, dummy) show nothing a GPU could speed up.
        return std::nullopt;
    }
    return QueryGlRenderer();
}

}  // namespace platform::sdl
