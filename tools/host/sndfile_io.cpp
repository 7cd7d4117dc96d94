#include "sndfile_io.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vellox::cli {

namespace {

constexpr size_t kPiece = 256 * 1024;  // a multiple of every file system block size

int64_t SeekTarget(int64_t position, int64_t length, sf_count_t offset, int whence) {
  const int64_t base = whence == SEEK_CUR ? position : whence == SEEK_END ? length : 0;
  return base + offset;
}

}  // namespace

StreamedWavView::~StreamedWavView() { close(mFd); }

SF_VIRTUAL_IO StreamedWavView::Io() const { return {Length, Seek, Read, Write, Tell}; }

sf_count_t StreamedWavView::Length(void* self) { return static_cast<StreamedWavView*>(self)->mLength; }
sf_count_t StreamedWavView::Tell(void* self) { return static_cast<StreamedWavView*>(self)->mPosition; }
sf_count_t StreamedWavView::Write(const void*, sf_count_t, void*) { return 0; }

sf_count_t StreamedWavView::Seek(sf_count_t offset, int whence, void* self) {
  auto* view = static_cast<StreamedWavView*>(self);
  const int64_t target = SeekTarget(view->mPosition, view->mLength, offset, whence);
  if (target < 0) return -1;
  return view->mPosition = target;
}

sf_count_t StreamedWavView::Read(void* out, sf_count_t count, void* self) {
  auto* view = static_cast<StreamedWavView*>(self);
  const ssize_t got = pread(view->mFd, out, static_cast<size_t>(count), view->mPosition);
  if (got <= 0) return 0;
  auto* bytes = static_cast<unsigned char*>(out);
  for (const int64_t field : {int64_t{4}, view->mDataSizeAt})
    for (int64_t at = std::max(field, view->mPosition); at < field + 4 && at < view->mPosition + got; ++at)
      bytes[at - view->mPosition] = 0xFF;
  view->mPosition += got;
  return got;
}

BufferedOutput::BufferedOutput(int fd) : mFd(fd) { mBuffer.reserve(kPiece); }

BufferedOutput::~BufferedOutput() { Close(); }

SF_VIRTUAL_IO BufferedOutput::Io() const { return {Length, Seek, Read, Write, Tell}; }

bool BufferedOutput::Close() {
  if (mFd < 0) return !mFailed;
  Flush();
  if (close(mFd) != 0) mFailed = true;
  mFd = -1;
  return !mFailed;
}

bool BufferedOutput::Flush() {
  for (size_t done = 0; done < mBuffer.size() && !mFailed;) {
    const ssize_t wrote =
        pwrite(mFd, mBuffer.data() + done, mBuffer.size() - done, mBufferStart + static_cast<int64_t>(done));
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) mFailed = true;
    done += wrote > 0 ? static_cast<size_t>(wrote) : 0;
  }
  mLength = std::max(mLength, mBufferStart + static_cast<int64_t>(mBuffer.size()));
  mBufferStart += static_cast<int64_t>(mBuffer.size());
  mBuffer.clear();
  return !mFailed;
}

sf_count_t BufferedOutput::Length(void* self) {
  auto* out = static_cast<BufferedOutput*>(self);
  return std::max(out->mLength, out->mBufferStart + static_cast<int64_t>(out->mBuffer.size()));
}

sf_count_t BufferedOutput::Tell(void* self) { return static_cast<BufferedOutput*>(self)->mPosition; }

sf_count_t BufferedOutput::Seek(sf_count_t offset, int whence, void* self) {
  auto* out = static_cast<BufferedOutput*>(self);
  const int64_t target = SeekTarget(out->mPosition, Length(self), offset, whence);
  if (target < 0) return -1;
  return out->mPosition = target;
}

sf_count_t BufferedOutput::Read(void* in, sf_count_t count, void* self) {
  auto* out = static_cast<BufferedOutput*>(self);
  if (!out->Flush()) return 0;
  const ssize_t got = pread(out->mFd, in, static_cast<size_t>(count), out->mPosition);
  if (got <= 0) return 0;
  out->mPosition += got;
  return got;
}

sf_count_t BufferedOutput::Write(const void* in, sf_count_t count, void* self) {
  auto* out = static_cast<BufferedOutput*>(self);
  // A write elsewhere (the header, at the end) starts a piece of its own.
  if (out->mPosition != out->mBufferStart + static_cast<int64_t>(out->mBuffer.size())) {
    if (!out->Flush()) return 0;
    out->mBufferStart = out->mPosition;
  }
  const auto* bytes = static_cast<const unsigned char*>(in);
  for (sf_count_t left = count; left > 0;) {
    // Pieces end on a multiple of their size, so that they start on one too.
    const int64_t end = out->mBufferStart + static_cast<int64_t>(out->mBuffer.size());
    const auto room = static_cast<sf_count_t>(kPiece - static_cast<size_t>(end % static_cast<int64_t>(kPiece)));
    const sf_count_t take = std::min(left, room);
    out->mBuffer.insert(out->mBuffer.end(), bytes, bytes + take);
    bytes += take;
    left -= take;
    if (take == room && !out->Flush()) return 0;
  }
  out->mPosition += count;
  return count;
}

}  // namespace vellox::cli
