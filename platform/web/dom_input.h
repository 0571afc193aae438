// The web page's events as the platform's input. The page's script reports each pointer and key
// event as a DomEvent, its position already in device pixels (unclamped: a pointer over the bars
// around the canvas lies outside the screen), its key as a virtual key; this converts it to a
// RawInput and hands it to the input rules (platform/window/input_rules.h), which decide what the
// program gets, the way they do for the desktop back end.
#pragma once

#include <vector>

#include "platform/window/input_rules.h"

namespace platform::web {

// The page's numbers for its events: web/tarvel-page.js's EVENT table has the same ones (a test
// compares them).
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
    ScreenSize device_;
    InputRules rules_;
};

}  // namespace platform::web
