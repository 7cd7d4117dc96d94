#include "output_path.h"

#include <filesystem>
#include <system_error>

#include "platform.h"

namespace vellox::cli {

namespace fs = std::filesystem;

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return fs::equivalent(fs::u8path(a), fs::u8path(b), error) && !error;
}

std::string FollowLinks(const std::string& path) { return platform::FollowLinks(path); }

bool CheckOutputPath(const std::string& path, std::string& error) {
  std::error_code ignored;
  const fs::path target = fs::u8path(FollowLinks(path));
  if (fs::is_directory(target, ignored)) {
    error = "cannot write " + path + ": it is a folder";
    return false;
  }
  const fs::path folder = target.parent_path();
  if (!folder.empty() && !fs::is_directory(folder, ignored)) {
    error = "cannot write " + path + ": the folder " + folder.u8string() + " does not exist";
    return false;
  }
  return true;
}

}  // namespace vellox::cli
