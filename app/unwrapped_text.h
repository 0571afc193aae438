// Text wrapped for a terminal, for a window that wraps text to its own width (a message box).
#pragma once

#include <string>

// The lines of each paragraph joined again with spaces where they were wrapped: a line is taken
// for wrapped when it is long (60 characters or more), not indented, and the next one goes on
// the paragraph (not empty, not indented). Indented lines (a list of options) keep their own
// lines, and so do short ones (a title).
std::string Unwrapped(std::string text);
