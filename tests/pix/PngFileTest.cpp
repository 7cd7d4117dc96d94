#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "PIX_Png.h"
#include "PIX_SysBitmap.h"
#include "PixTestUtil.h"
#include "PngWriter.h"

namespace {
std::string TempPath(const std::string& name) { return testing::TempDir() + name; }

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
#ifdef _WIN32
  // Wide open, so UTF-8 names reach the file system intact.
  wchar_t wide[1024];
  ASSERT_GT(MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide, 1024), 0);
  FILE* f = _wfopen(wide, L"wb");
#else
  FILE* f = std::fopen(path.c_str(), "wb");
#endif
  ASSERT_NE(f, nullptr) << path;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

std::vector<unsigned char> TwoPixels() {
  PngImage img;
  img.width = 2, img.height = 2;
  img.rows = {0x10, 0x20, 0x30, 0x80, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  return EncodePng(img);
}
}  // namespace

TEST(PngFile, LoadsIntoNewBitmap) {
  const std::string path = TempPath("pix_two.png");
  WriteFile(path, TwoPixels());
  std::unique_ptr<PIX_IBitmap> bm(LoadPngFromFile(path.c_str()));
  ASSERT_TRUE(bm);
  EXPECT_EQ(Px(bm.get(), 0, 0), 0x80102030u);
  EXPECT_EQ(Px(bm.get(), 1, 1), Argb(12, 9, 10, 11));
  std::remove(path.c_str());
}

TEST(PngFile, LoadsIntoTargetsOfEitherRowOrder) {
  const std::string path = TempPath("pix_target.png");
  WriteFile(path, TwoPixels());
  PIX_SysBitmap surface(64, 64);
  EXPECT_EQ(LoadPngFromFile(path.c_str(), &surface), &surface);
  EXPECT_EQ(surface.Width(), 2);
  EXPECT_EQ(Px(&surface, 1, 0), Argb(4, 1, 2, 3));

  BottomUpBitmap upward;
  EXPECT_EQ(LoadPngFromFile(path.c_str(), &upward), &upward);
  EXPECT_EQ(Px(&upward, 0, 1), Argb(8, 5, 6, 7));
  EXPECT_EQ(upward.PixelBits()[0], Argb(8, 5, 6, 7));  // stored row 0 is the last row
  std::remove(path.c_str());
}

TEST(PngFile, Utf8NameAndMissingFile) {
  const std::string path = TempPath("pix_caf\xC3\xA9.png");
  WriteFile(path, TwoPixels());
  std::unique_ptr<PIX_IBitmap> bm(LoadPngFromFile(path.c_str()));
  EXPECT_TRUE(bm);
  EXPECT_EQ(LoadPngFromFile(TempPath("pix_missing.png").c_str()), nullptr);
  EXPECT_EQ(LoadPngFromFile(nullptr), nullptr);
#ifdef _WIN32
  wchar_t wide[1024];
  MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide, 1024);
  _wremove(wide);
#else
  std::remove(path.c_str());
#endif
}

TEST(PngFile, NotAPngFileGivesNull) {
  const std::string path = TempPath("pix_text.png");
  WriteFile(path, {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'});
  EXPECT_EQ(LoadPngFromFile(path.c_str()), nullptr);
  PIX_MemBitmap target;
  EXPECT_EQ(LoadPngFromFile(path.c_str(), &target), nullptr);
  std::remove(path.c_str());
}

TEST(PngRegistry, RecordDescribesAndChecksExtension) {
  ImageLoaderRecord* head = ImageLoaderListHead();
  ASSERT_NE(head, nullptr);
  const char* text = head->Description();
  EXPECT_STREQ(text, "PNG files (*.PNG)");
  EXPECT_STREQ(text + std::strlen(text) + 1, "*.PNG");

  const std::string dir = TempPath("");
  WriteFile(dir + "art.PNG", TwoPixels());
  WriteFile(dir + "art.png.bak", TwoPixels());
  std::unique_ptr<PIX_IBitmap> loaded(head->Load((dir + "art.PNG").c_str(), true, nullptr));
  EXPECT_TRUE(loaded);
  EXPECT_EQ(head->Load((dir + "art.png.bak").c_str(), true, nullptr), nullptr);
  std::unique_ptr<PIX_IBitmap> unchecked(head->Load((dir + "art.png.bak").c_str(), false, nullptr));
  EXPECT_TRUE(unchecked);
  EXPECT_EQ(head->Load("dir.png\\art", true, nullptr), nullptr);
  EXPECT_EQ(head->Load("dir.png/art", true, nullptr), nullptr);
  EXPECT_EQ(head->Load(nullptr, true, nullptr), nullptr);
  std::remove((dir + "art.PNG").c_str());
  std::remove((dir + "art.png.bak").c_str());
}
