#include "ModuleFixture.h"

namespace vellox::test {

std::string BundlePath() { return VELLOX_BUNDLE_PATH; }

bool BundleBuilt() {
  std::string error;
  return !host::ModuleBinaryPath(BundlePath(), error).empty();
}

void ModuleTest::SetUp() {
  VELLOX_SKIP_WITHOUT_MODULE();
  std::string error;
  module_ = host::ModuleLibrary::Load(BundlePath(), error);
  ASSERT_TRUE(module_) << error;
}

void ModuleTest::TearDown() { module_.reset(); }

std::unique_ptr<host::PluginInstance> ModuleTest::NewInstance() {
  std::string error;
  auto instance = host::PluginInstance::Create(*module_, error);
  EXPECT_TRUE(instance) << error;
  return instance;
}

std::unique_ptr<host::PluginInstance> ModuleTest::StartedInstance(const host::ProcessConfig& config) {
  auto instance = NewInstance();
  if (!instance) return nullptr;
  std::string error;
  EXPECT_TRUE(instance->Start(config, error)) << error;
  return instance;
}

}  // namespace vellox::test
