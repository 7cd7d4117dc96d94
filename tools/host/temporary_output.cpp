#include "temporary_output.h"

#include "output_path.h"
#include "platform.h"

namespace vellox::cli {

namespace {

std::string TemporaryName(const std::string& finalPath) {
  const auto slash = finalPath.find_last_of("/\\");
  const std::string dir = slash == std::string::npos ? std::string() : finalPath.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? finalPath : finalPath.substr(slash + 1);
  return dir + "." + name + ".partial-" + std::to_string(platform::ProcessId());
}

std::string Folder(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

TemporaryOutput::TemporaryOutput(std::string finalPath)
    : mShown(std::move(finalPath)), mFinal(FollowLinks(mShown)), mTemporary(TemporaryName(mFinal)) {
  const platform::ExistingOutput existing = platform::InspectOutput(mShown);
  if (existing.special) {
    mDirect = true;
    mTemporary = mShown;
    return;
  }
  mKeptMode = existing.mode;
  std::string openPath;
  mUnnamed = platform::OpenUnnamedFile(Folder(mFinal), openPath);
  if (mUnnamed >= 0) {
    mTemporary = openPath;
    return;
  }
  platform::RemoveOnInterrupt(mTemporary);
}

TemporaryOutput::~TemporaryOutput() {
  if (mUnnamed >= 0) platform::CloseUnnamedFile(mUnnamed);
  if (mDirect || mUnnamed >= 0) return;
  if (!mCommitted) platform::RemoveFile(mTemporary.c_str());
  platform::ForgetOnInterrupt();
}

bool TemporaryOutput::Commit(std::string& error) {
  if (mDirect) return mCommitted = true;
  if (mKeptMode >= 0) platform::SetFileMode(mUnnamed, mTemporary, mKeptMode);
  const bool placed = mUnnamed >= 0 ? platform::NameUnnamedFile(mTemporary, mFinal, TemporaryName(mFinal))
                                    : platform::MoveOver(mTemporary, mFinal);
  if (!placed) {
    error = "cannot write " + mShown + ": cannot move the finished file into place";
    return false;
  }
  mCommitted = true;
  return true;
}

}  // namespace vellox::cli
