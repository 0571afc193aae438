#include <cstring>
#include <stdexcept>

#include "platform/sdl/frame_damage.h"
#include "platform/sdl/presenter.h"
#include "platform/sdl/video_session.h"

namespace platform::sdl {
namespace {

ConstPixelBuffer PixelsOf(cairo_surface_t* image) {
    cairo_surface_flush(image);
    return {reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(image)),
            cairo_image_surface_get_width(image), cairo_image_surface_get_height(image),
            cairo_image_surface_get_stride(image)};
}

PixelBuffer PixelsOf(SDL_Surface* surface) {
    return {static_cast<std::uint32_t*>(surface->pixels), surface->w, surface->h, surface->pitch};
}

// The window's pixels take cairo's RGB24 words as they are: 0x00RRGGBB, 32 bits.
bool TakesRgb24(const SDL_Surface* surface) {
    return surface->format->format == SDL_PIXELFORMAT_RGB888;
}

}  // namespace

SurfacePresenter::SurfacePresenter(SDL_Window* window, ScreenSize device)
    : window_(window), device_(device) {}

cairo_surface_t* SurfacePresenter::ScreenBuffer() {
    if (!composed_) {
        composed_ = MakeImageSurface(device_.width, device_.height);
    }
    return composed_.get();
}

ScreenSize SurfacePresenter::Drawable() const {
    ScreenSize size{0, 0};
    SDL_GetWindowSizeInPixels(window_, &size.width, &size.height);
    return size;
}

SDL_Surface* SurfacePresenter::Target(bool* fresh) {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (surface == nullptr) {
        return nullptr;
    }
    const ScreenSize size{surface->w, surface->h};
    *fresh =
        surface != target_ || size.width != targetSize_.width || size.height != targetSize_.height;
    if (*fresh) {
        target_ = surface;
        targetSize_ = size;
        scaler_.emplace(device_, FitScreen(size, device_));
        // Another pixel format (a 16-bit display, one with alpha) gets the scaled pixels through
        // a surface of cairo's format, converted by SDL on the way.
        staging_.reset();
        if (!TakesRgb24(surface)) {
            staging_.reset(SDL_CreateRGBSurfaceWithFormat(0, size.width, size.height, 32,
                                                          SDL_PIXELFORMAT_RGB888));
            if (!staging_) {
                target_ = nullptr;
                return nullptr;
            }
        }
    }
    return surface;
}

void SurfacePresenter::PaintAll(SDL_Surface* target, const ConstPixelBuffer& screen) {
    SDL_Surface* drawn = staging_ ? staging_.get() : target;
    SDL_FillRect(drawn, nullptr, 0);
    if (hasScreen_) {
        scaler_->Scale(screen, {0, 0, device_.width, device_.height}, PixelsOf(drawn));
    }
    if (staging_) {
        SDL_BlitSurface(staging_.get(), nullptr, target, nullptr);
    }
}

void SurfacePresenter::Send(const std::vector<SDL_Rect>& rects) {
    if (!rects.empty() &&
        SDL_UpdateWindowSurfaceRects(window_, rects.data(), static_cast<int>(rects.size())) != 0) {
        throw std::runtime_error("SDL back end: cannot show the screen (" + SdlError() + ")");
    }
}

void SurfacePresenter::Present(cairo_surface_t* screen) {
    const ConstPixelBuffer pixels = PixelsOf(screen);
    bool fresh = false;
    SDL_Surface* target = Target(&fresh);
    if (target == nullptr) {
        throw std::runtime_error("SDL back end: the window has no pixels to draw in (" +
                                 SdlError() + ")");
    }
    const std::size_t words = static_cast<std::size_t>(pixels.stride / 4) * pixels.height;
    if (fresh || !hasScreen_ || pixels.stride != shownStride_) {
        shown_.assign(pixels.pixels, pixels.pixels + words);
        shownStride_ = pixels.stride;
        hasScreen_ = true;
        PaintAll(target, pixels);
        Send({{0, 0, target->w, target->h}});
        return;
    }
    const std::vector<PixelRect> bands = FindChangedBands(
        {shown_.data(), pixels.pixels, pixels.width, pixels.height, pixels.stride});
    SDL_Surface* drawn = staging_ ? staging_.get() : target;
    std::vector<SDL_Rect> rects;
    for (const PixelRect& band : bands) {
        const PixelRect reach = scaler_->Scale(pixels, band, PixelsOf(drawn));
        if (!reach.Empty()) {
            SDL_Rect rect{reach.x, reach.y, reach.width, reach.height};
            if (staging_) {
                SDL_Rect into = rect;
                SDL_BlitSurface(staging_.get(), &rect, target, &into);
            }
            rects.push_back(rect);
        }
        const std::size_t rowWords = static_cast<std::size_t>(pixels.stride / 4);
        for (int y = band.y; y < band.y + band.height; ++y) {
            const std::size_t at = rowWords * y + band.x;
            std::memcpy(&shown_[at], pixels.pixels + at, static_cast<std::size_t>(band.width) * 4);
        }
    }
    Send(rects);
}

void SurfacePresenter::Redraw() {
    bool fresh = false;
    SDL_Surface* target = Target(&fresh);
    if (target == nullptr) {
        return;
    }
    // After an expose the display has lost what was sent; after a resize the pixels are new.
    // Either way the whole window goes again, which is rare enough to be cheap.
    PaintAll(target, {shown_.data(), device_.width, device_.height, shownStride_});
    Send({{0, 0, target->w, target->h}});
}

}  // namespace platform::sdl
