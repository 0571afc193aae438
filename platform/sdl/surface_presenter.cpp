#include <cstring>
#include <stdexcept>

#include "platform/sdl/presenter.h"
#include "platform/sdl/video_session.h"

namespace platform::sdl {
namespace {

PixelRows PixelsOf(SDL_Surface* surface) {
    return {static_cast<std::uint32_t*>(surface->pixels), surface->w, surface->h, surface->pitch};
}

// The window's pixels take cairo's RGB24 words as they are: 0x00RRGGBB, 32 bits.
bool TakesRgb24(const SDL_Surface* surface) {
    return surface->format->format == SDL_PIXELFORMAT_RGB888;
}

// Copies one image's rows into another of the same size.
void CopyImage(const ConstPixelRows& from, const PixelRows& to) {
    for (int y = 0; y < from.height; ++y) {
        std::memcpy(to.Row(y), from.Row(y), static_cast<std::size_t>(from.width) * 4);
    }
}

}  // namespace

SurfacePresenter::SurfacePresenter(SDL_Window* window, ScreenSize device)
    : window_(window), device_(device) {}

cairo_surface_t* SurfacePresenter::ScreenBuffer() {
    Target();
    if (direct_) {
        return direct_.get();
    }
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

void SurfacePresenter::KeepDirectScreen() {
    SurfacePtr kept = MakeImageSurface(device_.width, device_.height);
    if (kept && holdsScreen_) {
        CopyImage(PixelRowsOf(direct_.get()), PixelRowsOf(kept.get()));
        cairo_surface_mark_dirty(kept.get());
    }
    holdsScreen_ = holdsScreen_ && kept != nullptr;
    composed_ = std::move(kept);
    direct_.reset();
}

SDL_Surface* SurfacePresenter::Target() {
    if (direct_) {
        // A window of another size gets new pixels, and SDL frees the old ones when asked for
        // the new: the screen composed in them is kept first.
        ScreenSize now{0, 0};
        SDL_GetWindowSizeInPixels(window_, &now.width, &now.height);
        if (now.width != targetSize_.width || now.height != targetSize_.height) {
            KeepDirectScreen();
        }
    }
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (surface == nullptr) {
        return nullptr;
    }
    const ScreenSize size{surface->w, surface->h};
    if (surface == target_ && size.width == targetSize_.width &&
        size.height == targetSize_.height) {
        return surface;
    }
    // New pixels show nothing of what was sent.
    DisplayLost();
    if (direct_) {
        // New pixels of the same size (SDL made them anew): what was composed there is gone, and
        // the next screen is composed whole into the new ones.
        direct_.reset();
        holdsScreen_ = false;
    }
    target_ = surface;
    targetSize_ = size;
    scaler_.emplace(device_, FitScreen(size, device_));
    // Another pixel format (a 16-bit display, one with alpha) gets the scaled pixels through a
    // surface of cairo's format, converted by SDL on the way.
    staging_.reset();
    if (!TakesRgb24(surface)) {
        staging_.reset(
            SDL_CreateRGBSurfaceWithFormat(0, size.width, size.height, 32, SDL_PIXELFORMAT_RGB888));
        if (!staging_) {
            target_ = nullptr;
            return nullptr;
        }
    } else if (size.width == device_.width && size.height == device_.height) {
        // One to one: the screen is composed straight into the window's pixels, with no image
        // of its own in between.
        direct_ = MakeImageSurfaceOver(static_cast<unsigned char*>(surface->pixels), size.width,
                                       size.height, surface->pitch);
        if (direct_) {
            if (holdsScreen_ && composed_) {
                CopyImage(PixelRowsOf(composed_.get()), PixelsOf(surface));
            }
            composed_.reset();
        }
    }
    return surface;
}

void SurfacePresenter::PaintAll(SDL_Surface* target) {
    SDL_Surface* drawn = staging_ ? staging_.get() : target;
    if (direct_) {
        // The screen is in the window's pixels already.
        if (!holdsScreen_) {
            SDL_FillRect(drawn, nullptr, 0);
        }
        SendRects({{0, 0, target->w, target->h}});
        return;
    }
    // Black bars beside and above and below the screen (or all black before the first screen).
    const PixelRect image = scaler_->Box().image;
    if (!holdsScreen_ || image.Empty()) {
        SDL_FillRect(drawn, nullptr, 0);
    } else {
        for (const PixelRect& bar : Bars({drawn->w, drawn->h}, image)) {
            if (!bar.Empty()) {
                const SDL_Rect rect{bar.x, bar.y, bar.width, bar.height};
                SDL_FillRect(drawn, &rect, 0);
            }
        }
    }
    if (holdsScreen_ && composed_) {
        scaler_->Scale(PixelRowsOf(composed_.get()), {0, 0, device_.width, device_.height},
                       PixelsOf(drawn));
    }
    if (staging_) {
        SDL_BlitSurface(staging_.get(), nullptr, target, nullptr);
    }
    SendRects({{0, 0, target->w, target->h}});
}

void SurfacePresenter::SendRects(const std::vector<SDL_Rect>& rects) {
    if (!rects.empty() &&
        SDL_UpdateWindowSurfaceRects(window_, rects.data(), static_cast<int>(rects.size())) != 0) {
        throw std::runtime_error("SDL back end: cannot show the screen (" + SdlError() + ")");
    }
}

void SurfacePresenter::Send(const ScreenDamage& changed) {
    SDL_Surface* target = Target();
    if (target == nullptr) {
        throw std::runtime_error("SDL back end: the window has no pixels to draw in (" +
                                 SdlError() + ")");
    }
    // The whole window when the display lost what it showed (new pixels, the one way the screen
    // composed in them is lost too, among the reasons); black when there is no image at all.
    if (TakeWhole() || (!direct_ && !composed_)) {
        holdsScreen_ = direct_ || composed_;
        PaintAll(target);
        return;
    }
    std::vector<SDL_Rect> rects;
    if (direct_) {
        // Composed in the window's pixels: only to be sent.
        for (const RECT& band : changed.Bands()) {
            rects.push_back({band.left, band.top, band.right - band.left, band.bottom - band.top});
        }
        SendRects(rects);
        return;
    }
    const ConstPixelRows pixels = PixelRowsOf(composed_.get());
    SDL_Surface* drawn = staging_ ? staging_.get() : target;
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
    SendRects(rects);
}

void SurfacePresenter::Prepare() {
    Target();
}

}  // namespace platform::sdl
