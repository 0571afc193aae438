#include "platform/display/soft_keys.h"

#include <algorithm>

namespace platform {

std::optional<SoftKeyBarResource> ReadSoftKeyBar(std::span<const std::uint16_t> words) {
    constexpr std::size_t kWordsPerButton = 7;
    if (words.size() < 2) {
        return std::nullopt;
    }
    const std::size_t count = words[1];
    if (words.size() < 2 + count * kWordsPerButton) {
        return std::nullopt;
    }
    SoftKeyBarResource bar{words[0], {}};
    for (std::size_t i = 0; i < count; ++i) {
        const auto button = words.subspan(2 + i * kWordsPerButton, kWordsPerButton);
        bar.buttons.push_back({button[1], button[2], button[3], button[4], button[6]});
    }
    return bar;
}

KeySpan SoftKeySpan(int index, int count, int width) {
    return {width * index / count, width * (index + 1) / count};
}

int SoftKeyAt(int x, int y, int width, int height, int count) {
    if (y < 0 || y >= height) {
        return -1;
    }
    for (int key = 0; key < count; ++key) {
        const KeySpan span = SoftKeySpan(key, count, width);
        if (x >= span.left && x < span.right) {
            return key;
        }
    }
    return -1;
}

SoftKeyLook::SoftKeyLook(int height)
    : labelPixels(std::max(1, height / 2)),
      separatorInset(height * 5 / 26),
      separatorWidth(std::max(1, height / 26)) {}

int SoftKeys::KeyOfCommand(std::uint16_t command) const {
    for (int key = 0; key < Count(); ++key) {
        if (buttons_[key].command == command) {
            return key;
        }
    }
    return -1;
}

bool SoftKeys::SetPressed(int key) {
    const bool changed = pressed_ != key;
    pressed_ = key;
    return changed;
}

SoftKeyAction SoftKeys::PointerDown(int key) {
    if (key < 0 || key >= Count() || !buttons_[key].Enabled()) {
        return {};
    }
    if (buttons_[key].DropsDown()) {
        return Activate(key);
    }
    tracking_ = key;
    pressed_ = key;
    return {};
}

bool SoftKeys::PointerMove(int key) {
    return tracking_ >= 0 && SetPressed(key == tracking_ ? tracking_ : -1);
}

SoftKeyAction SoftKeys::PointerUp(int key) {
    const int tracked = tracking_;
    tracking_ = -1;
    if (tracked < 0) {
        return {};
    }
    pressed_ = -1;
    return key == tracked ? Activate(tracked) : SoftKeyAction{};
}

SoftKeyAction SoftKeys::Activate(int key) const {
    if (key < 0 || key >= Count() || !buttons_[key].Enabled()) {
        return {};
    }
    return {
        buttons_[key].DropsDown() ? SoftKeyAction::Kind::OpenMenu : SoftKeyAction::Kind::Command,
        key};
}

}  // namespace platform
