// The choice between scaling on the CPU and a GPU renderer: a software rasteriser must never be
// taken for a GPU, and SDL_RENDER_DRIVER must always win.
#include "platform/sdl/render_path.h"

#include <gtest/gtest.h>

namespace platform::sdl {
namespace {

TEST(RenderPath, MesaSoftwareRasterisersAreKnownWhateverTheirSpelling) {
    EXPECT_TRUE(IsSoftwareRasteriser("llvmpipe (LLVM 15.0.6, 256 bits)"));
    EXPECT_TRUE(IsSoftwareRasteriser("softpipe"));
    EXPECT_TRUE(IsSoftwareRasteriser("Software Rasterizer (swrast)"));
    EXPECT_TRUE(IsSoftwareRasteriser("LLVMPIPE"));
    EXPECT_FALSE(IsSoftwareRasteriser("Mesa Intel(R) UHD Graphics 620 (KBL GT2)"));
    EXPECT_FALSE(IsSoftwareRasteriser("AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)"));
    EXPECT_FALSE(IsSoftwareRasteriser("NVIDIA GeForce GTX 1060/PCIe/SSE2"));
}

TEST(RenderPath, AGpuGetsTheRendererAnythingElseTheCpuUnlessSdlRenderDriverSays) {
    EXPECT_EQ(ChooseRenderPath("", std::string("Mesa Intel(R) Iris(R) Xe Graphics")).path,
              RenderPath::Renderer);
    EXPECT_EQ(ChooseRenderPath("", std::string("llvmpipe (LLVM 15.0.6, 256 bits)")).path,
              RenderPath::Cpu);
    EXPECT_EQ(ChooseRenderPath("", std::nullopt).path, RenderPath::Cpu);
    EXPECT_EQ(ChooseRenderPath("", std::string()).path, RenderPath::Cpu);
    EXPECT_TRUE(ChooseRenderPath("", std::string("NVIDIA GeForce")).driver.empty());
    EXPECT_EQ(ChooseRenderPath("software", std::string("NVIDIA GeForce")).path, RenderPath::Cpu);
    const RenderChoice gl = ChooseRenderPath("opengl", std::string("llvmpipe"));
    EXPECT_EQ(gl.path, RenderPath::Renderer);
    EXPECT_EQ(gl.driver, "opengl");
    EXPECT_EQ(ChooseRenderPath("opengles2", std::nullopt).driver, "opengles2");
}

}  // namespace
}  // namespace platform::sdl
