// Help text wrapped for a terminal, joined again for a message box.
#include "app/unwrapped_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Unwrapped, JoinsWrappedParagraphLinesAndKeepsTitlesListsAndBlankLines) {
    const std::string wrapped(60, 'w');
    const std::string text = "Title\n" + wrapped + "\nrest of it.\n\n" + wrapped +
                             "\n  --option  a list entry " + wrapped + "\n  --next    another\n" +
                             wrapped + "\n\nLast\n";
    EXPECT_EQ(Unwrapped(text), "Title\n" + wrapped + " rest of it.\n\n" + wrapped +
                                   "\n  --option  a list entry " + wrapped +
                                   "\n  --next    another\n" + wrapped + "\n\nLast\n");
    // One character short of a wrapped line: a line of its own.
    const std::string shorter(59, 's');
    EXPECT_EQ(Unwrapped(shorter + "\nnext\n"), shorter + "\nnext\n");
    EXPECT_EQ(Unwrapped(""), "");
    // The text's last line end stays, however long the line before it.
    EXPECT_EQ(Unwrapped(wrapped + "\n"), wrapped + "\n");
    // A first line is wrapped like any, a word of one letter goes on the paragraph, and so does a
    // last line of one letter.
    EXPECT_EQ(Unwrapped(wrapped + "\na " + wrapped + "\nz"), wrapped + " a " + wrapped + " z");
}

}  // namespace
