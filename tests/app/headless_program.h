// Runs the real program on the headless back end: a screen in memory, input injected at chosen
// moments of a clock that only the test moves. Steps are scheduled on that clock before Run();
// each runs between two messages of the program's own loop.
#pragma once

#include <cairo.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "app/program_state.h"
#include "app/win_main.h"
#include "platform/window/headless_backend.h"
#include "platform/window/window_system.h"
#include "resources/tarvel_resources.h"

class HeadlessProgram {
  public:
    explicit HeadlessProgram(
        platform::ScreenSize screen = {240, 320},
        const platform::ResourceModule& module = resources::TarvelResourceModule())
        : backend_(screen), windows_(backend_) {
        ResetProgramState();
        instance_ = platform::RegisterModule(module);
    }

    platform::HeadlessBackend& backend() { return backend_; }
    platform::WindowSystem& windows() { return windows_; }
    HINSTANCE instance() const { return instance_; }
    ProgramState& program() { return Program(); }
    MatchState& match() { return Program().match; }

    // Schedules `step` at `time` ms of the test clock.
    void At(platform::Millis time, std::function<void()> step) {
        backend_.At(time, std::move(step));
    }

    // Runs WinMain, shown as `showCommand` says, to its end and returns its exit code. A program
    // still running at `deadline` (a fault kept it from its way out, or a step stopped early at a
    // failed assertion) is told to quit, and the test fails instead of hanging.
    int Run(platform::Millis deadline = 30000, int showCommand = SW_SHOW) {
        backend_.At(deadline, [] {
            ADD_FAILURE() << "the program was still running at the deadline";
            PostQuitMessage(kStillRunning);
        });
        return WinMain(instance_, nullptr, nullptr, showCommand);
    }
    static constexpr int kStillRunning = 99;

    // With TARVEL_SCREENSHOT_DIR set, saves the composed screen there as NAME.png, so a person
    // can look at what the tests saw.
    static void Screenshot(const std::string& name) {
        const char* folder = std::getenv("TARVEL_SCREENSHOT_DIR");
        if (folder != nullptr) {
            std::string error;
            EXPECT_TRUE(
                platform::WriteScreenshotPng(std::string(folder) + "/" + name + ".png", &error))
                << error;
        }
    }

    // A pixel of the composed screen as 0xRRGGBB.
    std::uint32_t ScreenPixel(int x, int y) const {
        platform::SurfacePtr screen = platform::CaptureScreen();
        cairo_surface_flush(screen.get());
        const unsigned char* row = cairo_image_surface_get_data(screen.get()) +
                                   y * cairo_image_surface_get_stride(screen.get());
        std::uint32_t pixel;
        std::memcpy(&pixel, row + 4 * x, sizeof pixel);
        return pixel & 0xFFFFFF;
    }

  private:
    platform::HeadlessBackend backend_;
    platform::WindowSystem windows_;
    HINSTANCE instance_ = nullptr;
};
