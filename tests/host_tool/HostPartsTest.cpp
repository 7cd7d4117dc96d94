// The host's own objects: queues, streams, text and bundle lookup.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "CliRunner.h"
#include "memory_stream.h"
#include "module_library.h"
#include "parameter_changes.h"
#include "utf16_text.h"

namespace vellox::host {
namespace {

using namespace Steinberg;

TEST(ParamValueQueueTest, KeepsPointsInOffsetOrderAndReplacesEqualOffsets) {
  auto queue = owned(new ParamValueQueue(3));
  queue->Reset(7);
  int32 index = -1;
  ASSERT_EQ(queue->addPoint(64, 0.9, index), kResultOk);
  EXPECT_EQ(index, 0);
  ASSERT_EQ(queue->addPoint(0, 0.2, index), kResultOk);
  EXPECT_EQ(index, 0);
  ASSERT_EQ(queue->addPoint(64, 0.7, index), kResultOk);
  EXPECT_EQ(index, 1);
  ASSERT_EQ(queue->getPointCount(), 2);
  int32 offset = 0;
  Vst::ParamValue value = 0;
  ASSERT_EQ(queue->getPoint(1, offset, value), kResultOk);
  EXPECT_EQ(offset, 64);
  EXPECT_EQ(value, 0.7);
  EXPECT_EQ(queue->getPoint(2, offset, value), kResultFalse);
  EXPECT_EQ(queue->getPoint(-1, offset, value), kResultFalse);
  ASSERT_EQ(queue->addPoint(10, 0.1, index), kResultOk);
  EXPECT_EQ(queue->addPoint(20, 0.1, index), kResultFalse) << "capacity is fixed";
  queue->Reset(8);
  EXPECT_EQ(queue->getPointCount(), 0);
  EXPECT_EQ(queue->getParameterId(), 8u);
}

TEST(ParameterChangesTest, OneQueuePerParameterUntilFull) {
  auto changes = owned(new ParameterChanges(2, 4));
  EXPECT_TRUE(changes->Add(3, 0, 0.1));
  EXPECT_TRUE(changes->Add(3, 5, 0.2));
  EXPECT_TRUE(changes->Add(4, 0, 0.3));
  EXPECT_FALSE(changes->Add(5, 0, 0.4));
  ASSERT_EQ(changes->getParameterCount(), 2);
  EXPECT_EQ(changes->getParameterData(0)->getParameterId(), 3u);
  EXPECT_EQ(changes->getParameterData(0)->getPointCount(), 2);
  EXPECT_EQ(changes->getParameterData(2), nullptr);
  changes->Clear();
  EXPECT_EQ(changes->getParameterCount(), 0);
  EXPECT_EQ(changes->getParameterData(0), nullptr);
  EXPECT_TRUE(changes->Add(9, 0, 1.0));
  EXPECT_EQ(changes->getParameterData(0)->getPointCount(), 1) << "a reused queue starts empty";
}

TEST(MemoryStreamTest, ShortReadsFailAndReportTheCount) {
  auto stream = owned(new MemoryStream());
  uint8_t bytes[6] = {1, 2, 3, 4, 5, 6};
  int32 moved = 0;
  ASSERT_EQ(stream->write(bytes, 6, &moved), kResultOk);
  EXPECT_EQ(moved, 6);
  int64 position = 0;
  ASSERT_EQ(stream->seek(2, IBStream::kIBSeekSet, &position), kResultOk);
  uint8_t back[8] = {};
  EXPECT_EQ(stream->read(back, 8, &moved), kResultFalse);
  EXPECT_EQ(moved, 4);
  EXPECT_EQ(back[0], 3);
  EXPECT_EQ(back[3], 6);
  EXPECT_EQ(stream->read(back, 1, nullptr), kResultFalse);
  EXPECT_EQ(stream->seek(-7, IBStream::kIBSeekEnd, nullptr), kInvalidArgument);
  ASSERT_EQ(stream->seek(-1, IBStream::kIBSeekEnd, &position), kResultOk);
  EXPECT_EQ(position, 5);
  ASSERT_EQ(stream->write(bytes, 2, nullptr), kResultOk);
  EXPECT_EQ(stream->Bytes(), (std::vector<uint8_t>{1, 2, 3, 4, 5, 1, 2}));
  EXPECT_EQ(stream->read(nullptr, 1, nullptr), kInvalidArgument);
}

TEST(Utf16TextTest, RoundTripsAndTruncatesSafely) {
  char16 text[8];
  Utf8ToUtf16("Gr\xC3\xBC\xC3\x9F dB \xF0\x9F\x8E\xB5", text, 8);  // ü, ß, then a note beyond the 16-bit range
  EXPECT_EQ(Utf16ToUtf8(text, 8), "Gr\xC3\xBC\xC3\x9F dB");        // the surrogate pair does not fit
  char16 wide[16];
  Utf8ToUtf16("\xF0\x9F\x8E\xB5!", wide, 16);
  EXPECT_EQ(Utf16ToUtf8(wide, 16), "\xF0\x9F\x8E\xB5!");
  Utf8ToUtf16(
      "a\xFF"
      "b",
      wide, 16);
  EXPECT_EQ(Utf16ToUtf8(wide, 16),
            "a\xEF\xBF\xBD"
            "b");
  const char16 lone[] = {0xD800, 'x', 0};
  EXPECT_EQ(Utf16ToUtf8(lone, 3), "\xEF\xBF\xBDx");
}

TEST(ModuleBinaryPathTest, FindsTheBinaryInsideABundle) {
  namespace fs = std::filesystem;
  const test::ScratchDir scratch;
  const fs::path root = fs::u8path(scratch.Path());
  const fs::path bundle = root / "Thing.vst3";
  std::string error;
  EXPECT_EQ(ModuleBinaryPath(bundle.string(), error), "");
  EXPECT_NE(error.find("plug-in not found"), std::string::npos) << error;

#ifdef _WIN32
  const fs::path binary = bundle / "Contents" / "x86_64-win" / "Thing.vst3";
#else
  const fs::path binary = bundle / "Contents" / "x86_64-linux" / "Thing.so";
#endif
  fs::create_directories(binary.parent_path());
  error.clear();
  EXPECT_EQ(ModuleBinaryPath(bundle.string(), error), "");
  EXPECT_NE(error.find("holds no module binary"), std::string::npos) << error;

  std::FILE* file = std::fopen(binary.string().c_str(), "wb");
  ASSERT_TRUE(file);
  std::fclose(file);
  EXPECT_EQ(fs::path(ModuleBinaryPath(bundle.string(), error)), binary);
  EXPECT_EQ(ModuleBinaryPath(binary.string(), error), binary.string());
  EXPECT_FALSE(ModuleLibrary::Load(bundle.string(), error)) << "an empty file is no module";
  EXPECT_NE(error.find("cannot load"), std::string::npos) << error;
}

}  // namespace
}  // namespace vellox::host
