#include "IURLControl.h"

#include <cstring>

#include "IGraphics.h"

static void CopyText(char* dest, size_t size, const char* text) {
  if (!text) text = "";
  std::strncpy(dest, text, size - 1);
  dest[size - 1] = '\0';
}

IURLControl::IURLControl(IEffectBase* plug, const IBox& box, const char* address)
    : IControl(plug, box, -1, IBlendSpec(kBlendAlpha, 1.0f)) {
  CopyText(mAddress, sizeof mAddress, address);
}

void IURLControl::SetFallbackAddress(const char* address) {
  CopyText(mFallbackAddress, sizeof mFallbackAddress, address);
}

void IURLControl::PointerDown(int x, int y, const IPointerMods& mods) {
  if (!mGraphics) return;
  if (mAddress[0] && mGraphics->OpenWebAddress(mAddress, mTitle, nullptr, nullptr)) return;
  if (mFallbackAddress[0]) mGraphics->OpenWebAddress(mFallbackAddress, mTitle, nullptr, nullptr);
}
