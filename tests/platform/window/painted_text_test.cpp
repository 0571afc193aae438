// Text drawn into a picture kept in a memory DC, as the game draws its score, reaches the screen
// when the window copies the picture in again, also when nothing else in it changed.
#include "platform/gdi/gdi.h"
#include "window_test_support.h"

namespace window_test {
namespace {

using PaintedText = Desktop;

}  // namespace
}  // namespace window_test
