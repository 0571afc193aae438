// The soft-key bar as every host has it: a dark strip along the bottom of the device screen with
// one key per button of the bar resource (menu number, button count, then per button: image,
// command, state, style, label string, 0, pop-up index), its keys sharing the width evenly.
// A plain key is drawn pressed while the pointer that went down on it stays there and gives its
// command when released there; a drop-down key opens its pop-up menu as it goes down. What is
// decided here is the same on each host; each draws the bar and opens menus with its own means.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace platform {

struct SoftKeyButton {
    std::uint16_t command;
    std::uint16_t state;
    std::uint16_t style;
    std::uint16_t labelString;
    std::uint16_t popup;  // index into the bar's menu, or kNoPopup

    static constexpr std::uint16_t kNoPopup = 0xFFFF;
    bool Enabled() const { return (state & 0x04) != 0; }
    bool DropsDown() const { return (style & 0x08) != 0 && popup != kNoPopup; }
};

struct SoftKeyBarResource {
    std::uint16_t menu;
    std::vector<SoftKeyButton> buttons;
};

// The bar resource's words read (a bar of no keys is a bar), or nothing when they are cut short.
std::optional<SoftKeyBarResource> ReadSoftKeyBar(std::span<const std::uint16_t> words);

// The left and right edges of key `index` of `count` in a bar `width` wide.
struct KeySpan {
    int left;
    int right;
};
KeySpan SoftKeySpan(int index, int count, int width);
// The key under (x, y) of a bar `width` by `height` with `count` keys; -1 off them.
int SoftKeyAt(int x, int y, int width, int height, int count);

// The bar's look, for a bar `height` pixels high (26 at 96 dots per inch).
struct SoftKeyColour {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};
struct SoftKeyLook {
    // A vertical gradient from top to bottom; the pressed key filled; labels white, or grey
    // when the key is disabled.
    static constexpr SoftKeyColour kTop{64, 64, 72};
    static constexpr SoftKeyColour kBottom{16, 16, 20};
    static constexpr SoftKeyColour kPressed{48, 104, 200};
    static constexpr SoftKeyColour kLabel{255, 255, 255};
    static constexpr SoftKeyColour kLabelDisabled{128, 128, 128};

    explicit SoftKeyLook(int height);
    // Bold labels half the bar high.
    int labelPixels;
    // A line of the top colour at the left of every key but the first, this far from the
    // bar's top and bottom.
    int separatorInset;
    int separatorWidth;
};

// What a pointer or a soft-key press asks of the bar's host.
struct SoftKeyAction {
    enum class Kind { None, Command, OpenMenu };
    Kind kind = Kind::None;
    int key = -1;
};

// The bar's keys and which is pressed.
class SoftKeys {
  public:
    SoftKeys() = default;
    explicit SoftKeys(std::vector<SoftKeyButton> buttons) : buttons_(std::move(buttons)) {}

    int Count() const { return static_cast<int>(buttons_.size()); }
    const SoftKeyButton& Button(int key) const { return buttons_[key]; }
    // The key that gives `command`, or -1.
    int KeyOfCommand(std::uint16_t command) const;

    // The key drawn pressed, or -1; changing it returns whether the bar needs drawing again.
    int Pressed() const { return pressed_; }
    bool SetPressed(int key);

    // The pointer over key `key` (-1: off the keys).
    SoftKeyAction PointerDown(int key);
    // True when the bar needs drawing again.
    bool PointerMove(int key);
    SoftKeyAction PointerUp(int key);

    // A key pressed at once, as the soft-key buttons of a keyboard do.
    SoftKeyAction Activate(int key) const;

  private:
    std::vector<SoftKeyButton> buttons_;
    int pressed_ = -1;
    // The plain key the pointer went down on.
    int tracking_ = -1;
};

}  // namespace platform
