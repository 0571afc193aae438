#include <stdexcept>

#include "platform/gdi/changed_copy.h"
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

void SurfacePresenter::PaintAll(SDL_Surface* target) {
    SDL_Surface* drawn = staging_ ? staging_.get() : target;
    // Black bars beside and above and below the screen (or all black before the first screen).
    const PixelRect image = scaler_->Box().image;
    if (!hasScreen_ || image.Empty()) {
        SDL_FillRect(drawn, nullptr, 0);
    } else {
        const SDL_Rect bars[] = {
            {0, 0, drawn->w, image.y},
            {0, image.y + image.height, drawn->w, drawn->h - image.y - image.height},
            {0, image.y, image.x, image.height},
            {image.x + image.width, image.y, drawn->w - image.x - image.width, image.height}};
        for (const SDL_Rect& bar : bars) {
            if (bar.w > 0 && bar.h > 0) {
                SDL_FillRect(drawn, &bar, 0);
            }
        }
    }
    if (hasScreen_) {
        scaler_->Scale(PixelsOf(composed_.get()), {0, 0, device_.width, device_.height},
                       PixelsOf(drawn));
    }
    if (staging_) {
        SDL_BlitSurface(staging_.get(), nullptr, target, nullptr);
    }
    Send({{0, 0, target->w, target->h}});
}

void SurfacePresenter::Send(const std::vector<SDL_Rect>& rects) {
    if (!rects.empty() &&
        SDL_UpdateWindowSurfaceRects(window_, rects.data(), static_cast<int>(rects.size())) != 0) {
        throw std::runtime_error("SDL back end: cannot show the screen (" + SdlError() + ")");
    }
}

void SurfacePresenter::Present(cairo_surface_t* screen) {
    cairo_surface_t* own = ScreenBuffer();
    if (own == nullptr) {
        throw std::runtime_error("SDL back end: no memory for the screen");
    }
    ScreenDamage changed(device_.width, device_.height);
    if (screen == own) {
        // Composed here with nothing said of what changed: all of it may have.
        changed.Add({0, 0, device_.width, device_.height});
    } else {
        const ConstPixelBuffer from = PixelsOf(screen);
        const PixelBuffer to{reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(own)),
                             device_.width, device_.height, cairo_image_surface_get_stride(own)};
        for (int y = 0; y < device_.height; ++y) {
            const ChangedSpan span = CopyChanged(
                reinterpret_cast<const std::uint32_t*>(
                    reinterpret_cast<const unsigned char*>(from.pixels) + y * from.stride),
                reinterpret_cast<std::uint32_t*>(reinterpret_cast<unsigned char*>(to.pixels) +
                                                 y * to.stride),
                device_.width);
            changed.Add(y, span.begin, span.end);
        }
        cairo_surface_mark_dirty(own);
    }
    PresentChanged(own, changed);
}

void SurfacePresenter::PresentChanged(cairo_surface_t* screen, const ScreenDamage& changed) {
    if (screen != composed_.get()) {
        Present(screen);
        return;
    }
    bool fresh = false;
    SDL_Surface* target = Target(&fresh);
    if (target == nullptr) {
        throw std::runtime_error("SDL back end: the window has no pixels to draw in (" +
                                 SdlError() + ")");
    }
    if (fresh || !hasScreen_) {
        hasScreen_ = true;
        PaintAll(target);
        return;
    }
    const ConstPixelBuffer pixels = PixelsOf(screen);
    SDL_Surface* drawn = staging_ ? staging_.get() : target;
    std::vector<SDL_Rect> rects;
    for (const RECT& band : changed.Bands()) {
        const PixelRect reach = scaler_->Scale(
            pixels, {band.left, band.top, band.right - band.left, band.bottom - band.top},
            PixelsOf(drawn));
        if (reach.Empty()) {
            continue;
        }
        SDL_Rect rect{reach.x, reach.y, reach.width, reach.height};
        if (staging_) {
            SDL_Rect into = rect;
            SDL_BlitSurface(staging_.get(), &rect, target, &into);
        }
        rects.push_back(rect);
    }
    Send(rects);
}

void SurfacePresenter::Prepare() {
    bool fresh = false;
    Target(&fresh);
}

void SurfacePresenter::Redraw() {
    bool fresh = false;
    if (SDL_Surface* target = Target(&fresh)) {
        // After an expose the display has lost what was sent; after a resize the pixels are
        // new. Either way the whole window goes again, which is rare enough to be cheap.
        PaintAll(target);
    }
}

}  // namespace platform::sdl
