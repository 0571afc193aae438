// Putting the device screen into the desktop window, letterboxed: two ways of doing it behind one
// interface. SurfacePresenter scales on the CPU into the window's own pixels and sends only what
// changed; RendererPresenter uploads what changed to a texture and lets one of SDL's renderers
// (a GPU's, where one drives the display) scale it.
#pragma once

#include <SDL.h>
#include <cairo.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/display/letterbox.h"
#include "platform/gdi/cairo_handles.h"
#include "platform/sdl/screen_scaler.h"
#include "platform/sdl/sdl_handles.h"
#include "platform/window/backend.h"
#include "platform/window/screen_damage.h"

namespace platform::sdl {

class Presenter {
  public:
    virtual ~Presenter() = default;

    // The screen lent to the window manager, holding the one shown last (see
    // Backend::ScreenBuffer); null when memory runs out.
    virtual cairo_surface_t* ScreenBuffer() = 0;
    // Shows ScreenBuffer(): only `changed`, or the whole window when the display lost what it
    // showed. Throws std::runtime_error when the window cannot take it.
    void Present(const ScreenDamage& changed) {
        Send(changed);
        presented_ = true;
    }
    // The display lost what it showed (an expose, a resize): the whole window goes again.
    void DisplayLost() { display_.Lose(); }
    // Shows the last screen again, laid out for the window as it is now, if the display lost it.
    // Before the first screen there is nothing to show: the first Present draws the window.
    void RestoreIfLost() {
        if (presented_ && display_.Lost()) {
            Send(ScreenDamage(0, 0));
        }
    }
    // Makes what the first screen will be drawn into, when the window is shown.
    virtual void Prepare() {}
    // The window's size in pixels as drawn into: the area the screen is laid out in.
    virtual ScreenSize Drawable() const = 0;

  protected:
    // Sends ScreenBuffer() to the window: the whole of it, bars included, when TakeWhole()
    // says so, else only `changed`.
    virtual void Send(const ScreenDamage& changed) = 0;
    // Whether the display lost what it showed since the last frame (or never had one): asked
    // once a frame, by Send.
    bool TakeWhole() { return display_.TakeWhole(); }
    // The parts of a `screen` to upload or send: `changed`, or all of it (see TakeWhole).
    std::vector<RECT> PartsToSend(const ScreenDamage& changed, ScreenSize screen) {
        return display_.PartsToSend(changed, screen);
    }

  private:
    SentScreen display_;
    bool presented_ = false;
};

// The window's own pixels (SDL_GetWindowSurface), written on the CPU. Only the window pixels
// that the screen's changes reach are scaled and sent to the display; the black bars are
// painted only when the window's pixels are new (a resize). At one to one the screen is composed
// straight into the window's pixels.
class SurfacePresenter final : public Presenter {
  public:
    SurfacePresenter(SDL_Window* window, ScreenSize device);

    // The window's own pixels at one to one; otherwise an image of the back end's own.
    cairo_surface_t* ScreenBuffer() override;
    void Prepare() override;
    ScreenSize Drawable() const override;

  private:
    void Send(const ScreenDamage& changed) override;
    // The window's pixels now, with the layout made anew (and the display taken as lost) when
    // they are not the ones drawn into last time. Null when SDL has none to give.
    SDL_Surface* Target();
    // Bars and the whole screen into the window's pixels, and all of them to the display.
    void PaintAll(SDL_Surface* target);
    // Sends `rects` of the window's pixels to the display.
    void SendRects(const std::vector<SDL_Rect>& rects);

    SDL_Window* window_;
    ScreenSize device_;
    // Before the window's pixels go with a resize, keeps the screen composed in them in an
    // image of our own.
    void KeepDirectScreen();

    // Where the program composes, holding the screen last shown: the window's pixels at one to
    // one, an image of our own otherwise.
    SurfacePtr direct_;
    SurfacePtr composed_;
    // Whether that holds the program's screen: not before the first, nor once the window's
    // pixels it was composed in are gone.
    bool holdsScreen_ = false;
    // The window pixels laid out for, and the layout.
    SDL_Surface* target_ = nullptr;
    ScreenSize targetSize_{0, 0};
    std::optional<ScreenScaler> scaler_;
    // Scaled into first where the window's pixels are not cairo's format.
    SdlSurfacePtr staging_;
};

// An SDL renderer: the screen is a streaming texture, and the renderer scales it into the window
// every frame (nearest neighbour at whole factors; between them
// blown up to the lower whole factor first, then stretched smoothly, as the CPU path does).
class RendererPresenter final : public Presenter {
  public:
    // Null, with the reason in `error`, when the renderer or its texture cannot be made.
    // `driver` is one of SDL's render drivers ("opengl", "opengles2"...) or empty for SDL's
    // first accelerated one.
    static std::unique_ptr<RendererPresenter> Create(SDL_Window* window, ScreenSize device,
                                                     const std::string& driver, std::string* error);
    ~RendererPresenter() override;

    // An image of the presenter's own.
    cairo_surface_t* ScreenBuffer() override;
    // A first, black frame: a GPU's renderer makes its buffers on the first one.
    void Prepare() override { Draw(false); }
    ScreenSize Drawable() const override;

  private:
    RendererPresenter(ScreenSize device, RendererPtr renderer, TexturePtr screenTexture);
    // Uploads the changed bands (all of the screen when the display lost it: the texture's
    // pixels are undefined until then) and draws the window.
    void Send(const ScreenDamage& changed) override;
    // Draws the window: the screen letterboxed, or black when there is none yet.
    void Draw(bool withScreen);
    // The texture to scale into the letterbox's image, with its scale mode set.
    SDL_Texture* ScaleSource(const Letterbox& box);

    ScreenSize device_;
    RendererPtr renderer_;
    TexturePtr screenTexture_;
    // The screen lent out, whose changes are uploaded to the texture.
    SurfacePtr screen_;
    // The screen at a whole factor, which is then scaled the rest of the way smoothly.
    TexturePtr wholeTexture_;
    int wholeTextureFactor_ = 0;
};

}  // namespace platform::sdl
