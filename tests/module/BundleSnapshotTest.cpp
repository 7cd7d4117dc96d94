// The bundle's editor snapshot (Contents/Resources/Snapshots/<CID>_snapshot.png,
// painted at build time) against the editor as `vellox snapshot` shows it now.
#include <cstdio>
#include <cstdlib>

#include "CliRunner.h"
#include "ModuleFixture.h"
#include "rgba_image.h"

namespace vellox::test {
namespace {

using namespace Steinberg;

class BundleSnapshotTest : public ModuleTest {
protected:
  // The snapshot file named after the class id the factory answers, printed
  // the SDK's way.
  std::string SnapshotPath(const std::string& scaleSuffix = "") {
    PClassInfo ci{};
    EXPECT_EQ(module_->Factory()->getClassInfo(0, &ci), kResultOk);
    FUID::String cid{};
    FUID::fromTUID(ci.cid).toString(cid);
    return BundlePath() + "/Contents/Resources/Snapshots/" + cid + "_snapshot" + scaleSuffix + ".png";
  }
};

// Both pictures, at scale 1 and (named _2.0x) at scale 2.
TEST_F(BundleSnapshotTest, BundledPicturesAreTheEditorAtItsDefaults) {
  for (int scale = 1; scale <= 2; ++scale) {
    SCOPED_TRACE(scale);
    host::RgbaImage bundled;
    std::string error;
    ASSERT_TRUE(host::ReadPngFile(SnapshotPath(scale == 1 ? "" : "_2.0x"), bundled, error)) << error;

    const ScratchDir scratch;
    const std::string fresh = scratch.File("snapshot.png");
    const CliResult r =
        RunVellox({"snapshot", "--out", fresh, "--plugin", BundlePath(), "--scale", std::to_string(scale)});
    ASSERT_EQ(r.code, 0) << r.err;
    host::RgbaImage shown;
    ASSERT_TRUE(host::ReadPngFile(fresh, shown, error)) << error;

    ASSERT_EQ(bundled.width, shown.width);
    ASSERT_EQ(bundled.height, shown.height);
    EXPECT_EQ(bundled.width, 912 * scale);
    EXPECT_EQ(bundled.height, 376 * scale);
    size_t differing = 0;
    for (size_t i = 0; i < shown.pixels.size(); ++i) differing += bundled.pixels[i] != shown.pixels[i];
    EXPECT_EQ(differing, 0u);
  }
}

#ifndef _WIN32
// A DISPLAY that names no running server (a stale variable in a build
// environment) still gives the picture, painted off-screen, with a note.
TEST_F(BundleSnapshotTest, ADisplayThatDoesNotAnswerFallsBackToPaintingOffScreen) {
  const ScratchDir scratch;
  const char* previous = std::getenv("DISPLAY");
  const std::string saved = previous ? previous : "";
  setenv("DISPLAY", ":65000", 1);
  const CliResult r = RunVellox({"snapshot", "--out", scratch.File("p.png"), "--plugin", BundlePath()});
  if (previous)
    setenv("DISPLAY", saved.c_str(), 1);
  else
    unsetenv("DISPLAY");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "vellox: note: the X display \":65000\" does not answer; painted the editor off-screen\n");
  host::RgbaImage bundled, shown;
  std::string error;
  ASSERT_TRUE(host::ReadPngFile(SnapshotPath(), bundled, error)) << error;
  ASSERT_TRUE(host::ReadPngFile(scratch.File("p.png"), shown, error)) << error;
  EXPECT_EQ(shown.pixels, bundled.pixels);
}
#endif

}  // namespace
}  // namespace vellox::test
