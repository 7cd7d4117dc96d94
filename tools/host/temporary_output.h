#pragma once
// An output file written where it cannot be seen and put in place only when
// complete, so that a failed or interrupted write never leaves a partial file
// at the final name. On Linux the file has no name until then (O_TMPFILE), so
// even a killed process leaves nothing; elsewhere it is written under a hidden
// name beside the final one (".NAME.partial-PID"), removed on failure and on
// an interrupt, but left behind by a process killed outright.
// A final path that is a symbolic link is written through: the file it points
// to is replaced, keeping its permission bits. A final path that is a named
// pipe or a device is written directly.
#include <string>

namespace vellox::cli {

class TemporaryOutput {
public:
  explicit TemporaryOutput(std::string finalPath);
  ~TemporaryOutput();  // removes the temporary file unless committed

  TemporaryOutput(const TemporaryOutput&) = delete;
  TemporaryOutput& operator=(const TemporaryOutput&) = delete;

  // Where the writer writes: a name that opens the unnamed file, the hidden
  // temporary file, or the pipe or device itself.
  const std::string& Path() const { return mTemporary; }

  // Replaces the final file with the temporary one; false with `error` set.
  bool Commit(std::string& error);

private:
  std::string mShown;  // as the user gave it
  std::string mFinal;
  std::string mTemporary;
  int mUnnamed = -1;     // the descriptor of the unnamed file, where there is one
  int mKeptMode = -1;    // the replaced file's permission bits
  bool mDirect = false;  // writing to a pipe or a device
  bool mCommitted = false;
};

}  // namespace vellox::cli
