// A script's window on the system's own drawing interface: a memory device context holding a
// 32-bit DIB section of the window's size, which the painters treat as the window being painted
// (their off-screen surfaces are made compatible with it, so they are 32-bit as well).
#pragma once

#include <windows.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "render/paint_resources.h"
#include "tools/script_display.h"

class GdiDisplay final : public ScriptDisplay {
  public:
    // With `textCells`, each frame saved adds a line there: its file name, then left, top, width
    // and height of the computer's score text and of the user's, as this GDI measures them.
    explicit GdiDisplay(std::ostream* textCells = nullptr) : textCells_(textCells) {}
    // Releases the window and the painters' surfaces, brushes and bitmaps.
    ~GdiDisplay() override;

    bool FirstPaint(MatchState& state, std::int32_t width, std::int32_t height,
                    std::string* error) override;
    bool Paint(MatchState& state, const std::string& pngPath, std::string* error) override;
    bool started() const override { return window_ != nullptr; }

  private:
    void WriteTextCells(const MatchState& state, const std::string& pngPath);

    std::ostream* textCells_;
    HDC window_ = nullptr;
    HBITMAP windowBitmap_ = nullptr;
    HGDIOBJ displacedBitmap_ = nullptr;
    const std::uint32_t* pixels_ = nullptr;  // top-down rows of 0x00RRGGBB, owned by the bitmap
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    PaintResources resources_{};
};
