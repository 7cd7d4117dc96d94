// Finding the bundle as a host would, against staged folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "CliRunner.h"
#include "plugin_search.h"

namespace vellox::cli {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr const char* kBinary = "Contents/x86_64-win/Vellox.vst3";
#else
constexpr const char* kBinary = "Contents/x86_64-linux/Vellox.so";
#endif

class PluginSearchTest : public testing::Test {
protected:
  void SetUp() override {
    root_ = fs::u8path(scratch_.Path());
    fs::create_directories(root_ / "prefix" / "bin");
    context_.executableDir = (root_ / "prefix" / "bin").string();
    context_.home = (root_ / "home").string();
    context_.commonProgramFiles = (root_ / "Common Files").string();
  }

  static void Stage(const std::string& bundle) {
    const fs::path binary = fs::path(bundle) / kBinary;
    fs::create_directories(binary.parent_path());
    std::ofstream(binary) << "module";
  }

  test::ScratchDir scratch_;
  fs::path root_;
  SearchContext context_;
};

TEST_F(PluginSearchTest, PlacesComeInHostOrderStartingBesideTheProgram) {
  const auto places = PluginSearchPlaces(context_);
  ASSERT_GE(places.size(), 2u);
  EXPECT_EQ(fs::path(places[0].bundle), fs::path(context_.executableDir) / "Vellox.vst3");
#ifdef _WIN32
  ASSERT_EQ(places.size(), 2u);
  EXPECT_EQ(fs::path(places[1].bundle), fs::path(context_.commonProgramFiles) / "VST3" / "Vellox.vst3");
#else
  std::vector<std::string> bundles;
  for (const auto& p : places) bundles.push_back(p.bundle);
  const std::vector<std::string> expected = {
      context_.executableDir + "/Vellox.vst3", context_.home + "/.vst3/Vellox.vst3", "/usr/lib/vst3/Vellox.vst3",
      "/usr/local/lib/vst3/Vellox.vst3", (root_ / "prefix" / "lib" / "vst3" / "Vellox.vst3").string()};
  EXPECT_EQ(bundles, expected);
  // Installed in /usr/bin, the prefix folder is the system folder, listed once.
  SearchContext system = context_;
  system.executableDir = "/usr/bin";
  const auto systemPlaces = PluginSearchPlaces(system);
  EXPECT_EQ(std::count_if(systemPlaces.begin(), systemPlaces.end(),
                          [](const SearchPlace& p) { return p.bundle == "/usr/lib/vst3/Vellox.vst3"; }),
            1);
#endif
  for (const auto& p : places) EXPECT_FALSE(p.label.empty());
}

TEST_F(PluginSearchTest, TheFirstPlaceHoldingABundleWins) {
  // Staged from the last place to the first: each new one must take over.
  auto places = PluginSearchPlaces(context_);
  std::vector<SearchPlace> stageable;
  for (const auto& p : places)
    if (p.bundle.rfind(root_.string(), 0) == 0) stageable.push_back(p);
  ASSERT_GE(stageable.size(), 2u);
  SearchPlace found;
  std::string error;
  EXPECT_FALSE(FindPlugin(stageable, found, error));
  for (auto it = stageable.rbegin(); it != stageable.rend(); ++it) {
    Stage(it->bundle);
    ASSERT_TRUE(FindPlugin(stageable, found, error)) << error;
    EXPECT_EQ(found.bundle, it->bundle);
    EXPECT_EQ(found.label, it->label);
  }
}

TEST_F(PluginSearchTest, ABundleWithoutItsBinaryIsPassedOver) {
  std::vector<SearchPlace> places = {{(root_ / "a" / "Vellox.vst3").string(), "first"},
                                     {(root_ / "b" / "Vellox.vst3").string(), "second"}};
  fs::create_directories(fs::path(places[0].bundle) / "Contents");
  Stage(places[1].bundle);
  SearchPlace found;
  std::string error;
  ASSERT_TRUE(FindPlugin(places, found, error)) << error;
  EXPECT_EQ(found.label, "second");
}

TEST_F(PluginSearchTest, NotFoundNamesEveryPlaceOnOneLine) {
  const auto places = PluginSearchPlaces(context_);
  SearchPlace found;
  std::string error;
  if (FindPlugin(places, found, error)) GTEST_SKIP() << "a bundle is installed on this machine at " << found.bundle;
  EXPECT_EQ(error.rfind("plug-in not found", 0), 0u) << error;
  EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  for (const auto& p : places) EXPECT_NE(error.find(p.bundle), std::string::npos) << p.bundle;
  EXPECT_NE(error.find("--plugin"), std::string::npos);
}

TEST_F(PluginSearchTest, ANamedPluginIsTakenAsGiven) {
  SearchPlace chosen;
  std::string error;
  ASSERT_TRUE(ChoosePlugin("/some/where/Vellox.vst3", chosen, error));
  EXPECT_EQ(chosen.bundle, "/some/where/Vellox.vst3");
  EXPECT_EQ(chosen.label, "named by --plugin");
}

}  // namespace
}  // namespace vellox::cli
