#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/sdl/presenter.h"
#include "platform/sdl/video_session.h"

namespace platform::sdl {

std::unique_ptr<RendererPresenter> RendererPresenter::Create(SDL_Window* window, ScreenSize device,
                                                             const std::string& driver,
                                                             std::string* error) {
    int index = -1;
    for (int i = 0; !driver.empty() && i < SDL_GetNumRenderDrivers(); ++i) {
        SDL_RendererInfo info;
        if (SDL_GetRenderDriverInfo(i, &info) == 0 && driver == info.name) {
            index = i;
        }
    }
    if (!driver.empty() && index < 0) {
        if (error != nullptr) {
            *error = "no renderer named " + driver + " (SDL_RENDER_DRIVER)";
        }
        return nullptr;
    }
    RendererPtr renderer(
        SDL_CreateRenderer(window, index, driver.empty() ? SDL_RENDERER_ACCELERATED : 0));
    if (!renderer) {
        if (error != nullptr) {
            *error = "cannot draw into the window (" + SdlError() + ")";
        }
        return nullptr;
    }
    // SDL_PIXELFORMAT_RGB888 is a 32-bit word 0x00RRGGBB in the machine's byte order, which is
    // how cairo stores an RGB24 pixel: rows are uploaded as they are.
    TexturePtr texture(SDL_CreateTexture(renderer.get(), SDL_PIXELFORMAT_RGB888,
                                         SDL_TEXTUREACCESS_STREAMING, device.width, device.height));
    if (!texture) {
        if (error != nullptr) {
            *error = "cannot make the screen texture (" + SdlError() + ")";
        }
        return nullptr;
    }
    return std::unique_ptr<RendererPresenter>(
        new RendererPresenter(device, std::move(renderer), std::move(texture)));
}

RendererPresenter::RendererPresenter(ScreenSize device, RendererPtr renderer,
                                     TexturePtr screenTexture)
    : device_(device), renderer_(std::move(renderer)), screenTexture_(std::move(screenTexture)) {}

RendererPresenter::~RendererPresenter() = default;

ScreenSize RendererPresenter::Drawable() const {
    ScreenSize size{0, 0};
    SDL_GetRendererOutputSize(renderer_.get(), &size.width, &size.height);
    return size;
}

cairo_surface_t* RendererPresenter::ScreenBuffer() {
    if (!screen_) {
        screen_ = MakeImageSurface(device_.width, device_.height);
    }
    return screen_.get();
}

void RendererPresenter::Send(const ScreenDamage& changed) {
    const ConstPixelRows pixels = PixelRowsOf(ScreenBuffer());
    if (pixels.Empty()) {
        throw std::runtime_error("SDL back end: no memory for the screen");
    }
    for (const RECT& part : PartsToSend(changed, device_)) {
        const SDL_Rect rect{part.left, part.top, part.right - part.left, part.bottom - part.top};
        if (SDL_UpdateTexture(screenTexture_.get(), &rect, pixels.Row(part.top) + part.left,
                              pixels.stride) != 0) {
            throw std::runtime_error("SDL back end: cannot upload the screen (" + SdlError() + ")");
        }
    }
    Draw(true);
}

void RendererPresenter::Draw(bool withScreen) {
    SDL_Renderer* renderer = renderer_.get();
    const ScreenSize drawable = Drawable();
    const Letterbox box = FitScreen(drawable, device_);
    SDL_Texture* source = withScreen && !box.image.Empty() ? ScaleSource(box) : nullptr;
    SDL_SetRenderTarget(renderer, nullptr);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    if (source != nullptr) {
        const SDL_Rect target{box.image.x, box.image.y, box.image.width, box.image.height};
        SDL_RenderCopy(renderer, source, nullptr, &target);
    }
    SDL_RenderPresent(renderer);
}

SDL_Texture* RendererPresenter::ScaleSource(const Letterbox& box) {
    SDL_Texture* screen = screenTexture_.get();
    if (box.exact || box.wholeFactor < 2) {
        // A whole factor is crisp with nearest neighbour. Between one and two the screen is its
        // own blow-up to the lower factor, and a screen shrunk to fit is filtered: both are
        // scaled smoothly as they are.
        SDL_SetTextureScaleMode(screen, box.exact ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
        return screen;
    }
    // Between two whole factors: each device pixel is first blown up to a whole square, and only
    // that is scaled the last bit smoothly, so the pixels stay sharp and even with soft edges one
    // or two window pixels wide.
    SDL_Renderer* renderer = renderer_.get();
    if (!wholeTexture_ || wholeTextureFactor_ != box.wholeFactor) {
        wholeTexture_.reset(
            SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET,
                              device_.width * box.wholeFactor, device_.height * box.wholeFactor));
        wholeTextureFactor_ = wholeTexture_ ? box.wholeFactor : 0;
    }
    if (!wholeTexture_ || SDL_SetRenderTarget(renderer, wholeTexture_.get()) != 0) {
        SDL_SetTextureScaleMode(screen, SDL_ScaleModeLinear);
        return screen;
    }
    SDL_SetTextureScaleMode(screen, SDL_ScaleModeNearest);
    SDL_RenderCopy(renderer, screen, nullptr, nullptr);
    SDL_SetTextureScaleMode(wholeTexture_.get(), SDL_ScaleModeLinear);
    return wholeTexture_.get();
}

}  // namespace platform::sdl
