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

DomEvent Pointer(DomEventKind kind, int id, int x, int y, bool mainButton = true) {
    return {kind, id, x, y, false, mainButton};
}

DomEvent Key(DomEventKind kind, UINT key, bool repeat = false) {
    return {kind, static_cast<int>(key), 0, 0, repeat, true};
}

// The page's events converted: positions clamped to the screen (and told off it), pointers by
// their ids, the main button, keys by their virtual keys (0, none). Each case on a translator of
// its own; the rules applied after the conversion are tested with the input rules.
TEST(DomInput, ConvertsEachEvent) {
    using enum DomEventKind;
    const struct {
        std::vector<DomEvent> events;
        Lines input;
    } cases[] = {
        {{Pointer(PointerMove, 1, 10, 20), Pointer(PointerMove, 1, -5, 400),
          Pointer(PointerDown, 1, 240, 10), Pointer(PointerDown, 1, 239, 319)},
         {"move 10,20", "move 0,319", "down 239,319"}},
        {{Pointer(PointerDown, 7, 50, 60, false), Pointer(PointerDown, 7, 50, 60),
          Pointer(PointerUp, 8, 72, 82), Pointer(PointerCancel, 7, 53, 63, false)},
         {"down 50,60", "up 53,63"}},
        {{Key(KeyDown, kControl),
          Key(KeyDown, kLetterA),
          {Blur},
          Key(KeyDown, kLetterA, true),
          Key(KeyDown, 0),
          {CloseRequest}},
         {"key-down 0x11", "key-down 0x41", "key-up 0x11", "key-up 0x41", "close"}},
    };
    for (const auto& c : cases) {
        DomInputTranslator translator({240, 320});
        std::vector<InputEvent> out;
        for (const DomEvent& event : c.events) {
            translator.Translate(event, out);
        }
        EXPECT_EQ(Describe(out), c.input);
    }
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
