// The platform's numbered names (messages, styles, keys, stock objects, raster operations) are
// the ones programs written for the real platform were built with: resource data and programs
// carry them as numbers. Each name the stand-in's headers define with a plain number is compared
// with the same name in the MinGW-w64 headers the Windows build uses (a resource type RT_X_ID with
// their RT_X).
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>

namespace {

std::string Read(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// A C integer written plainly, perhaps negative, cast, in parentheses or with a suffix.
std::optional<std::int64_t> Number(std::string text) {
    static const std::regex wrapping(R"(__MSABI_LONG|\((DWORD|UINT|WORD|BYTE|LONG|int)\)|[()\s])");
    text = std::regex_replace(text, wrapping, "");
    static const std::regex literal(R"((-?)(0[xX][0-9a-fA-F]+|[0-9]+)[uUlL]*)");
    std::smatch parts;
    if (!std::regex_match(text, parts, literal)) {
        return std::nullopt;
    }
    const auto magnitude = static_cast<std::int64_t>(std::stoull(parts[2].str(), nullptr, 0));
    return parts[1].length() != 0 ? -magnitude : magnitude;
}

std::map<std::string, std::int64_t> Names(const std::string& text, const std::regex& definition) {
    std::map<std::string, std::int64_t> names;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), definition);
         it != std::sregex_iterator(); ++it) {
        if (const auto value = Number((*it)[2].str())) {
            names.emplace((*it)[1].str(), *value);
        }
    }
    return names;
}

TEST(ApiNumbers, AreThoseOfTheRealPlatformsHeaders) {
    const std::regex ours(R"(inline constexpr \w+ (\w+) = ([^;{]+);)");
    std::map<std::string, std::int64_t> defined;
    for (const char* header : {"platform/window/window_types.h", "platform/window/winuser.h",
                               "platform/window/aygshell.h", "platform/gdi/gdi.h"}) {
        const std::string text = Read(std::string(TARVEL_SOURCE_DIR) + "/" + header);
        ASSERT_FALSE(text.empty()) << header;
        defined.merge(Names(text, ours));
    }
    const std::regex theirs(R"(#define (\w+) ([^\n]+))");
    std::map<std::string, std::int64_t> reference;
    for (const char* header : {"winuser.h", "wingdi.h", "winnt.h", "windef.h"}) {
        reference.merge(Names(Read(std::string(TARVEL_MINGW_INCLUDE) + "/" + header), theirs));
    }
    // Resource types are numbers behind MAKEINTRESOURCE there, ours are named RT_..._ID.
    const std::string winuser = Read(std::string(TARVEL_MINGW_INCLUDE) + "/winuser.h");
    const std::regex resourceType(R"(#define (RT_\w+) MAKEINTRESOURCE\((\d+)\))");
    for (const auto& [name, value] : Names(winuser, resourceType)) {
        reference.emplace(name + "_ID", value);
    }
    // The icon group's type is spelt there as the icon's plus DIFFERENCE.
    reference.emplace("RT_GROUP_ICON_ID", reference.at("RT_ICON_ID") + reference.at("DIFFERENCE"));
    int compared = 0;
    for (const auto& [name, value] : defined) {
        const auto found = reference.find(name);
        if (found == reference.end()) {
            continue;
        }
        ++compared;
        // Either way round for flags that fill a DWORD (the reference may spell them signed).
        EXPECT_EQ(value & 0xFFFFFFFF, found->second & 0xFFFFFFFF) << name;
    }
    EXPECT_GE(compared, 120) << "the headers were not read as expected";
}

}  // namespace
