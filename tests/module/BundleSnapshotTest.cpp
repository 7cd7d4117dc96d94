// The bundle's editor snapshot (Contents/Resources/Snapshots/<CID>_snapshot.png,
// painted at build time) against the editor as `vellox snapshot` shows it now.
#include <cstdio>

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
  std::string SnapshotPath() {
    PClassInfo ci{};
    EXPECT_EQ(module_->Factory()->getClassInfo(0, &ci), kResultOk);
    FUID::String cid{};
    FUID::fromTUID(ci.cid).toString(cid);
    return BundlePath() + "/Contents/Resources/Snapshots/" + cid + "_snapshot.png";
  }
};

TEST_F(BundleSnapshotTest, BundledPictureIsTheEditorAtItsDefaults) {
  host::RgbaImage bundled;
  std::string error;
  ASSERT_TRUE(host::ReadPngFile(SnapshotPath(), bundled, error)) << error;

  const std::string fresh = testing::TempDir() + "vellox_bundle_snapshot.png";
  std::remove(fresh.c_str());
  const CliResult r = RunVellox({"snapshot", "--out", fresh, "--plugin", BundlePath()});
  ASSERT_EQ(r.code, 0) << r.err;
  host::RgbaImage shown;
  ASSERT_TRUE(host::ReadPngFile(fresh, shown, error)) << error;

  ASSERT_EQ(bundled.width, shown.width);
  ASSERT_EQ(bundled.height, shown.height);
  EXPECT_EQ(bundled.width, 784);
  EXPECT_EQ(bundled.height, 184);
  size_t differing = 0;
  for (size_t i = 0; i < shown.pixels.size(); ++i) differing += bundled.pixels[i] != shown.pixels[i];
  EXPECT_EQ(differing, 0u);
  std::remove(fresh.c_str());
}

}  // namespace
}  // namespace vellox::test
