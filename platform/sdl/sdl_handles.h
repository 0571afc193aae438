// Owning handles for SDL objects.
#pragma once

#include <SDL.h>

#include <memory>

namespace platform::sdl {

struct SdlWindowRelease {
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};
struct SdlRendererRelease {
    void operator()(SDL_Renderer* renderer) const { SDL_DestroyRenderer(renderer); }
};
struct SdlTextureRelease {
    void operator()(SDL_Texture* texture) const { SDL_DestroyTexture(texture); }
};
struct SdlSurfaceRelease {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};

using WindowPtr = std::unique_ptr<SDL_Window, SdlWindowRelease>;
using RendererPtr = std::unique_ptr<SDL_Renderer, SdlRendererRelease>;
using TexturePtr = std::unique_ptr<SDL_Texture, SdlTextureRelease>;
using SdlSurfacePtr = std::unique_ptr<SDL_Surface, SdlSurfaceRelease>;

}  // namespace platform::sdl
