#include "platform/web/dom_input.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/platform/window/input_description.h"

namespace {

using platform::InputEvent;
using platform::testing::Describe;
using platform::web::DomEvent;
using platform::web::DomEventKind;
using platform::web::DomInputTranslator;
using Lines = std::vector<std::string>;

constexpr UINT kControl = 0x11;
constexpr UINT kLetterA = 'A';

DomEvent PointerEvent(DomEventKind kind, int id, int x, int y, bool mainButton = true) {
    return {kind, id, x, y, false, mainButton};
}

DomEvent KeyEvent(DomEventKind kind, UINT key, bool repeat = false) {
    return {kind, static_cast<int>(key), 0, 0, repeat, true};
}

Lines Translated(const std::vector<DomEvent>& events) {
    DomInputTranslator translator({240, 320});
    std::vector<InputEvent> out;
    for (const DomEvent& event : events) {
        translator.Translate(event, out);
    }
    return Describe(out);
}

TEST(DomInput, PositionsAreClampedToTheScreenAndOffItPressNothing) {
    EXPECT_EQ(Translated({PointerEvent(DomEventKind::PointerMove, 1, 10, 20),
                          PointerEvent(DomEventKind::PointerMove, 1, -5, 400),
                          PointerEvent(DomEventKind::PointerMove, 1, 240, -1),
                          PointerEvent(DomEventKind::PointerDown, 1, 240, 10),
                          PointerEvent(DomEventKind::PointerDown, 1, 10, 320),
                          PointerEvent(DomEventKind::PointerDown, 1, 239, 319)}),
              (Lines{"move 10,20", "move 0,319", "move 239,0", "down 239,319"}));
}

TEST(DomInput, PointersAreToldApartByTheirIdsAndButtons) {
    EXPECT_EQ(Translated({PointerEvent(DomEventKind::PointerDown, 7, 50, 60, false),
                          PointerEvent(DomEventKind::PointerDown, 7, 50, 60),
                          PointerEvent(DomEventKind::PointerMove, 8, 71, 81),
                          PointerEvent(DomEventKind::PointerUp, 8, 72, 82),
                          PointerEvent(DomEventKind::PointerUp, 7, 52, 62, false),
                          PointerEvent(DomEventKind::PointerCancel, 7, 53, 63, false),
                          PointerEvent(DomEventKind::PointerDown, 8, 90, 100),
                          PointerEvent(DomEventKind::PointerUp, 8, 91, 101)}),
              (Lines{"down 50,60", "up 53,63", "down 90,100", "up 91,101"}));
}

TEST(DomInput, KeysAreTheirVirtualKeys) {
    EXPECT_EQ(Translated({KeyEvent(DomEventKind::KeyDown, kControl),
                          KeyEvent(DomEventKind::KeyDown, kLetterA),
                          KeyEvent(DomEventKind::KeyDown, kLetterA, true),
                          KeyEvent(DomEventKind::KeyDown, 0),  // a key the program does not know
                          KeyEvent(DomEventKind::KeyUp, 0),
                          KeyEvent(DomEventKind::KeyUp, kLetterA),
                          {DomEventKind::Blur},
                          {DomEventKind::CloseRequest}}),
              (Lines{"key-down 0x11", "key-down 0x41", "key-up 0x41", "key-up 0x11", "close"}));
}

// The page writes its events as numbers; its EVENT table must number them as DomEventKind does.
TEST(DomInput, ThePageNumbersItsEventsAsTheProgramReadsThem) {
    std::ifstream file(TARVEL_PAGE_SCRIPT);
    ASSERT_TRUE(file) << TARVEL_PAGE_SCRIPT;
    std::stringstream text;
    text << file.rdbuf();
    const std::string script = text.str();
    std::smatch table;
    ASSERT_TRUE(std::regex_search(script, table, std::regex(R"(const EVENT = \{([^}]*)\})")));
    std::map<std::string, int> page;
    const std::string entries = table[1].str();
    const std::regex entry(R"((\w+):\s*(\d+))");
    for (auto it = std::sregex_iterator(entries.begin(), entries.end(), entry);
         it != std::sregex_iterator(); ++it) {
        page[(*it)[1].str()] = std::stoi((*it)[2].str());
    }
    const std::map<std::string, int> program = {
        {"pointerDown", static_cast<int>(DomEventKind::PointerDown)},
        {"pointerMove", static_cast<int>(DomEventKind::PointerMove)},
        {"pointerUp", static_cast<int>(DomEventKind::PointerUp)},
        {"pointerCancel", static_cast<int>(DomEventKind::PointerCancel)},
        {"keyDown", static_cast<int>(DomEventKind::KeyDown)},
        {"keyUp", static_cast<int>(DomEventKind::KeyUp)},
        {"blur", static_cast<int>(DomEventKind::Blur)},
        {"closeRequest", static_cast<int>(DomEventKind::CloseRequest)},
    };
    EXPECT_EQ(page, program);
}

}  // namespace
