// The text of a static control or a button as it is shown: mnemonic marks taken out, and words
// wrapped into lines no wider than the control.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::detail {

// "&x" shows x (the mnemonic underline is not drawn), "&&" shows one '&', and a '&' at the very
// end shows as itself.
std::u16string WithoutPrefixes(std::u16string_view text);

// Lines of whole words separated by single spaces, each as wide as `width` at most by `widthOf`,
// except a word wider than that on its own. Every space starts a new word, so spaces in a row keep
// their empty words.
std::vector<std::u16string> WrapWords(std::u16string_view text, double width,
                                      const std::function<double(std::u16string_view)>& widthOf);

}  // namespace platform::detail
