// Getting the drawing interface ready before its first use: fontconfig's configuration and font
// list, which every font match needs, and the stock objects, whose system font is matched and
// loaded when they are made. Together the slowest part of a program's start that draws text
// (several milliseconds), so it can be done on a thread of its own while the program opens its
// window:
//
//     platform::DrawingPreparation drawing;   // starts on a thread of its own
//     ... open the window ...
//     drawing.Wait();                         // before the first drawing call
#pragma once

#include <thread>

namespace platform {

// Loads fontconfig's configuration and font list on the calling thread, once per process; later
// calls return at once.
void LoadFontConfiguration();

// Prepares the drawing interface on a thread of its own from construction until Wait() or
// destruction. No drawing call may be made meanwhile.
class DrawingPreparation {
  public:
    DrawingPreparation();
    ~DrawingPreparation();
    DrawingPreparation(const DrawingPreparation&) = delete;
    DrawingPreparation& operator=(const DrawingPreparation&) = delete;

    void Wait();

  private:
    std::thread thread_;
};

}  // namespace platform
