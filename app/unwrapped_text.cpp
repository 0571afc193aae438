#include "app/unwrapped_text.h"

std::string Unwrapped(std::string text) {
    constexpr std::size_t kWrappedLine = 60;
    std::size_t lineStart = 0;
    for (std::size_t end = text.find('\n'); end != std::string::npos && end + 1 < text.size();
         end = text.find('\n', lineStart)) {
        const bool wrapped = end - lineStart >= kWrappedLine && text[lineStart] != ' ' &&
                             text[end + 1] != '\n' && text[end + 1] != ' ';
        if (wrapped) {
            text[end] = ' ';
        }
        lineStart = end + 1;
    }
    return text;
}
