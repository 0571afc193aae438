#include "platform/web/dom_input.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::InputEvent;
using platform::InputKind;
using platform::web::DomEvent;
using platform::web::DomEventKind;
using platform::web::DomInputTranslator;

constexpr UINT kControl = 0x11;
constexpr UINT kLetterA = 'A';

DomEvent PointerEvent(DomEventKind kind, int id, int x, int y, bool mainButton = true) {
    return {kind, id, x, y, false, mainButton};
}

DomEvent KeyEvent(DomEventKind kind, UINT key, bool repeat = false) {
    return {kind, static_cast<int>(key), 0, 0, repeat, true};
}

struct Recorded {
    InputKind kind;
    int x;
    int y;
    UINT key;
    bool operator==(const Recorded&) const = default;
};

std::vector<Recorded> Translated(DomInputTranslator& translator,
                                 const std::vector<DomEvent>& events) {
    std::vector<InputEvent> out;
    for (const DomEvent& event : events) {
        translator.Translate(event, out);
    }
    std::vector<Recorded> recorded;
    for (const InputEvent& event : out) {
        recorded.push_back({event.kind, event.x, event.y, event.key});
    }
    return recorded;
}

}  // namespace

TEST(DomInput, AHoveringPointerSteersAndIsClampedToTheScreen) {
    DomInputTranslator translator({240, 320});
    const std::vector<Recorded> out =
        Translated(translator, {PointerEvent(DomEventKind::PointerMove, 1, 10, 20),
                                PointerEvent(DomEventKind::PointerMove, 1, -5, 400),
                                PointerEvent(DomEventKind::PointerMove, 1, 240, -1)});
    const std::vector<Recorded> expected = {{InputKind::PointerMove, 10, 20, 0},
                                            {InputKind::PointerMove, 0, 319, 0},
                                            {InputKind::PointerMove, 239, 0, 0}};
    EXPECT_EQ(out, expected);
}

TEST(DomInput, TheFirstPointerDownOnTheScreenIsTheStylusUntilItLifts) {
    DomInputTranslator translator({240, 320});
    const std::vector<Recorded> out =
        Translated(translator, {
                                   PointerEvent(DomEventKind::PointerDown, 7, 50, 60),
                                   // A second finger neither presses, steers nor lifts the stylus.
                                   PointerEvent(DomEventKind::PointerDown, 8, 70, 80),
                                   PointerEvent(DomEventKind::PointerMove, 8, 71, 81),
                                   PointerEvent(DomEventKind::PointerUp, 8, 72, 82),
                                   PointerEvent(DomEventKind::PointerMove, 7, 300, 61),
                                   PointerEvent(DomEventKind::PointerUp, 7, 52, 62),
                                   // Once lifted, another pointer may be the stylus.
                                   PointerEvent(DomEventKind::PointerDown, 8, 90, 100),
                                   PointerEvent(DomEventKind::PointerCancel, 8, 91, 101),
                               });
    const std::vector<Recorded> expected = {
        {InputKind::PointerDown, 50, 60, 0}, {InputKind::PointerMove, 239, 61, 0},
        {InputKind::PointerUp, 52, 62, 0},   {InputKind::PointerDown, 90, 100, 0},
        {InputKind::PointerUp, 91, 101, 0},
    };
    EXPECT_EQ(out, expected);
}

TEST(DomInput, PressesOffTheScreenOrWithOtherButtonsDoNothing) {
    DomInputTranslator translator({240, 320});
    const std::vector<Recorded> out =
        Translated(translator, {
                                   PointerEvent(DomEventKind::PointerDown, 1, -3, 10),
                                   PointerEvent(DomEventKind::PointerUp, 1, -3, 10),
                                   PointerEvent(DomEventKind::PointerDown, 1, 10, 10, false),
                                   PointerEvent(DomEventKind::PointerUp, 1, 10, 10, false),
                                   // The mouse still hovers after both.
                                   PointerEvent(DomEventKind::PointerMove, 1, 12, 13),
                               });
    const std::vector<Recorded> expected = {{InputKind::PointerMove, 12, 13, 0}};
    EXPECT_EQ(out, expected);
}

TEST(DomInput, KeysGoDownAndUpOnceAndABlurReleasesThem) {
    DomInputTranslator translator({240, 320});
    const std::vector<Recorded> out = Translated(
        translator, {
                        KeyEvent(DomEventKind::KeyUp, kLetterA),  // pressed before focus
                        KeyEvent(DomEventKind::KeyDown, kControl),
                        KeyEvent(DomEventKind::KeyDown, kLetterA),
                        KeyEvent(DomEventKind::KeyDown, kLetterA, true),
                        KeyEvent(DomEventKind::KeyDown, 0),  // a key the program does not know
                        KeyEvent(DomEventKind::KeyUp, kLetterA),
                        {DomEventKind::Blur},
                        KeyEvent(DomEventKind::KeyUp, kControl),  // released elsewhere
                        {DomEventKind::CloseRequest},
                    });
    const std::vector<Recorded> expected = {
        {InputKind::KeyDown, 0, 0, kControl}, {InputKind::KeyDown, 0, 0, kLetterA},
        {InputKind::KeyUp, 0, 0, kLetterA},   {InputKind::KeyUp, 0, 0, kControl},
        {InputKind::CloseRequest, 0, 0, 0},
    };
    EXPECT_EQ(out, expected);
}
