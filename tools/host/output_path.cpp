#include "output_path.h"

#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vellox::cli {

namespace fs = std::filesystem;

namespace {

fs::path Native(const std::string& utf8) {
#ifdef _WIN32
  return fs::u8path(utf8);
#else
  return fs::path(utf8);
#endif
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return fs::equivalent(Native(a), Native(b), error) && !error;
}

std::string FollowLinks(const std::string& path) {
#ifdef _WIN32
  return path;
#else
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat status {};
    if (lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return current;
    std::string target(4096, '\0');
    const ssize_t size = readlink(current.c_str(), target.data(), target.size());
    if (size <= 0) return current;
    target.resize(static_cast<size_t>(size));
    if (target.front() != '/') {
      const auto slash = current.find_last_of('/');
      if (slash != std::string::npos) target = current.substr(0, slash + 1) + target;
    }
    current = target;
  }
  return current;
#endif
}

bool CheckOutputPath(const std::string& path, std::string& error) {
  std::error_code ignored;
  const fs::path target = Native(FollowLinks(path));
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
