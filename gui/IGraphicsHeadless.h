#pragma once

#include <string>

#include "IGraphics.h"

// An editor with no window: presents nothing and answers every window
// service with nothing or false. Used by tests and on platforms without a
// window layer, so the whole editor can be built, driven and painted
// off-screen.
class IGraphicsHeadless : public IGraphics {
public:
  // Embedded artwork by resource id: the PNG bytes and their size, or null
  // when the id is unknown.
  using ArtworkTable = const unsigned char* (*)(int id, int* size);

  IGraphicsHeadless(IEffectBase* plug, int width, int height, int frameRate = 25, ArtworkTable artwork = nullptr);

  bool PresentRegion(const IBox& box) override;
  void CancelTextEntry() override {}
  int ShowMessage(const char* text, const char* caption, int type) override { return 0; }
  IMenuModel* RunPopupMenu(IMenuModel* menu, const IBox& box) override;
  void OpenTextEntry(IControl* control, const ITextStyle& style, const IBox& box, const char* text,
                     IParamSlot* param) override {}
  void HostDirectory(std::string& out) override { out.clear(); }
  void ModuleDirectory(std::string& out) override { out.clear(); }
  void DesktopDirectory(std::string& out) override { out.clear(); }
  void AppDataDirectory(std::string& out, bool allUsers) override { out.clear(); }
  void UserAppDataDirectory(std::string& out) override { out.clear(); }
  void AskForFile(std::string& fileName, int action, std::string& directory, const char* extensions) override {
    fileName.clear();
  }
  bool AskForColour(IArgbColor& colour, const char* prompt) override { return false; }
  bool OpenWebAddress(const char* address, const char* title, const char* confirmation,
                      const char* errorText) override {
    return false;
  }
  void* OpenEditorWindow(void* parent) override { return nullptr; }
  void CloseEditorWindow() override {}
  void* EditorWindowHandle() override { return nullptr; }
  bool ReadClipboardText(std::string& out) override {
    out.clear();
    return false;
  }
  PIX_IBitmap* LoadArtworkResource(int id, const char* fileName) override;

  // Writes the draw surface to a PNG file (RGBA, straight alpha).
  bool WriteSurfacePng(const char* path) const;

  int PresentCount() const { return mPresentCount; }
  const IBox& LastPresented() const { return mLastPresented; }

private:
  ArtworkTable mArtwork;
  int mPresentCount = 0;
  IBox mLastPresented;
};
