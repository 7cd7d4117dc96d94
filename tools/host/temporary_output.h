#pragma once
// An output file written under a temporary name beside its final one and
// renamed into place only when complete, so that a failed or interrupted
// write never leaves a partial file at the final name. A final path that is a
// symbolic link is written through: the file it points to is replaced.
#include <string>

namespace vellox::cli {

class TemporaryOutput {
public:
  explicit TemporaryOutput(std::string finalPath);
  ~TemporaryOutput();  // removes the temporary file unless committed

  TemporaryOutput(const TemporaryOutput&) = delete;
  TemporaryOutput& operator=(const TemporaryOutput&) = delete;

  const std::string& Path() const { return mTemporary; }

  // Replaces the final file with the temporary one; false with `error` set.
  bool Commit(std::string& error);

private:
  std::string mShown;  // as the user gave it
  std::string mFinal;
  std::string mTemporary;
  bool mCommitted = false;
};

}  // namespace vellox::cli
