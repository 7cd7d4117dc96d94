// System services of the window layer: directories, clipboard text, pointer
// hiding, artwork from the module's resources, and the text helpers behind
// them.

#include <climits>
#include <cstring>

#include "EditorFixture.h"
#include "PIX_Bitmap.h"
#include "WinTextUtil.h"

namespace {

std::string ExecutablePath() {
  char path[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return path;
}

std::string Environment(const char* name) {
  char value[MAX_PATH + 1] = {};
  const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
  return n > 0 && n < sizeof value ? std::string(value) : std::string();
}

bool PutClipboard(const wchar_t* text, size_t characters) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  bool ok = true;
  if (text) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, characters * sizeof(wchar_t));
    void* bytes = block ? GlobalLock(block) : nullptr;
    if (bytes) {
      std::memcpy(bytes, text, characters * sizeof(wchar_t));
      GlobalUnlock(block);
      ok = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    } else {
      ok = false;
    }
  }
  CloseClipboard();
  return ok;
}

}  // namespace

TEST(WinTextUtil, DirectoryOfAPathKeepsItsTrailingBackslash) {
  EXPECT_EQ(DirectoryOfPath("X:\\Hosts\\Daw.exe"), "X:\\Hosts\\");
  EXPECT_EQ(DirectoryOfPath("X:\\Hosts\\"), "");
  EXPECT_EQ(DirectoryOfPath("Daw.exe"), "");
  EXPECT_EQ(DirectoryOfPath(nullptr), "");
}

TEST(WinTextUtil, Utf16TextIsConvertedWithinItsBlock) {
  std::string out = "stale";
  const wchar_t bare[] = {L'a', L'\u00e9', L'c'};  // no terminator
  EXPECT_TRUE(Utf16BlockToUtf8(bare, 3, out));
  EXPECT_EQ(out,
            "a\xc3\xa9"
            "c");
  const wchar_t terminated[] = L"ab\0cd";
  EXPECT_TRUE(Utf16BlockToUtf8(terminated, 6, out));
  EXPECT_EQ(out, "ab");
  EXPECT_TRUE(Utf16BlockToUtf8(terminated, 0, out));
  EXPECT_EQ(out, "");
  out = "stale";
  EXPECT_FALSE(Utf16BlockToUtf8(nullptr, 4, out));
  EXPECT_EQ(out, "");
}

TEST(WinTextUtil, BoundedCopyAlwaysTerminates) {
  char out[4];
  CopyTextBounded(out, sizeof out, "abcdef");
  EXPECT_STREQ(out, "abc");
  CopyTextBounded(out, sizeof out, "abcdef", 2);
  EXPECT_STREQ(out, "ab");
  CopyTextBounded(out, sizeof out, nullptr);
  EXPECT_STREQ(out, "");
  const char unterminated[3] = {'x', 'y', 'z'};
  CopyTextBounded(out, sizeof out, unterminated, sizeof unterminated);
  EXPECT_STREQ(out, "xyz");
}

TEST(WinTextUtil, PngExtensionIsTestedWithoutCase) {
  EXPECT_TRUE(HasPngExtension("resources/img/BG.PNG"));
  EXPECT_TRUE(HasPngExtension("a.b.png"));
  EXPECT_FALSE(HasPngExtension("picture.jpg"));
  EXPECT_FALSE(HasPngExtension("picture.pngx"));
  EXPECT_FALSE(HasPngExtension("png"));
  EXPECT_FALSE(HasPngExtension(nullptr));
}

TEST(WinTextUtil, ExtensionFilterRepeatsThePatternAndLimitsItsLength) {
  std::string filter, def;
  ASSERT_TRUE(BuildExtensionFilter("png", filter, def));
  EXPECT_EQ(filter, std::string("*.png\0*.png\0\0", 13));
  EXPECT_EQ(def, "png");
  ASSERT_TRUE(BuildExtensionFilter(" txt  csv ", filter, def));
  EXPECT_EQ(filter, std::string("*.txt;*.csv\0*.txt;*.csv\0\0", 25));
  EXPECT_EQ(def, "txt");
  EXPECT_FALSE(BuildExtensionFilter("", filter, def));
  EXPECT_FALSE(BuildExtensionFilter("abcdefghijklmnop", filter, def));  // 16 characters
  EXPECT_TRUE(BuildExtensionFilter("abcdefghijklmno", filter, def));    // 15 characters
  // 21 words of "abcd" make a pattern of 21 * 6 + 20 = 146 characters.
  std::string many;
  for (int i = 0; i < 21; ++i) many += "abcd ";
  EXPECT_FALSE(BuildExtensionFilter(many.c_str(), filter, def));
  EXPECT_TRUE(filter.empty());
  EXPECT_TRUE(def.empty());
}

TEST(WinTextUtil, DecimalReadingStopsAtTheFirstMisplacedCharacter) {
  EXPECT_DOUBLE_EQ(ReadDecimalText("12.5"), 12.5);
  EXPECT_DOUBLE_EQ(ReadDecimalText("-.5"), -0.5);
  EXPECT_DOUBLE_EQ(ReadDecimalText("+7"), 7.0);
  EXPECT_DOUBLE_EQ(ReadDecimalText("7-3"), 7.0);
  EXPECT_DOUBLE_EQ(ReadDecimalText("1.2.3"), 1.2);
  EXPECT_DOUBLE_EQ(ReadDecimalText("1e3"), 1.0);
  EXPECT_DOUBLE_EQ(ReadDecimalText("-"), 0.0);
  EXPECT_DOUBLE_EQ(ReadDecimalText(""), 0.0);
  EXPECT_DOUBLE_EQ(ReadDecimalText("--5"), 0.0);
}

TEST(WinTextUtil, EntryCharactersDependOnTheParameterType) {
  for (int type : {1, 2, 3}) {
    EXPECT_TRUE(EntryAcceptsChar(true, type, '-'));
    EXPECT_TRUE(EntryAcceptsChar(true, type, '9'));
    EXPECT_FALSE(EntryAcceptsChar(true, type, '.'));
    EXPECT_FALSE(EntryAcceptsChar(true, type, 'a'));
    EXPECT_TRUE(EntryAcceptsChar(true, type, 8));
  }
  EXPECT_TRUE(EntryAcceptsChar(true, 4, '.'));
  EXPECT_TRUE(EntryAcceptsChar(true, 4, '+'));
  EXPECT_FALSE(EntryAcceptsChar(true, 4, 'e'));
  EXPECT_TRUE(EntryAcceptsChar(true, 0, 'e'));
  EXPECT_TRUE(EntryAcceptsChar(false, 4, 'e'));
}

TEST(WinTextUtil, VirtualKeysMapToKeyCodes) {
  EXPECT_EQ(KeyCodeForVirtualKey(VK_SPACE), 0);
  EXPECT_EQ(KeyCodeForVirtualKey(VK_UP), 1);
  EXPECT_EQ(KeyCodeForVirtualKey(VK_DOWN), 2);
  EXPECT_EQ(KeyCodeForVirtualKey(VK_LEFT), 3);
  EXPECT_EQ(KeyCodeForVirtualKey(VK_RIGHT), 4);
  EXPECT_EQ(KeyCodeForVirtualKey('0'), 5);
  EXPECT_EQ(KeyCodeForVirtualKey('9'), 14);
  EXPECT_EQ(KeyCodeForVirtualKey('A'), 15);
  EXPECT_EQ(KeyCodeForVirtualKey('Z'), 40);
  EXPECT_EQ(KeyCodeForVirtualKey(VK_F1), -1);
  EXPECT_EQ(KeyCodeForVirtualKey(VK_NUMPAD0), -1);
  EXPECT_EQ(KeyCodeForVirtualKey(VK_RETURN), -1);
}

class ServicesTest : public EditorFixture {};

TEST_F(ServicesTest, DirectoriesOfHostAndModuleEndWithABackslash) {
  Build();
  const std::string expected = DirectoryOfPath(ExecutablePath().c_str());
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(expected.back(), '\\');
  std::string out = "stale";
  graphics->HostDirectory(out);
  EXPECT_EQ(out, expected);
  out = "stale";
  graphics->ModuleDirectory(out);
  EXPECT_EQ(out, expected);

  std::string desktop, local, common, user;
  graphics->DesktopDirectory(desktop);
  graphics->AppDataDirectory(local, false);
  graphics->AppDataDirectory(common, true);
  graphics->UserAppDataDirectory(user);
  EXPECT_FALSE(desktop.empty());
  EXPECT_FALSE(local.empty());
  EXPECT_FALSE(common.empty());
  EXPECT_NE(local, common);
  EXPECT_EQ(user, local);
  // The local (not roaming) application data, and the one shared by all users.
  EXPECT_EQ(local, Environment("LOCALAPPDATA"));
  EXPECT_EQ(common, Environment("ProgramData"));
}

TEST_F(ServicesTest, ClipboardTextIsReadAsUtf8WithinItsBlock) {
  Build();
  ASSERT_NE(Open(), nullptr);
  const wchar_t text[] = L"h\u00e9llo \u2713";
  ASSERT_TRUE(PutClipboard(text, sizeof text / sizeof text[0]));
  std::string out;
  EXPECT_TRUE(graphics->ReadClipboardText(out));
  EXPECT_EQ(out, "h\xc3\xa9llo \xe2\x9c\x93");

  ASSERT_TRUE(PutClipboard(nullptr, 0));
  out = "stale";
  EXPECT_FALSE(graphics->ReadClipboardText(out));
  EXPECT_EQ(out, "");
}

TEST_F(ServicesTest, HiddenPointerReturnsToWhereItWas) {
  Build();
  ASSERT_TRUE(SetCursorPos(100, 120));
  graphics->HidePointer();
  EXPECT_TRUE(graphics->PointerHidden());
  graphics->HidePointer();  // hiding twice remembers the first place
  SetCursorPos(300, 310);
  graphics->RestorePointer();
  EXPECT_FALSE(graphics->PointerHidden());
  POINT p;
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 100);
  EXPECT_EQ(p.y, 120);
  graphics->RestorePointer();  // restoring twice does nothing
  GetCursorPos(&p);
  EXPECT_EQ(p.x, 100);
}

TEST_F(ServicesTest, ArtworkComesFromPngResourcesOfTheModule) {
  Build();
  PIX_IBitmap* strip = graphics->LoadArtworkResource(101, "img/strip.PNG");
  ASSERT_NE(strip, nullptr);
  EXPECT_EQ(strip->Width(), 4);
  EXPECT_EQ(strip->Height(), 8);
  EXPECT_EQ(strip->PixelBits()[0], 0xFFC8280Au);
  EXPECT_EQ(strip->PixelBits()[7 * strip->RowSpan()], 0x800A3CDCu);
  delete strip;

  EXPECT_EQ(graphics->LoadArtworkResource(101, "img/strip.jpg"), nullptr);
  EXPECT_EQ(graphics->LoadArtworkResource(101, "strip"), nullptr);
  EXPECT_EQ(graphics->LoadArtworkResource(102, "tiny.png"), nullptr);
  EXPECT_EQ(graphics->LoadArtworkResource(103, "broken.png"), nullptr);
  EXPECT_EQ(graphics->LoadArtworkResource(999, "missing.png"), nullptr);

  // Through the core's cache, as the effect loads its artwork.
  IBitmapRef ref = graphics->LoadArtwork(101, "strip.png", 2);
  ASSERT_NE(ref.bitmap, nullptr);
  EXPECT_EQ(ref.width, 4);
  EXPECT_EQ(ref.height, 8);
  EXPECT_EQ(ref.frameCount, 2);
  EXPECT_EQ(graphics->LoadArtwork(101, "strip.png", 2).bitmap, ref.bitmap);
}
