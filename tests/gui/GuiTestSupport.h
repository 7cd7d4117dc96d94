#pragma once

#include <memory>
#include <string>
#include <vector>

#include "IControl.h"
#include "IGraphicsHeadless.h"
#include "IEffectBase.h"

class PIX_MemBitmap;

// A plug-in base that records every host-side call the editor makes, in
// order, e.g. "begin 2", "send 2 0.6", "end 2", "menu 2 10 20".
class RecordingEffect : public IEffectBase {
public:
  explicit RecordingEffect(int adapterKind = 1);

  void OpenHostContextMenu(int index, int x, int y) override;
  void BeginHostEdit(int index) override;
  void SendHostEdit(int index, double normalized) override;
  void EndHostEdit(int index) override;
  void ResizeEditorFrame(int width, int height) override;
  int AdapterKind() override { return adapterKind; }

  int adapterKind;
  std::vector<std::string> log;
};

// A control that records what reaches it into a shared log and can be told
// to take keys.
class ProbeControl : public IControl {
public:
  ProbeControl(IEffectBase* plug, const IBox& box, int paramIdx, std::vector<std::string>* log, const char* name);

  void PointerDown(int x, int y, const IPointerMods& mods) override;
  void PointerUp(int x, int y, const IPointerMods& mods) override;
  void PointerDrag(int x, int y, int dx, int dy, const IPointerMods& mods) override;
  void PointerDoubleClick(int x, int y, const IPointerMods& mods) override;
  void WheelTurn(int x, int y, const IPointerMods& mods, int notches) override;
  bool KeyPress(int x, int y, KeyCode key) override;
  void PointerOver(int x, int y, const IPointerMods& mods) override;
  void PointerLeave() override;
  bool Paint(IGraphics* graphics) override;

  bool takesKeys = false;
  int paintCount = 0;

private:
  void Record(const std::string& what);
  std::vector<std::string>* mLog;
  std::string mName;
};

// One timer tick as the window layer performs it; true when something was
// painted.
bool Tick(IGraphics& graphics);

// A vertical strip of `frames` frames of w x h; every pixel of frame k is
// colourOf(k).
PIX_MemBitmap* MakeStrip(int w, int h, int frames, unsigned (*colourOf)(int frame));

// Encodes a w x h RGBA image (straight alpha, one colour per frame band) as
// PNG bytes with libpng's writer.
std::vector<unsigned char> EncodePng(int w, int h, int frames, unsigned (*colourOf)(int frame));

unsigned PixelAt(const IGraphics& graphics, int x, int y);

IPointerMods Left();
IPointerMods Right();
