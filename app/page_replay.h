// The page's replays, the program's side. Every match the page plays is recorded and handed to the
// page's script (web/tarvel-replay.js) a second at a time, so the player can keep it whenever they
// ask, even after the end; a page opened with a replay (the script fetches or unpacks it) plays it
// instead of a game of one's own.
#pragma once

#include <memory>

#include "platform/display/screen_limits.h"

class PageReplay {
  public:
    PageReplay();
    PageReplay(const PageReplay&) = delete;
    PageReplay& operator=(const PageReplay&) = delete;
    ~PageReplay();

    // Asks the page for the replay its address names and reads it whole; with one, `screen`
    // becomes the screen it was recorded on. False once the page shows why the replay cannot be
    // played.
    bool Prepare(platform::ScreenSize* screen);

    // Records, or plays the replay, in front of the main window procedure; from when the program's
    // state is fresh to the end of WinMain.
    void Attach();
    // The end of the run: the recording's last check goes to the page.
    void Finish();

  private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};
