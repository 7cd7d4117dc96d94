#pragma once
// Files handed to libsndfile through its virtual I/O, for what its own file
// access does not do. Linux builds with libsndfile only.
#include <sndfile.h>

#include <cstdint>
#include <vector>

namespace vellox::cli {

// A WAV written as a stream (RIFF and data sizes 0) seen with those sizes
// read as 0xFFFFFFFF, which libsndfile takes as "to the end of the file".
class StreamedWavView {
public:
  StreamedWavView(int fd, int64_t length, int64_t dataSizeAt) : mFd(fd), mLength(length), mDataSizeAt(dataSizeAt) {}
  ~StreamedWavView();
  SF_VIRTUAL_IO Io() const;

private:
  static sf_count_t Length(void* self);
  static sf_count_t Seek(sf_count_t offset, int whence, void* self);
  static sf_count_t Read(void* out, sf_count_t count, void* self);
  static sf_count_t Write(const void* in, sf_count_t count, void* self);
  static sf_count_t Tell(void* self);
  int mFd;
  int64_t mLength;
  int64_t mDataSizeAt;
  int64_t mPosition = 0;
};

// An output file written in large pieces that start and end on the file
// system's block boundaries: the library's small writes, each ending inside
// a block, make the kernel zero the rest of that block first.
class BufferedOutput {
public:
  explicit BufferedOutput(int fd);
  ~BufferedOutput();
  SF_VIRTUAL_IO Io() const;
  // Writes what is buffered and closes the file; false if any write failed.
  bool Close();

private:
  static sf_count_t Length(void* self);
  static sf_count_t Seek(sf_count_t offset, int whence, void* self);
  static sf_count_t Read(void* out, sf_count_t count, void* self);
  static sf_count_t Write(const void* in, sf_count_t count, void* self);
  static sf_count_t Tell(void* self);
  bool Flush();
  int mFd;
  bool mFailed = false;
  int64_t mPosition = 0;
  int64_t mLength = 0;       // of the file as written so far
  int64_t mBufferStart = 0;  // the file offset of mBuffer's first byte
  std::vector<unsigned char> mBuffer;
};

}  // namespace vellox::cli
