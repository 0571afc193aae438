// The device screen's host on Windows: where the screen and its soft-key bar go in a window, the
// first scale, and Windows' messages as the input every host's rules take.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "platform/win32/message_input.h"
#include "platform/win32/screen_layout.h"

namespace platform::win32 {
namespace {

TEST(DeviceScreen, StartsAtTheMonitorsWholeScalingStep) {
    EXPECT_EQ(DefaultScale(191), 1);
    EXPECT_EQ(DefaultScale(192), 2);
    EXPECT_EQ(DefaultScale(288), 3);
    EXPECT_EQ(DefaultScale(0), 1);
}

std::string Sides(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

TEST(DeviceScreen, TheBarLiesAlongTheImagesBottomAtEveryScale) {
    // One to one, the bar the bottom 52 pixels; twice the size between bars left and right.
    EXPECT_EQ(Sides(LayOutScreen({480, 640}, {480, 640}).softKeyBar), "0,588 480,640");
    EXPECT_EQ(Sides(LayOutScreen({1200, 1280}, {480, 640}).softKeyBar), "120,1176 1080,1280");
    // Between whole factors: 1000 high, the bar's top at 588 / 640 of it.
    EXPECT_EQ(Sides(LayOutScreen({2000, 1000}, {480, 640}).softKeyBar), "625,918 1375,1000");
    EXPECT_EQ(Sides(LayOutScreen({0, 0}, {480, 640}).softKeyBar), "0,0 0,0");
}

// What Windows' message gives the rules, and what the event they let through gives the program.
std::string Converted(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto input = RawInputOf(message, wParam, lParam, DevicePoint{7, 9, true});
    if (!input) {
        return "-";
    }
    std::string text = std::to_string(static_cast<int>(input->kind)) + " key " +
                       std::to_string(input->key) + " vk " + std::to_string(input->virtualKey) +
                       (input->repeat ? " repeat" : "") + (input->pointer.mouse ? " mouse" : "");
    if (input->at) {
        text += " at " + std::to_string(input->at->x) + "," + std::to_string(input->at->y);
    }
    return text;
}

TEST(MessageInput, WindowsMessagesAsRawInput) {
    const struct {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        const char* input;
    } cases[] = {
        {WM_MOUSEMOVE, MK_LBUTTON, 0, "1 key 0 vk 0 mouse at 7,9"},
        {WM_LBUTTONDOWN, 0, 0, "0 key 0 vk 0 mouse at 7,9"},
        {WM_LBUTTONUP, 0, 0, "2 key 0 vk 0 mouse at 7,9"},
        // The left and right Control: one virtual key, two keys (scan code 0x1D, extended).
        {WM_KEYDOWN, VK_CONTROL, 0x001D0001, "4 key 1900561 vk 17"},
        {WM_KEYDOWN, VK_CONTROL, 0x011D0001, "4 key 18677777 vk 17"},
        {WM_SYSKEYDOWN, 'A', 0x601E0001, "4 key 1966145 vk 65 repeat"},
        {WM_KEYUP, 'A', static_cast<LPARAM>(0xC01E0001), "5 key 1966145 vk 65"},
        {WM_SYSKEYUP, VK_MENU, static_cast<LPARAM>(0xC0380001), "5 key 3670034 vk 18"},
        {WM_KILLFOCUS, 0, 0, "6 key 0 vk 0"},
        {WM_ENTERMENULOOP, 1, 0, "6 key 0 vk 0"},
        {WM_RBUTTONDOWN, 0, 0, "-"},
        {WM_CHAR, 'a', 0, "-"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Converted(c.message, c.wParam, c.lParam), c.input) << c.message;
    }
    EXPECT_TRUE(AltHeld(0x20380001));
    EXPECT_FALSE(AltHeld(0x00380001));
}

TEST(MessageInput, WhatTheRulesLetThroughAsTheProgramsMessages) {
    constexpr LPARAM kAt = MAKELPARAM(7, 9);
    constexpr InputEvent kDownA{.kind = InputKind::KeyDown, .key = 'A'};
    constexpr InputEvent kUpA{.kind = InputKind::KeyUp, .key = 'A'};
    constexpr InputEvent kMove{InputKind::PointerMove, 7, 9};
    const struct {
        InputEvent event;
        UINT from;
        WPARAM wParam;
        LPARAM lParam;
        ProgramMessage given;
    } cases[] = {
        {kMove, WM_MOUSEMOVE, MK_LBUTTON, 0, {WM_MOUSEMOVE, MK_LBUTTON, kAt}},
        {{InputKind::PointerDown, 7, 9}, WM_LBUTTONDOWN, 1, 0, {WM_LBUTTONDOWN, 1, kAt}},
        {{InputKind::PointerUp, 7, 9}, WM_LBUTTONUP, 0, 0, {WM_LBUTTONUP, 0, kAt}},
        // A key keeps the system form and the lParam of the message it came of; one released on
        // the loss of the keyboard is a key that was down released.
        {kDownA, WM_SYSKEYDOWN, 'A', 0x201E0001, {WM_SYSKEYDOWN, 'A', 0x201E0001}},
        {kDownA, WM_KEYDOWN, 'A', 0x1E0001, {WM_KEYDOWN, 'A', 0x1E0001}},
        {kUpA, WM_SYSKEYUP, 'A', 0x1E0001, {WM_SYSKEYUP, 'A', 0x1E0001}},
        {kUpA, WM_KEYUP, 'A', 0x1E0001, {WM_KEYUP, 'A', 0x1E0001}},
        {kUpA, WM_KILLFOCUS, 0, 0, {WM_KEYUP, 'A', static_cast<LPARAM>(0xC0000001)}},
        {{InputKind::CloseRequest}, WM_SYSCOMMAND, SC_CLOSE, 0, {WM_CLOSE, 0, 0}},
    };
    for (const auto& c : cases) {
        const ProgramMessage m = MessageOf(c.event, c.from, c.wParam, c.lParam);
        EXPECT_EQ(std::tuple(m.message, m.wParam, m.lParam),
                  std::tuple(c.given.message, c.given.wParam, c.given.lParam))
            << c.from;
    }
}

}  // namespace
}  // namespace platform::win32
