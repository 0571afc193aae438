// The name under which a window is published: the same from every process that asks.
#include <cstdint>
#include <cstdio>

#include "platform/gdi/utf16.h"
#include "platform/window/window_endpoint.h"

namespace platform::detail {
namespace {

constexpr std::string_view kNamePrefix = "tarvel-window ";

std::string ClassKey(std::u16string_view className) {
    std::u16string folded(className);
    for (char16_t& c : folded) {
        if (c >= u'a' && c <= u'z') {
            c = static_cast<char16_t>(c - (u'a' - u'A'));
        }
    }
    return gdi_detail::Utf8FromUtf16(folded.data(), folded.size());
}

// Each part with its length in front, so no choice of characters can make two tuples meet.
void AppendCounted(std::string& out, std::string_view part) {
    out += std::to_string(part.size());
    out += ':';
    out += part;
}

std::uint64_t Fnv1a64(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 0x100000001b3u;
    }
    return hash;
}

}  // namespace

std::string EndpointName(std::string_view desktop, uid_t user, std::u16string_view className,
                         std::u16string_view title) {
    std::string name(kNamePrefix);
    name += std::to_string(user);
    name += ' ';
    AppendCounted(name, desktop);
    name += ' ';
    AppendCounted(name, ClassKey(className));
    name += ' ';
    AppendCounted(name, gdi_detail::Utf8FromUtf16(title.data(), title.size()));
    if (name.size() <= kMaxEndpointName) {
        return name;
    }
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a64(name)));
    return std::string(kNamePrefix) + std::to_string(user) + " #" + hash;
}

}  // namespace platform::detail
