#include "platform/window/dialog_template.h"

#include <cstring>

namespace platform::detail {
namespace {

class WordWriter {
  public:
    void Word(WORD w) { words_.push_back(w); }
    void Dword(DWORD d) {
        Word(static_cast<WORD>(d & 0xFFFF));
        Word(static_cast<WORD>(d >> 16));
    }
    void Short(SHORT s) { Word(static_cast<WORD>(s)); }
    void Text(std::u16string_view text) {
        for (char16_t c : text) {
            Word(c);
        }
        Word(0);
    }
    // A dialog's frame has its item count between the styles and the rectangle; a control's has
    // nothing there.
    void Frame(const DialogFrame& frame, std::optional<WORD> itemCount = std::nullopt) {
        Dword(frame.style);
        Dword(frame.exStyle);
        if (itemCount) {
            Word(*itemCount);
        }
        Short(frame.x);
        Short(frame.y);
        Short(frame.cx);
        Short(frame.cy);
    }
    void AlignDword() {
        if (words_.size() % 2 != 0) {
            Word(0);
        }
    }
    std::vector<std::uint32_t> Finish() {
        AlignDword();
        std::vector<std::uint32_t> out(words_.size() / 2);
        std::memcpy(out.data(), words_.data(), words_.size() * sizeof(WORD));
        return out;
    }

  private:
    std::vector<WORD> words_;
};

WORD AtomOfClass(std::u16string_view name) {
    std::u16string lower(name);
    for (char16_t& c : lower) {
        if (c >= u'A' && c <= u'Z') {
            c = static_cast<char16_t>(c + 32);
        }
    }
    if (lower == u"button") {
        return kButtonClassAtom;
    }
    if (lower == u"static") {
        return kStaticClassAtom;
    }
    return 0;
}

class WordReader {
  public:
    WordReader(const void* data, std::size_t size)
        : bytes_(static_cast<const std::byte*>(data)), size_(size) {}

    bool Word(WORD& w) {
        if (offset_ + 2 > size_) {
            return false;
        }
        std::memcpy(&w, bytes_ + offset_, 2);
        offset_ += 2;
        return true;
    }
    bool Dword(DWORD& d) {
        WORD lo;
        WORD hi;
        if (!Word(lo) || !Word(hi)) {
            return false;
        }
        d = lo | (static_cast<DWORD>(hi) << 16);
        return true;
    }
    bool Short(SHORT& s) {
        WORD w;
        if (!Word(w)) {
            return false;
        }
        s = static_cast<SHORT>(w);
        return true;
    }
    // The frame as WordWriter::Frame writes it; a dialog's item count goes to itemCount.
    bool Frame(DialogFrame& frame, WORD* itemCount = nullptr) {
        return Dword(frame.style) && Dword(frame.exStyle) &&
               (itemCount == nullptr || Word(*itemCount)) && Short(frame.x) && Short(frame.y) &&
               Short(frame.cx) && Short(frame.cy);
    }
    bool Text(std::u16string& text) {
        text.clear();
        for (WORD w; Word(w);) {
            if (w == 0) {
                return true;
            }
            text += static_cast<char16_t>(w);
        }
        return false;
    }
    // A field that is 0 (none), 0xFFFF then a number, or a string.
    bool NameOrNumber(std::u16string& text, WORD& number) {
        WORD first;
        number = 0;
        text.clear();
        if (!Word(first)) {
            return false;
        }
        if (first == 0) {
            return true;
        }
        if (first == 0xFFFF) {
            return Word(number);
        }
        text += static_cast<char16_t>(first);
        std::u16string rest;
        if (!Text(rest)) {
            return false;
        }
        text += rest;
        return true;
    }
    bool Skip(std::size_t bytes) {
        if (offset_ + bytes > size_) {
            return false;
        }
        offset_ += bytes;
        return true;
    }
    void AlignDword() { offset_ = (offset_ + 3) & ~std::size_t{3}; }

  private:
    const std::byte* bytes_;
    std::size_t size_;
    std::size_t offset_ = 0;
};

}  // namespace

std::vector<std::uint32_t> WriteDialogTemplate(const DialogResource& dialog) {
    WordWriter out;
    out.Frame(dialog.frame, static_cast<WORD>(dialog.items.size()));
    out.Word(0);  // no menu
    out.Word(0);  // the default dialog class
    out.Text(dialog.caption);
    if ((dialog.frame.style & DS_SETFONT) != 0) {
        out.Word(dialog.pointSize);
        out.Text(dialog.faceName);
    }
    for (const DialogItemResource& item : dialog.items) {
        out.AlignDword();
        out.Frame(item.frame);
        out.Word(item.id);
        if (WORD atom = AtomOfClass(item.windowClass)) {
            out.Word(0xFFFF);
            out.Word(atom);
        } else {
            out.Text(item.windowClass);
        }
        if (item.text.IsNumber()) {
            out.Word(0xFFFF);
            out.Word(item.text.id);
        } else {
            out.Text(item.text.text);
        }
        out.Word(0);  // no creation data
    }
    return out.Finish();
}

std::optional<DialogTemplate> ReadDialogTemplate(const void* data, std::size_t size) {
    if (data == nullptr) {
        return std::nullopt;
    }
    WordReader in(data, size);
    DialogTemplate t{};
    WORD count = 0;
    std::u16string menu;
    std::u16string windowClass;
    WORD number = 0;
    if (!in.Frame(t.frame, &count) || !in.NameOrNumber(menu, number) ||
        !in.NameOrNumber(windowClass, number) || !in.Text(t.caption)) {
        return std::nullopt;
    }
    if ((t.frame.style & DS_SETFONT) != 0 && (!in.Word(t.pointSize) || !in.Text(t.faceName))) {
        return std::nullopt;
    }
    for (WORD i = 0; i < count; ++i) {
        in.AlignDword();
        DialogItemTemplate item{};
        WORD atom = 0;
        WORD extra = 0;
        if (!in.Frame(item.frame) || !in.Word(item.id) || !in.NameOrNumber(item.className, atom) ||
            !in.NameOrNumber(item.text, item.textResource) || !in.Word(extra) || !in.Skip(extra)) {
            return std::nullopt;
        }
        if (atom == kButtonClassAtom) {
            item.className = u"button";
        } else if (atom == kStaticClassAtom) {
            item.className = u"static";
        } else if (atom != 0) {
            return std::nullopt;  // a predefined class this platform does not have
        }
        t.items.push_back(std::move(item));
    }
    return t;
}

}  // namespace platform::detail
