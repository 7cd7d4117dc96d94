#pragma once
// An output file written under a temporary name beside its final one and
// renamed into place only when complete, so that a failed or interrupted
// write never leaves a partial file at the final name.
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
  std::string mFinal;
  std::string mTemporary;
  bool mCommitted = false;
};

}  // namespace vellox::cli
