#pragma once

#include <cstdint>
#include <string>

#include "../IGraphics.h"

// Text entry states, advanced by the editor window's timer.
enum TextEntryState : int {
  kEntryIdle = 0,
  kEntryFocused = 1,
  kEntrySettle = 2,
  kEntryCancel = 3,
  kEntryCommit = 4,
};

// The editor on Windows: a child window inside the host's parent window, a
// timer at the frame rate that drives repainting, translation of window
// messages into the core's input routing, the text entry, popup menus,
// dialogs and a few system services. Everything runs on the thread that owns
// the window. Window handles are opaque pointers here (HWND, HINSTANCE).
class IGraphicsWin : public IGraphics {
public:
  // moduleInstance: the module whose resources hold the artwork and which
  // owns the window class.
  IGraphicsWin(IEffectBase* plug, int width, int height, int frameRate, void* moduleInstance);
  ~IGraphicsWin() override;

  bool PresentRegion(const IBox& box) override;
  void CancelTextEntry() override;
  void SetEditorSize(int width, int height) override;
  bool HasWindow() override;
  const char* DrawingBackendName() override;
  int ShowMessage(const char* text, const char* caption, int type) override;
  IMenuModel* RunPopupMenu(IMenuModel* menu, const IBox& box) override;
  void OpenTextEntry(IControl* control, const ITextStyle& style, const IBox& box, const char* text,
                     IParamSlot* param) override;
  void HostDirectory(std::string& out) override;
  void ModuleDirectory(std::string& out) override;
  void DesktopDirectory(std::string& out) override;
  void AppDataDirectory(std::string& out, bool allUsers) override;
  void UserAppDataDirectory(std::string& out) override;
  void AskForFile(std::string& fileName, int action, std::string& directory, const char* extensions) override;
  bool AskForColour(IArgbColor& colour, const char* prompt) override;
  bool OpenWebAddress(const char* address, const char* title, const char* confirmation, const char* errorText) override;
  void* OpenEditorWindow(void* parent) override;
  void CloseEditorWindow() override;
  void* EditorWindowHandle() override { return mEditorWindow; }
  bool ReadClipboardText(std::string& out) override;
  void HidePointer() override;
  void RestorePointer() override;
  void UnusedSlot27() override {}
  PIX_IBitmap* LoadArtworkResource(int id, const char* fileName) override;
  void ContentScaleChanged() override;

  // --- inspection ---
  // Open editor windows of the process; the window class exists while > 0.
  static int WindowClassUsers();
  static const char* WindowClassName();
  void* EntryWindow() const { return mEntryWindow; }
  int EntryState() const { return mEntryState; }
  IControl* EntryControl() const { return mEntryControl; }
  void* TooltipWindow() const { return mTooltipWindow; }
  bool TooltipShown() const { return mTooltipShown; }
  int TooltipControl() const { return mTooltipControl; }
  void* HostParentWindow() const { return mHostParent; }
  // The window that owns message boxes, once found.
  void* HostTopLevelWindow() const { return mHostTopLevel; }
  const std::string& HostTopLevelClassName() const { return mHostClassName; }
  bool PointerHidden() const { return mPointerHidden; }

private:
  friend struct IGraphicsWinProcs;

  intptr_t HandleEditorMessage(void* window, unsigned message, uintptr_t wParam, intptr_t lParam);
  intptr_t HandleEntryMessage(void* window, unsigned message, uintptr_t wParam, intptr_t lParam);

  // Messages of the editor window.
  int EditorX(intptr_t lParam) const;
  int EditorY(intptr_t lParam) const;
  intptr_t OnTick();
  intptr_t OnPaint();
  intptr_t OnPress(uintptr_t wParam, intptr_t lParam);
  intptr_t OnRelease(uintptr_t wParam, intptr_t lParam);
  intptr_t OnDoubleClick(uintptr_t wParam, intptr_t lParam);
  intptr_t OnMove(uintptr_t wParam, intptr_t lParam);
  intptr_t OnWheel(uintptr_t wParam, intptr_t lParam);
  intptr_t OnKeyDown(unsigned message, uintptr_t wParam, intptr_t lParam);
  intptr_t PassKeyToHost(unsigned message, uintptr_t wParam, intptr_t lParam);
  intptr_t OnHover();
  intptr_t OnEntryColours(void* deviceContext);
  static IPointerMods ModsFromKeyState(uintptr_t wParam);

  // Window class and tooltips.
  void AcquireWindowClass();
  void ReleaseWindowClass();
  void ForgetDestroyedWindow();
  void EndInterruptedDrag();
  void CreateTooltip();
  void HideTooltip();

  // Text entry.
  void RunEntryStateStep();
  void CommitEntry();
  void TearDownEntry();
  // Clears the entry's fields and frees its font; the window is gone already.
  void ForgetEntry();

  // Host window search for message boxes.
  void FindHostTopLevelWindow();

  void* mModuleInstance;
  void* mEditorWindow = nullptr;
  void* mEntryWindow = nullptr;
  void* mTooltipWindow = nullptr;
  IControl* mEntryControl = nullptr;
  IParamSlot* mEntryParam = nullptr;
  intptr_t mEntrySavedProc = 0;
  int mEntryState = kEntryIdle;
  void* mEntryFont = nullptr;
  bool mTooltipShown = false;
  int mTooltipControl = -1;
  uint32_t* mCustomColours = nullptr;
  uint32_t mProcessId = 0;
  void* mHostTopLevel = nullptr;
  std::string mHostClassName;
  void* mHostParent = nullptr;
};
