// The web page's events as the platform's input. The page's script reports each pointer and key
// event as a DomEvent, its position already in device pixels (unclamped: a pointer over the bars
// around the canvas lies outside the screen), its key as a virtual key; this decides what the
// program gets, the way the desktop back end does:
//
// Pointer: a mouse steers whether or not a button is held, and its main button is the stylus
// touching down and lifting. A finger or a pen is the stylus itself: it steers while it
// touches. Only the first pointer down counts; others are ignored until it lifts. Moves off the
// screen are clamped to its edge; a press off the screen does nothing, and neither does the
// release that ends it. A cancelled touch (the browser took it over) lifts the stylus.
//
// Keys: a key goes down and up once each (auto-repeat is dropped, or a held Ctrl+A would open
// the About box again and again). When the page loses the keyboard, every held key is released,
// since their real releases go elsewhere.
#pragma once

#include <optional>
#include <set>
#include <vector>

#include "platform/window/backend.h"

namespace platform::web {

enum class DomEventKind {
    PointerDown = 1,
    PointerMove = 2,
    PointerUp = 3,
    PointerCancel = 4,
    KeyDown = 5,
    KeyUp = 6,
    // The page lost the keyboard (another tab, another window).
    Blur = 7,
    // The page asks the program to end, as a desktop window's close button does.
    CloseRequest = 8,
};

struct DomEvent {
    DomEventKind kind;
    // Pointer events: the pointer's identifier; keys: the virtual key (0 for a key the program
    // does not know).
    int id = 0;
    // Pointer events: the position in device pixels, rounded down.
    int x = 0;
    int y = 0;
    // Keys: an auto-repeat of a key held down.
    bool repeat = false;
    // Pointer down and up: the main button (a mouse's left button, a touch, a pen's tip).
    bool mainButton = true;
};

class DomInputTranslator {
  public:
    explicit DomInputTranslator(ScreenSize device) : device_(device) {}

    // Appends the input `event` gives to `out`.
    void Translate(const DomEvent& event, std::vector<InputEvent>& out);

  private:
    void Pointer(const DomEvent& event, std::vector<InputEvent>& out);
    void Key(const DomEvent& event, std::vector<InputEvent>& out);

    ScreenSize device_;
    // The pointer that is the stylus while it touches.
    std::optional<int> stylus_;
    // Virtual keys reported down and not yet up.
    std::set<UINT> heldKeys_;
};

}  // namespace platform::web
