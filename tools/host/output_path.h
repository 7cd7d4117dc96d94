#pragma once
// Checks on the output path made before a render starts.
#include <string>

namespace vellox::cli {

// Whether both paths name one existing file (through links, on any spelling).
bool SameFile(const std::string& a, const std::string& b);

// The file a chain of symbolic links ends at; `path` itself when it is no link.
std::string FollowLinks(const std::string& path);

// False with `error` set when `path` cannot become a file: it is a folder, or
// the folder it would go in does not exist.
bool CheckOutputPath(const std::string& path, std::string& error);

}  // namespace vellox::cli
