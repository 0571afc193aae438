#include "platform/window/control_text.h"

namespace platform::detail {

std::u16string WithoutPrefixes(std::u16string_view text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
        }
        out += text[i];
    }
    return out;
}

std::vector<std::u16string> WrapWords(std::u16string_view text, double width,
                                      const std::function<double(std::u16string_view)>& widthOf) {
    std::vector<std::u16string> lines;
    std::u16string line;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(u' ', start);
        if (end == std::u16string_view::npos) {
            end = text.size();
        }
        const std::u16string_view word = text.substr(start, end - start);
        std::u16string candidate = line;
        if (!candidate.empty()) {
            candidate += u' ';
        }
        candidate += word;
        if (!line.empty() && widthOf(candidate) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = candidate;
        }
        start = end + 1;
    }
    lines.push_back(line);
    return lines;
}

}  // namespace platform::detail
