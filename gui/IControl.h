#pragma once

#include <string>
#include <vector>

#include "IBox.h"
#include "IGuiTypes.h"

class IEffectBase;
class IGraphics;

// One element of the editor: paints itself into the graphics object's surface
// and reacts to pointer, wheel and key events, usually bound to one plug-in
// parameter whose normalised value it holds. Only the user-interface thread
// touches a control: host values reach it from the editor's own tick.
class IControl {
public:
  IControl(IEffectBase* plug, const IBox& box, int paramIdx = -1, const IBlendSpec& blend = IBlendSpec());
  virtual ~IControl();

  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  virtual void PointerDown(int x, int y, const IPointerMods& mods);
  virtual void PointerUp(int x, int y, const IPointerMods& mods) {}
  virtual void PointerDrag(int x, int y, int dx, int dy, const IPointerMods& mods) {}
  virtual void PointerDoubleClick(int x, int y, const IPointerMods& mods);
  virtual void WheelTurn(int x, int y, const IPointerMods& mods, int notches) {}
  virtual bool KeyPress(int x, int y, KeyCode key) { return false; }
  virtual void PointerOver(int x, int y, const IPointerMods& mods) {}
  virtual void PointerLeave() {}
  virtual bool Paint(IGraphics* graphics) = 0;
  virtual void ReceivePluginValue(double value);
  virtual void ReceiveUserValue(double value);
  virtual void ReceiveEnteredText(const char* text) {}
  virtual void SetHidden(bool hidden);
  virtual void SetGrayed(bool grayed);
  virtual bool HitTest(int x, int y);
  virtual void MarkChanged(bool notify);
  virtual void MarkPainted();
  virtual bool NeedsPaint();
  virtual void UnusedSlot19() {}  // holds its place: the slot order is fixed
  virtual void ReceiveLinkedValue(int position, double value);

  // Right-button prompt: a menu or text entry for the bound parameter.
  void AskUserForValue();

  double GetValue() const { return mValue; }
  void SetValue(double v) { mValue = v; }
  double DefaultValue() const { return mDefault; }
  int ParamIdx() const { return mParamIdx; }
  IEffectBase* GetPlug() const { return mPlug; }
  const IBox& Box() const { return mBox; }
  const IBox& TargetBox() const { return mTargetBox; }
  const IBlendSpec& Blend() const { return mBlend; }
  bool IsHidden() const { return mHidden; }
  bool IsGrayed() const { return mGrayed; }
  bool IsPending() const { return mPending; }
  void SetRange(double low, double high) {
    mRangeLow = low;
    mRangeHigh = high;
  }

  int EntryLength() const { return mEntryLength; }
  void SetEntryLength(int n) { mEntryLength = n; }
  ITextStyle& TextStyle() { return mTextStyle; }
  void SetPromptDisabled(bool b) { mPromptDisabled = b; }
  bool DoubleClickIsPress() const { return mDoubleClickIsPress; }
  void SetDoubleClickIsPress(bool b) { mDoubleClickIsPress = b; }
  bool HoverWhenGrayed() const { return mHoverWhenGrayed; }
  void SetHoverWhenGrayed(bool b) { mHoverWhenGrayed = b; }
  const std::string& Tooltip() const { return mTooltip; }
  void SetTooltip(const char* text) { mTooltip = text ? text : ""; }

  // Additional parameters the control follows.
  void AddLinkedParam(int paramIdx) { mLinks.push_back({paramIdx, 0.0}); }
  int NLinkedParams() const { return int(mLinks.size()); }
  int LinkedParamIdx(int position) const { return mLinks[position].paramIdx; }
  double LinkedValue(int position) const { return mLinks[position].value; }

  // The graphics object that owns the control; set when it is added.
  void AttachGraphics(IGraphics* graphics) { mGraphics = graphics; }

protected:
  struct LinkedParam {
    int paramIdx;
    double value;
  };

  // A pending control is painted once more after the paint that clears dirty.
  void SetPending() { mPending = true; }

  int mEntryLength = 7;
  ITextStyle mTextStyle;
  IEffectBase* mPlug;
  IGraphics* mGraphics = nullptr;
  IBox mBox;
  IBox mTargetBox;
  int mParamIdx;
  std::vector<LinkedParam> mLinks;
  double mValue = 0.0;
  double mDefault = -1.0;
  double mRangeLow = 0.0;
  double mRangeHigh = 1.0;
  bool mDirty = true;
  bool mPending = false;
  bool mHidden = false;
  bool mGrayed = false;
  bool mPromptDisabled = true;
  bool mDoubleClickIsPress = false;
  bool mHoverWhenGrayed = false;
  IBlendSpec mBlend;
  std::string mTooltip;
};

// 1-based frame of an N-frame strip for value v, rounding half up and kept
// within 1..N.
int FrameForValue(int frameCount, double value);

// Draws the frame of `artwork` matching `value` into `box`.
bool PaintFilmstripFrame(IGraphics* graphics, const IBitmapRef& artwork, const IBox& box, double value,
                         const IBlendSpec& blend);
