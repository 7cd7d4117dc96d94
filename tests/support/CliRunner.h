#pragma once
// Runs the `vellox` command line in-process, through the same entry main()
// calls, capturing its exit code and both output streams; and a private
// scratch folder for the files one test makes.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "cli.h"

namespace vellox::test {

struct CliResult {
  int code;
  std::string out;
  std::string err;
};

inline CliResult RunVellox(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  cli::Console console{out, err, false};
  const int code = cli::RunCli(args, console);
  return {code, out.str(), err.str()};
}

// A folder of its own under the test temporary folder, removed with
// everything in it when the object goes. Paths are UTF-8 with '/' separators.
class ScratchDir {
public:
  ScratchDir() {
    static std::atomic<unsigned> gCounter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    std::error_code error;
    for (unsigned attempt = 0; attempt < 100 && mPath.empty(); ++attempt) {
      const std::string name =
          testing::TempDir() + "vellox-" + std::to_string(stamp) + "-" + std::to_string(gCounter++);
      if (std::filesystem::create_directory(std::filesystem::u8path(name), error)) mPath = name + "/";
    }
    EXPECT_FALSE(mPath.empty()) << "no scratch folder under " << testing::TempDir();
  }
  ~ScratchDir() {
    std::error_code ignored;
    if (!mPath.empty()) std::filesystem::remove_all(std::filesystem::u8path(mPath), ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // The folder, ending in '/'.
  const std::string& Path() const { return mPath; }
  std::string File(const std::string& name) const { return mPath + name; }
  // The names in the folder, sorted.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(mPath), error))
      names.push_back(entry.path().filename().u8string());
    std::sort(names.begin(), names.end());
    return names;
  }

private:
  std::string mPath;
};

}  // namespace vellox::test
