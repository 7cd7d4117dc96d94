#pragma once

#include <gtest/gtest.h>

#include "IBitmapControl.h"
#include "IKnobControl.h"
#include "ISwitchControl.h"
#include "WinTestSupport.h"

// An editor of 240 x 120 with a 200 x 100 background (so the lower right
// corner has no control), an 11-frame knob on parameter 0 at (20, 20, 60, 60)
// and a 2-frame switch on parameter 1 at (100, 20, 130, 50), bound to a
// recording plug-in, and a host window to open it in.
class EditorFixture : public ::testing::Test {
protected:
  void Build(int adapterKind = 1) {
    plug = new RecordingPlug(adapterKind);
    graphics = new IGraphicsWin(plug, 240, 120, 25, GetModuleHandleA(nullptr));
    graphics->AddBackground(new IBitmapControl(plug, 0, 0, -1, backgroundArt.Ref(), kBlendReplace));
    knob = new IKnobMultiControl(plug, 20, 20, 0, knobArt.Ref());
    graphics->AddControl(knob);
    toggle = new ISwitchControl(plug, 100, 20, 1, switchArt.Ref());
    graphics->AddControl(toggle);
    plug->BindGraphics(graphics);
  }

  HWND Open() {
    editor = static_cast<HWND>(graphics->OpenEditorWindow(host.Panel()));
    return editor;
  }

  void TearDown() override {
    delete plug;  // deletes the graphics object, which closes its window
    plug = nullptr;
    PumpMessages(5);
  }

  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) { return SendMessageA(editor, message, wParam, lParam); }

  // Waits for the timer to show `colour` at (x, y) of the editor.
  bool ShowsColour(int x, int y, PixelWord colour) {
    return PumpUntil([&] { return WindowPixel(editor, x, y) == Rgb(colour); });
  }

  TestArtwork backgroundArt{200, 100, 1, 0x10};
  TestArtwork knobArt{40, 40, 11, 0x80};
  TestArtwork switchArt{30, 30, 2, 0xC0};
  HostWindow host;
  RecordingPlug* plug = nullptr;
  IGraphicsWin* graphics = nullptr;
  IKnobMultiControl* knob = nullptr;
  ISwitchControl* toggle = nullptr;
  HWND editor = nullptr;
};
