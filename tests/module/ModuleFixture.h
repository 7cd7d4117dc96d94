#pragma once
// Shared set-up for tests that need the built bundle. They skip with a clear
// message when the module has not been built into this build tree.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "module_library.h"
#include "plugin_instance.h"

namespace vellox::test {

// Where this build tree puts the bundle.
std::string BundlePath();
bool BundleBuilt();

class ModuleTest : public testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // A fresh initialised instance; fails the test if none can be made.
  std::unique_ptr<host::PluginInstance> NewInstance();
  // A fresh instance already started with `config`.
  std::unique_ptr<host::PluginInstance> StartedInstance(const host::ProcessConfig& config);

  std::unique_ptr<host::ModuleLibrary> module_;
};

}  // namespace vellox::test

#define VELLOX_SKIP_WITHOUT_MODULE()                                                        \
  do {                                                                                      \
    if (!::vellox::test::BundleBuilt())                                                     \
      GTEST_SKIP() << "the Vellox module is not built at " << ::vellox::test::BundlePath(); \
  } while (0)
