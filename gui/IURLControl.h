#pragma once

#include "IControl.h"

// An invisible hot spot that opens a web address when pressed.
class IURLControl : public IControl {
public:
  IURLControl(IEffectBase* plug, const IBox& box, const char* address);

  void PointerDown(int x, int y, const IPointerMods& mods) override;
  bool Paint(IGraphics* graphics) override { return true; }

  const char* Address() const { return mAddress; }
  const char* FallbackAddress() const { return mFallbackAddress; }
  const char* Title() const { return mTitle; }
  void SetFallbackAddress(const char* address);

protected:
  char mAddress[256] = {};
  char mFallbackAddress[256] = {};
  char mTitle[1024] = {};
};
