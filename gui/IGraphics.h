#pragma once

#include <atomic>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "../plug/IEditorLink.h"
#include "IBox.h"
#include "IGuiTypes.h"
#include "IMenuModel.h"

class IControl;
class IEffectBase;
class IParamSlot;
class PIX_IBitmap;
class PIX_MemBitmap;
class PIX_SysBitmap;

// The platform-independent editor: owns the controls (index 0 is the
// background, list order is paint order), the off-screen surface, the
// repaint rules and the input routing. A window layer derives from it and
// supplies the window slots; window handles are opaque pointers here.
class IGraphics : public IEditorLink {
public:
  IGraphics(IEffectBase* plug, int width, int height, int frameRate = 25);

  // --- virtual slots, in a fixed order (the UnusedSlot* entries only hold places) ---
  virtual bool PresentRegion(const IBox& box) = 0;
  virtual bool MeasureTextExtent(ITextStyle& style, const char* text, IBox& box);
  virtual void CancelTextEntry() = 0;
  virtual void SetEditorSize(int width, int height);
  virtual bool HasWindow();
  virtual const char* DrawingBackendName();
  virtual int ShowMessage(const char* text, const char* caption, int type) = 0;
  virtual IMenuModel* RunPopupMenu(IMenuModel* menu, const IBox& box) = 0;
  virtual void OpenTextEntry(IControl* control, const ITextStyle& style, const IBox& box, const char* text,
                             IParamSlot* param) = 0;
  virtual void HostDirectory(std::string& out) = 0;
  virtual void ModuleDirectory(std::string& out) = 0;
  virtual void DesktopDirectory(std::string& out) = 0;
  virtual void AppDataDirectory(std::string& out, bool allUsers) = 0;
  virtual void UserAppDataDirectory(std::string& out) = 0;
  // action 1 saves, anything else opens; extensions are space-separated words.
  virtual void AskForFile(std::string& fileName, int action, std::string& directory, const char* extensions) = 0;
  virtual bool AskForColour(IArgbColor& colour, const char* prompt) = 0;
  virtual bool OpenWebAddress(const char* address, const char* title, const char* confirmation,
                              const char* errorText) = 0;
  virtual int UnusedSlot17() { return 0; }
  virtual void* OpenEditorWindow(void* parent) = 0;
  virtual void UnusedSlot19() {}
  virtual void UnusedSlot20() {}
  virtual void CloseEditorWindow() = 0;
  virtual void* EditorWindowHandle() = 0;
  virtual bool ReadClipboardText(std::string& out) = 0;
  ~IGraphics() override;
  virtual void HidePointer() {}
  virtual void RestorePointer() {}
  virtual void UnusedSlot27() {}
  virtual PIX_IBitmap* LoadArtworkResource(int id, const char* fileName) = 0;
  // Called after the content scale changed: a window layer resizes its window
  // to the new device size. The controls are already marked for repainting.
  virtual void ContentScaleChanged() {}

  // --- plug-in side (IEditorLink) ---
  // Any thread: on the user-interface thread the controls take the value at
  // once (unless the user holds the parameter); on any other thread nothing
  // is touched and the next tick shows the slot's value (SyncParamValues).
  void PushParamToControls(int index, double value, bool isNormalized) override;
  void CreateDrawSurfaces() override;

  // User-interface thread: the controls bound or linked to the parameter
  // receive the value now (ReceivePluginValue, ReceiveLinkedValue).
  void ShowParamValue(int index, double value, bool isNormalized);
  // User-interface thread, on every tick and when a window opens: shows
  // every parameter whose value changed behind the editor's back (the host's
  // setParamNormalized or audio-block changes, a state restore, a program
  // change), whether or not audio is processed. A parameter inside an edit
  // gesture is left to the user's hand.
  void SyncParamValues();
  // User-interface thread: the editor itself has just set the parameter's
  // slot. The next sync then compares against that value, so a host that
  // moves the slot back before the tick is still shown.
  void NoteEditorEdit(int index);

  // --- building ---
  int AddControl(IControl* control);
  void AddBackground(IControl* control);
  // A missing artwork yields a reference with a null bitmap and zero size,
  // which paints nothing, and is counted by MissingArtworkCount.
  IBitmapRef LoadArtwork(int id, const char* fileName, int frameCount);
  int MissingArtworkCount() const { return mMissingArtwork; }
  void SetKeyCatcher(IControl* control);  // takes ownership

  // --- painting ---
  // Called once per timer tick: takes in the parameter values first, then
  // unites the boxes of the controls that need painting.
  bool CollectDirtyBox(IBox& box);
  bool PaintRegion(const IBox& box);
  bool DrawBitmapFrame(const IBitmapRef& artwork, const IBox& dest, int srcX, int srcY,
                       const IBlendSpec* blend = nullptr);
  bool DrawTextInBox(ITextStyle& style, const char* text, IBox& box, bool measure);
  // Fills a rectangle given in device pixels, limited to the device box of
  // the region being painted; for drawings finer than an editor pixel.
  bool FillDeviceRect(const IBox& device, uint32_t argb, float alpha);
  void AskForParamValue(IControl* control, IParamSlot* param, const IBox* box);

  // --- content scale ---
  // Device pixels per editor pixel, as the host's screen asks: 1 to 3. The
  // controls, their boxes and all routing stay in editor pixels; the draw
  // surface, the window and the pointer positions the window layer receives
  // are in device pixels. Factors above 1 draw the artwork's twins drawn at
  // twice the resolution (resampled for factors other than 2). Returns false,
  // changing nothing, for a factor outside 1..3. Called on any thread other
  // than the user-interface thread, the factor waits for that thread's next
  // tick: the surface and the artwork it frees may be in the painter's hands.
  bool SetContentScale(double scale);
  // The calling thread becomes the user-interface thread, the one the window
  // lives on (at first, the thread that made the editor).
  void AdoptCallingThread() { mUiThread = std::this_thread::get_id(); }
  double ContentScale() const { return mScale; }
  // Artwork ids plus this offset are the twins drawn at twice the resolution;
  // 0 (the default) means there are none and the artwork itself is resampled.
  void SetHiResArtworkOffset(int offset) { mHiResOffset = offset; }
  int ToDevice(int v) const { return mScale == 1.0 ? v : int(std::lround(v * mScale)); }
  IBox ToDevice(const IBox& box) const;
  // The smallest editor box whose device box covers `device`.
  IBox FromDevice(const IBox& device) const;
  // A pointer position in device pixels, in editor pixels.
  int PointFromDevice(int v) const { return mScale == 1.0 ? v : int(std::floor(v / mScale)); }
  int DeviceWidth() const { return ToDevice(mWidth); }
  int DeviceHeight() const { return ToDevice(mHeight); }

  // --- input routing ---
  int ControlAt(int x, int y);
  void DispatchPointerDown(int x, int y, const IPointerMods& mods);
  void DispatchPointerDrag(int x, int y, const IPointerMods& mods);
  void DispatchPointerUp(int x, int y, const IPointerMods& mods);
  void DispatchDoubleClick(int x, int y, const IPointerMods& mods);
  void DispatchWheel(int x, int y, const IPointerMods& mods, int notches);
  bool DispatchPointerOver(int x, int y, const IPointerMods& mods);
  void DispatchPointerLeave();
  bool DispatchKey(int x, int y, KeyCode key);
  // Drops the pointer capture (used before modal menus).
  void ReleasePointerCapture();
  // Wheel notches on one control make one host edit gesture; it ends about
  // 0.4 s (counted in ticks) after the last notch, when the pointer leaves, when
  // another gesture starts or when the window closes.
  void EndWheelGesture();
  // Ends every open host edit gesture (the window is going away).
  void EndAllGestures();
  int WheelGestureParam() const { return mWheelParam; }

  // --- accessors ---
  IEffectBase* GetPlug() const { return mPlug; }
  int NControls() const { return int(mControls.size()); }
  IControl* GetControl(int i) const { return mControls[size_t(i)]; }
  int CapturedControl() const { return mCaptured; }
  int HoveredControl() const { return mHovered; }
  int LastPointerX() const { return mLastX; }
  int LastPointerY() const { return mLastY; }
  bool HoverTracking() const { return mHoverTracking; }
  void SetHoverTracking(bool on) { mHoverTracking = on; }
  void SetStrictRepaint(bool on) { mStrictRepaint = on; }
  void SetTooltipsEnabled(bool on) { mTooltipsEnabled = on; }
  int FrameRate() const { return mFrameRate; }
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  const IBox& ClipBox() const { return mClipBox; }
  PIX_SysBitmap* DrawSurface() const { return mDrawSurface; }
  PIX_MemBitmap* ScratchBitmap() const { return mScratch; }
  // Marks every control changed, so the next tick repaints the whole editor.
  void MarkAllChanged();

protected:
  void DestroyControls();
  void DestroySurfaces();
  void CloseEditGesture();
  void AgeWheelGesture();
  bool InGesture(int param) const { return param >= 0 && (param == mOpenEditParam || param == mWheelParam); }

  IEffectBase* mPlug;
  IBox mClipBox;
  bool mPointerHidden = false;
  int mPointerX = -1;
  int mPointerY = -1;
  PIX_SysBitmap* mDrawSurface = nullptr;
  PIX_MemBitmap* mScratch = nullptr;
  int mWidth;
  int mHeight;
  int mFrameRate;
  int mCaptured = -1;
  int mHovered = -1;
  int mLastX = 0;
  int mLastY = 0;
  bool mHoverTracking = false;
  bool mStrictRepaint = true;
  bool mTooltipsEnabled = false;
  IControl* mKeyCatcher = nullptr;
  int mMissingArtwork = 0;
  int mOpenEditParam = -1;  // parameter of the host edit gesture a press opened
  int mWheelParam = -1;     // parameter of the open wheel gesture
  int mWheelIdleTicks = 0;

private:
  void PaintStrict(const IBox& box);
  void PaintChangedOnly();
  struct ScaledArtwork {
    const PIX_IBitmap* source;             // the artwork as loaded
    const PIX_IBitmap* bitmap;             // what is drawn: a twin, or `owned`
    std::shared_ptr<PIX_MemBitmap> owned;  // resampled frames, when made here
    int frameW, frameH;                    // one frame of `bitmap`
  };
  const ScaledArtwork* ArtworkAtScale(const IBitmapRef& artwork);
  bool DrawScaledFrame(const IBitmapRef& artwork, const IBox& dest, int srcX, int srcY, int mode, float weight);

  bool ApplyContentScale(double scale);
  // Applies a factor handed over from another thread, if one waits.
  void ApplyRequestedScale();

  double mScale = 1.0;
  // A factor set on another thread, NaN when none waits.
  std::atomic<double> mRequestedScale;
  // Read on any thread: a program change on the audio thread asks whether it
  // may touch the controls.
  std::atomic<std::thread::id> mUiThread{std::this_thread::get_id()};
  int mHiResOffset = 0;
  // Artwork as drawn at the current scale, made on first use after a change.
  std::vector<ScaledArtwork> mScaled;

  std::vector<IControl*> mControls;
  // The plain value each parameter slot held at the last sync.
  std::vector<double> mSeen;
  int mNParams = 0;
};
