#include "GuiTestSupport.h"

#include <png.h>

#include <cstdio>

#include "PIX_Bitmap.h"
#include "PIX_SysBitmap.h"

static std::string Format(const char* fmt, int a, int b = 0) {
  char text[64];
  std::snprintf(text, sizeof text, fmt, a, b);
  return text;
}

RecordingEffect::RecordingEffect(int kind)
    : IEffectBase(5, "1-1 2-2", 1, "Test", "", "Maker", MakeFourCC("Test"), MakeFourCC("Mkr1"), 0x20000, kind, 0, false,
                  false),
      adapterKind(kind) {
  GetParam(0)->Define("FADE", 5.0, 5.0, 50.0, 0.01, "", "", 1.0);
  GetParam(1)->Define("CHOP", 0.22, 0.0, 1.0, 0.01, "", "", 1.0);
  GetParam(2)->Define("DRY", 0.0, 0.0, 1.0, 0.01, "", "", 1.0);
  GetParam(3)->Define("OUTPUT", 0.0, -10.0, 10.0, 0.01, "dB", "", 1.0);
  GetParam(4)->SetType(kParamInteger);
  GetParam(4)->Define("BY", 0.0, 0.0, 1.0, 1.0, "", "", 1.0);
}

void RecordingEffect::OpenHostContextMenu(int index, int x, int y) {
  char text[64];
  std::snprintf(text, sizeof text, "menu %d %d %d", index, x, y);
  log.push_back(text);
}
void RecordingEffect::BeginHostEdit(int index) { log.push_back(Format("begin %d", index)); }
void RecordingEffect::SendHostEdit(int index, double normalized) {
  char text[64];
  std::snprintf(text, sizeof text, "send %d %.4g", index, normalized);
  log.push_back(text);
}
void RecordingEffect::EndHostEdit(int index) { log.push_back(Format("end %d", index)); }
void RecordingEffect::ResizeEditorFrame(int width, int height) {
  char text[64];
  std::snprintf(text, sizeof text, "resize %d %d", width, height);
  log.push_back(text);
}

ProbeControl::ProbeControl(IEffectBase* plug, const IBox& box, int paramIdx, std::vector<std::string>* log,
                           const char* name)
    : IControl(plug, box, paramIdx), mLog(log), mName(name) {}

void ProbeControl::Record(const std::string& what) { mLog->push_back(mName + " " + what); }
void ProbeControl::PointerDown(int x, int y, const IPointerMods& mods) {
  Record(Format("down %d %d", x, y) + (mods.right ? " right" : ""));
  IControl::PointerDown(x, y, mods);
}
void ProbeControl::PointerUp(int x, int y, const IPointerMods& mods) { Record("up"); }
void ProbeControl::PointerDrag(int x, int y, int dx, int dy, const IPointerMods& mods) {
  char text[64];
  std::snprintf(text, sizeof text, "drag %d %d", dx, dy);
  Record(text);
}
void ProbeControl::PointerDoubleClick(int x, int y, const IPointerMods& mods) { Record("dblclick"); }
void ProbeControl::WheelTurn(int x, int y, const IPointerMods& mods, int notches) {
  Record(Format("wheel %d", notches));
}
bool ProbeControl::KeyPress(int x, int y, KeyCode key) {
  Record(Format("key %d", key));
  return takesKeys;
}
void ProbeControl::PointerOver(int x, int y, const IPointerMods& mods) { Record("over"); }
void ProbeControl::PointerLeave() { Record("leave"); }
bool ProbeControl::Paint(IGraphics* graphics) {
  ++paintCount;
  return true;
}

bool Tick(IGraphics& graphics) {
  IBox box;
  if (!graphics.CollectDirtyBox(box)) return false;
  graphics.PaintRegion(box);
  return true;
}

PIX_MemBitmap* MakeStrip(int w, int h, int frames, unsigned (*colourOf)(int frame)) {
  auto* bitmap = new PIX_MemBitmap();
  bitmap->SetSize(w, h * frames);
  for (int y = 0; y < h * frames; ++y)
    for (int x = 0; x < w; ++x) bitmap->PixelBits()[y * bitmap->RowSpan() + x] = colourOf(y / h);
  return bitmap;
}

std::vector<unsigned char> EncodePng(int w, int h, int frames, unsigned (*colourOf)(int frame)) {
  std::vector<unsigned char> rgba(size_t(w) * h * frames * 4);
  for (int y = 0; y < h * frames; ++y)
    for (int x = 0; x < w; ++x) {
      unsigned p = colourOf(y / h);
      unsigned char* d = &rgba[(size_t(y) * w + x) * 4];
      d[0] = (p >> 16) & 0xFF;
      d[1] = (p >> 8) & 0xFF;
      d[2] = p & 0xFF;
      d[3] = p >> 24;
    }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(w);
  image.height = png_uint_32(h * frames);
  image.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr);
  std::vector<unsigned char> out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, rgba.data(), 0, nullptr)) out.clear();
  out.resize(size);
  return out;
}

unsigned PixelAt(const IGraphics& graphics, int x, int y) {
  const PIX_SysBitmap* s = graphics.DrawSurface();
  return s->PixelBits()[y * s->RowSpan() + x];
}

IPointerMods Left() {
  IPointerMods m;
  m.left = true;
  return m;
}

IPointerMods Right() {
  IPointerMods m;
  m.right = true;
  return m;
}
