// The editor window: class sharing, opening and reopening, painting through
// the timer, and the translation of pointer, wheel and key messages.

#include "EditorFixture.h"

#include <commctrl.h>

#include <algorithm>

#include "IControl.h"

namespace {

bool ClassRegistered() {
  WNDCLASSA info;
  return GetClassInfoA(GetModuleHandleA(nullptr), IGraphicsWin::WindowClassName(), &info) != 0;
}

RECT RectInParent(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace

TEST_F(EditorFixture, WindowClassIsSharedByOpenEditorsAndRemovedWithTheLast) {
  Build();
  RecordingPlug otherPlug;
  IGraphicsWin* other = new IGraphicsWin(&otherPlug, 100, 50, 25, GetModuleHandleA(nullptr));
  otherPlug.BindGraphics(other);
  HostWindow otherHost(300, 300);

  EXPECT_EQ(IGraphicsWin::WindowClassUsers(), 0);
  EXPECT_FALSE(ClassRegistered());
  // A child window cannot be made without a parent: nothing is counted.
  EXPECT_EQ(graphics->OpenEditorWindow(nullptr), nullptr);
  EXPECT_EQ(IGraphicsWin::WindowClassUsers(), 0);
  EXPECT_FALSE(ClassRegistered());
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(IGraphicsWin::WindowClassUsers(), 1);
  // A new editor window leaves the keyboard focus where the host has it.
  SetFocus(host.Top());
  HWND second = static_cast<HWND>(other->OpenEditorWindow(otherHost.Panel()));
  ASSERT_NE(second, nullptr);
  EXPECT_NE(GetFocus(), editor);
  EXPECT_NE(GetFocus(), second);
  EXPECT_EQ(IGraphicsWin::WindowClassUsers(), 2);

  char name[64] = {};
  GetClassNameA(editor, name, sizeof name);
  EXPECT_STREQ(name, "IEffectWndClass");
  EXPECT_TRUE(GetClassLongA(editor, GCL_STYLE) & CS_DBLCLKS);
  GetWindowTextA(editor, name, sizeof name);
  EXPECT_STREQ(name, "IEffect");
  EXPECT_EQ(GetWindowLongA(editor, GWL_STYLE) & (WS_CHILD | WS_VISIBLE), WS_CHILD | WS_VISIBLE);
  EXPECT_EQ(GetParent(editor), host.Panel());
  EXPECT_STREQ(graphics->DrawingBackendName(), "Windows GDI");

  graphics->CloseEditorWindow();
  EXPECT_EQ(IGraphicsWin::WindowClassUsers(), 1);
  EXPECT_TRUE(ClassRegistered());
  EXPECT_FALSE(graphics->HasWindow());
  EXPECT_FALSE(IsWindow(editor));
  graphics->CloseEditorWindow();  // closing twice changes nothing
  EXPECT_EQ(IGraphicsWin::WindowClassUsers(), 1);
  // The repaint timer has id 2.
  EXPECT_TRUE(KillTimer(second, 2));
  other->CloseEditorWindow();
  EXPECT_EQ(IGraphicsWin::WindowClassUsers(), 0);
  EXPECT_FALSE(ClassRegistered());
}

TEST_F(EditorFixture, ReopeningInTheSameParentKeepsOffsetAndSize) {
  Build();
  ASSERT_NE(Open(), nullptr);
  RECT r = RectInParent(editor);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right - r.left, 240);
  EXPECT_EQ(r.bottom - r.top, 120);

  SetWindowPos(editor, nullptr, 15, 25, 250, 130, SWP_NOZORDER | SWP_NOACTIVATE);
  HWND old = editor;
  // The host top-level window has a frame: the offset must still be measured
  // from the panel's client area.
  HWND again = static_cast<HWND>(graphics->OpenEditorWindow(host.Panel()));
  ASSERT_NE(again, nullptr);
  EXPECT_FALSE(IsWindow(old));
  EXPECT_EQ(IGraphicsWin::WindowClassUsers(), 1);
  r = RectInParent(again);
  EXPECT_EQ(r.left, 15);
  EXPECT_EQ(r.top, 25);
  EXPECT_EQ(r.right - r.left, 250);
  EXPECT_EQ(r.bottom - r.top, 130);

  // Reopening in a parent with a frame of its own works the same way.
  HWND framed = host.Top();
  SetWindowPos(again, nullptr, 7, 9, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
  SetParent(again, framed);
  SetWindowPos(again, nullptr, 7, 9, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
  HWND third = static_cast<HWND>(graphics->OpenEditorWindow(framed));
  ASSERT_NE(third, nullptr);
  r = RectInParent(third);
  EXPECT_EQ(r.left, 7);
  EXPECT_EQ(r.top, 9);
  EXPECT_EQ(graphics->HostParentWindow(), framed);
}

TEST_F(EditorFixture, TimerTicksPaintTheChangedControlsOnScreen) {
  Build();
  ASSERT_NE(Open(), nullptr);
  EXPECT_TRUE(ShowsColour(5, 5, backgroundArt.Colour(0)));
  // Parameter 0 at 5 of 0..20 is 0.25: frame 4 of 11 (2.5 rounds up).
  EXPECT_TRUE(ShowsColour(40, 40, knobArt.Colour(3)));
  EXPECT_TRUE(ShowsColour(115, 35, switchArt.Colour(0)));
  EXPECT_TRUE(PumpUntil([&] { return !knob->NeedsPaint(); }));

  // A value from the plug-in is shown within the next ticks, without any
  // paint being asked for by anyone but the timer.
  plug->GetParam(0)->SetFromNormalized(1.0);
  plug->GetParam(1)->SetFromNormalized(1.0);
  EXPECT_EQ(WindowPixel(editor, 40, 40), Rgb(knobArt.Colour(3)));
  EXPECT_TRUE(ShowsColour(40, 40, knobArt.Colour(10)));
  EXPECT_TRUE(ShowsColour(115, 35, switchArt.Colour(1)));
  EXPECT_TRUE(ShowsColour(5, 5, backgroundArt.Colour(0)));
  EXPECT_TRUE(PumpUntil([&] { return !knob->NeedsPaint() && !toggle->NeedsPaint(); }));
}

TEST_F(EditorFixture, PressDragAndReleaseEditTheKnobHoldingTheCapture) {
  Build();
  ASSERT_NE(Open(), nullptr);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, PointerAt(40, 40));
  EXPECT_EQ(GetCapture(), editor);
  EXPECT_EQ(GetFocus(), editor);
  EXPECT_EQ(graphics->CapturedControl(), 1);
  ASSERT_EQ(plug->events.size(), 1u);
  EXPECT_EQ(plug->events[0], "begin 0");

  // Ten pixels up on a 40-pixel knob with gearing 4: +0.0625.
  Send(WM_MOUSEMOVE, MK_LBUTTON, PointerAt(40, 30));
  EXPECT_DOUBLE_EQ(plug->LastEdit(0), 0.3125);
  // A move with no change reaches nothing.
  Send(WM_MOUSEMOVE, MK_LBUTTON, PointerAt(40, 30));
  EXPECT_EQ(plug->CountEvents("edit 0"), 1);
  // With shift held the step is ten times finer.
  Send(WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, PointerAt(40, 20));
  EXPECT_DOUBLE_EQ(plug->LastEdit(0), 0.31875);
  // Far outside the editor the captured knob still follows, up to its end.
  Send(WM_MOUSEMOVE, MK_LBUTTON, PointerAt(40, -300));
  EXPECT_DOUBLE_EQ(plug->LastEdit(0), 1.0);

  Send(WM_LBUTTONUP, 0, PointerAt(40, -300));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(plug->events.back(), "end 0");
  EXPECT_EQ(graphics->CapturedControl(), -1);

  // Without the capture a move with the button down drags nothing.
  const size_t before = plug->events.size();
  Send(WM_MOUSEMOVE, MK_LBUTTON, PointerAt(40, 50));
  EXPECT_EQ(plug->events.size(), before);

  EXPECT_TRUE(ShowsColour(40, 40, knobArt.Colour(10)));
}

TEST_F(EditorFixture, ClosingDuringADragEndsTheEditGesture) {
  Build();
  ASSERT_NE(Open(), nullptr);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, PointerAt(40, 40));
  Send(WM_MOUSEMOVE, MK_LBUTTON, PointerAt(40, 36));
  graphics->CloseEditorWindow();
  ASSERT_EQ(plug->events.size(), 3u);
  EXPECT_EQ(plug->events[0], "begin 0");
  EXPECT_EQ(plug->events[2], "end 0");
  EXPECT_EQ(graphics->CapturedControl(), -1);
  // Closing without a drag tells the host nothing.
  ASSERT_NE(Open(), nullptr);
  graphics->CloseEditorWindow();
  EXPECT_EQ(plug->events.size(), 3u);
}

TEST_F(EditorFixture, PressWithNoControlStillTakesFocusAndCapture) {
  Build();
  ASSERT_NE(Open(), nullptr);
  SetFocus(host.Top());
  Send(WM_LBUTTONDOWN, MK_LBUTTON, PointerAt(230, 110));
  EXPECT_EQ(GetCapture(), editor);
  EXPECT_EQ(GetFocus(), editor);
  EXPECT_EQ(graphics->CapturedControl(), -1);
  Send(WM_LBUTTONUP, 0, PointerAt(230, 110));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(plug->events.empty());
}

TEST_F(EditorFixture, MiddleAndRightButtonsReachRoutingWithTheirModifiers) {
  Build();
  RecordingControl* probe = new RecordingControl(plug, IBox(150, 60, 190, 90), 2);
  graphics->AddControl(probe);
  ASSERT_NE(Open(), nullptr);

  Send(WM_MBUTTONDOWN, MK_MBUTTON, PointerAt(160, 70));
  ASSERT_EQ(probe->presses.size(), 1u);
  EXPECT_FALSE(probe->presses[0].left);
  EXPECT_FALSE(probe->presses[0].right);
  EXPECT_EQ(plug->events.back(), "begin 2");
  Send(WM_MBUTTONUP, 0, PointerAt(160, 70));
  EXPECT_EQ(plug->events.back(), "end 2");

  // Adapter kind 1: the right button on a bound control opens the host's menu.
  Send(WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, PointerAt(30, 31));
  EXPECT_EQ(plug->events.back(), "menu 0 30 31");
  Send(WM_RBUTTONUP, 0, PointerAt(30, 31));

  Send(WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL | MK_SHIFT, PointerAt(160, 70));
  ASSERT_EQ(probe->presses.size(), 2u);
  EXPECT_TRUE(probe->presses[1].left);
  EXPECT_TRUE(probe->presses[1].control);
  EXPECT_TRUE(probe->presses[1].shift);
  EXPECT_FALSE(probe->presses[1].alt);
  Send(WM_LBUTTONUP, 0, PointerAt(160, 70));
}

TEST_F(EditorFixture, AltComesFromTheKeyStateOfTheMenuKeyHeldDown) {
  Build();
  RecordingControl* probe = new RecordingControl(plug, IBox(150, 60, 190, 90));
  graphics->AddControl(probe);
  ASSERT_NE(Open(), nullptr);
  BYTE saved[256];
  ASSERT_TRUE(GetKeyboardState(saved));
  BYTE state[256];
  std::copy(saved, saved + 256, state);

  state[VK_MENU] = 0x80;  // held down
  ASSERT_TRUE(SetKeyboardState(state));
  Send(WM_LBUTTONDOWN, MK_LBUTTON, PointerAt(160, 70));
  Send(WM_LBUTTONUP, 0, PointerAt(160, 70));
  state[VK_MENU] = 0x01;  // only toggled, not held
  ASSERT_TRUE(SetKeyboardState(state));
  Send(WM_LBUTTONDOWN, MK_LBUTTON, PointerAt(160, 70));
  Send(WM_LBUTTONUP, 0, PointerAt(160, 70));
  SetKeyboardState(saved);

  ASSERT_EQ(probe->presses.size(), 2u);
  EXPECT_TRUE(probe->presses[0].alt);
  EXPECT_FALSE(probe->presses[0].shift);
  EXPECT_FALSE(probe->presses[0].control);
  EXPECT_FALSE(probe->presses[1].alt);
}

TEST_F(EditorFixture, DoubleClickRestoresTheDefaultInsideAnEditGesture) {
  Build();
  ASSERT_NE(Open(), nullptr);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, PointerAt(40, 40));
  Send(WM_MOUSEMOVE, MK_LBUTTON, PointerAt(40, 20));
  Send(WM_LBUTTONUP, 0, PointerAt(40, 20));
  plug->events.clear();

  Send(WM_LBUTTONDBLCLK, MK_LBUTTON, PointerAt(40, 40));
  EXPECT_EQ(plug->events, (std::vector<std::string>{"begin 0", "edit 0 0.250000", "end 0"}));
  EXPECT_EQ(GetCapture(), nullptr);

  // A control taking double clicks as presses gets the capture.
  toggle->SetDoubleClickIsPress(true);
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON, PointerAt(110, 30));
  EXPECT_EQ(GetCapture(), editor);
  EXPECT_EQ(graphics->CapturedControl(), 2);
  EXPECT_EQ(plug->events.back(), "edit 1 1.000000");
  Send(WM_LBUTTONUP, 0, PointerAt(110, 30));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(EditorFixture, WheelPositionIsConvertedFromScreenCoordinates) {
  Build();
  ASSERT_NE(Open(), nullptr);
  POINT onKnob = {40, 40};
  ClientToScreen(editor, &onKnob);
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 3 * WHEEL_DELTA), PointerAt(onKnob.x, onKnob.y));
  EXPECT_NEAR(plug->LastEdit(0), 0.28, 1e-12);
  Send(WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, static_cast<WORD>(-2 * WHEEL_DELTA)), PointerAt(onKnob.x, onKnob.y));
  EXPECT_NEAR(plug->LastEdit(0), 0.278, 1e-12);
  // Half a notch is no notch.
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA / 2), PointerAt(onKnob.x, onKnob.y));
  EXPECT_NEAR(plug->LastEdit(0), 0.278, 1e-12);
  // The notches are one gesture, ended by the pointer leaving the editor.
  EXPECT_EQ(plug->CountEvents("begin"), 1);
  EXPECT_EQ(plug->CountEvents("end"), 0);
  Send(WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(plug->CountEvents("end"), 1);

  // The same client position taken as a screen position misses the knob.
  const size_t before = plug->events.size();
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), PointerAt(onKnob.x + 400, onKnob.y + 400));
  EXPECT_EQ(plug->events.size(), before);
}

TEST_F(EditorFixture, KeysNoControlTakesReachTheHostRootWindow) {
  Build();
  ASSERT_NE(Open(), nullptr);
  Send(WM_KEYDOWN, VK_F1, 0x003B0001);
  Send(WM_KEYUP, VK_F1, 0xC03B0001);
  Send(WM_KEYDOWN, VK_NUMPAD5, 0x004C0001);
  Send(WM_KEYDOWN, 'A', 0x001E0001);
  ASSERT_EQ(host.keys.size(), 4u);
  EXPECT_EQ(host.keys[0], std::make_pair(UINT(WM_KEYDOWN), WPARAM(VK_F1)));
  EXPECT_EQ(host.keys[1], std::make_pair(UINT(WM_KEYUP), WPARAM(VK_F1)));
  EXPECT_EQ(host.keys[2], std::make_pair(UINT(WM_KEYDOWN), WPARAM(VK_NUMPAD5)));
  EXPECT_EQ(host.keys[3], std::make_pair(UINT(WM_KEYDOWN), WPARAM('A')));
  EXPECT_EQ(host.keyFlags, (std::vector<LPARAM>{0x003B0001, LPARAM(0xC03B0001), 0x004C0001, 0x001E0001}));
}

TEST_F(EditorFixture, KeysTakenByAControlStayInTheEditor) {
  Build();
  RecordingControl* catcher = new RecordingControl(plug, IBox(0, 0, 0, 0));
  graphics->SetKeyCatcher(catcher);
  ASSERT_NE(Open(), nullptr);
  // The pointer is over no control of the editor: keys go to the catcher.
  POINT outside = {600, 500};
  SetCursorPos(outside.x, outside.y);
  Send(WM_KEYDOWN, 'A', 0x001E0001);
  Send(WM_KEYDOWN, '7', 0x00080001);
  Send(WM_KEYDOWN, VK_LEFT, 0x014B0001);
  Send(WM_KEYDOWN, VK_F1, 0x003B0001);
  EXPECT_EQ(catcher->keys, (std::vector<int>{15, 12, 3}));
  ASSERT_EQ(host.keys.size(), 1u);
  EXPECT_EQ(host.keys[0].second, WPARAM(VK_F1));

  catcher->takesKeys = false;
  Send(WM_KEYDOWN, VK_SPACE, 0x00390001);
  EXPECT_EQ(catcher->keys.back(), 0);
  ASSERT_EQ(host.keys.size(), 2u);
  EXPECT_EQ(host.keys[1].second, WPARAM(VK_SPACE));
}

TEST_F(EditorFixture, EditorSizeChangeResizesOnlyTheEditorWindowForThisAdapter) {
  for (int kind : {1, 3}) {
    SCOPED_TRACE(kind);
    Build(kind);
    ASSERT_NE(Open(), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return !WaitsForPaintAt(editor, {{0, 0}}); }));
    RECT panelBefore, topBefore;
    GetWindowRect(host.Panel(), &panelBefore);
    GetWindowRect(host.Top(), &topBefore);
    graphics->SetEditorSize(300, 150);
    RECT r;
    GetWindowRect(editor, &r);
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(r.bottom - r.top, 150);
    RECT panelAfter, topAfter;
    GetWindowRect(host.Panel(), &panelAfter);
    GetWindowRect(host.Top(), &topAfter);
    EXPECT_EQ(panelAfter.right - panelAfter.left, panelBefore.right - panelBefore.left);
    EXPECT_EQ(topAfter.bottom - topAfter.top, topBefore.bottom - topBefore.top);
    // The whole editor waits to be painted, not only the part uncovered.
    EXPECT_TRUE(WaitsForPaintAt(editor, {{0, 0}, {100, 60}, {230, 110}}));
    EXPECT_EQ(graphics->NControls(), 0);
    EXPECT_EQ(plug->events.back(), "resize 300 150");
    graphics->SetEditorSize(300, 150);  // same size: nothing
    EXPECT_EQ(plug->CountEvents("resize"), 1);
    delete plug;
    plug = nullptr;
  }
}

TEST_F(EditorFixture, EditorSizeChangeResizesTheParentsForOtherAdapters) {
  Build(2);
  ASSERT_NE(Open(), nullptr);
  RECT panelBefore, topBefore;
  GetWindowRect(host.Panel(), &panelBefore);
  GetWindowRect(host.Top(), &topBefore);
  graphics->SetEditorSize(250, 100);
  RECT panelAfter, topAfter;
  GetWindowRect(host.Panel(), &panelAfter);
  GetWindowRect(host.Top(), &topAfter);
  EXPECT_EQ(panelAfter.right - panelAfter.left, panelBefore.right - panelBefore.left + 10);
  EXPECT_EQ(panelAfter.bottom - panelAfter.top, panelBefore.bottom - panelBefore.top - 20);
  // The panel is itself a child, so its parent grows with it.
  EXPECT_EQ(topAfter.right - topAfter.left, topBefore.right - topBefore.left + 10);
  EXPECT_EQ(topAfter.bottom - topAfter.top, topBefore.bottom - topBefore.top - 20);

  // Opened directly in the top-level window, only that window follows.
  graphics->CloseEditorWindow();
  editor = static_cast<HWND>(graphics->OpenEditorWindow(host.Top()));
  ASSERT_NE(editor, nullptr);
  GetWindowRect(host.Top(), &topBefore);
  graphics->SetEditorSize(260, 90);
  GetWindowRect(host.Top(), &topAfter);
  EXPECT_EQ(topAfter.right - topAfter.left, topBefore.right - topBefore.left + 10);
  EXPECT_EQ(topAfter.bottom - topAfter.top, topBefore.bottom - topBefore.top - 10);
  RECT r;
  GetWindowRect(editor, &r);
  EXPECT_EQ(r.right - r.left, 260);
}

TEST_F(EditorFixture, TooltipFollowsTheHoveredControlWhenEnabled) {
  Build();
  toggle->SetTooltip("Bypass");
  graphics->SetHoverTracking(true);
  graphics->SetTooltipsEnabled(true);
  ASSERT_NE(Open(), nullptr);
  HWND tip = static_cast<HWND>(graphics->TooltipWindow());
  ASSERT_NE(tip, nullptr);
  char name[64] = {};
  GetClassNameA(tip, name, sizeof name);
  EXPECT_STREQ(name, "tooltips_class32");
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);

  Send(WM_MOUSEMOVE, 0, PointerAt(110, 30));
  EXPECT_EQ(graphics->HoveredControl(), 2);
  EXPECT_EQ(graphics->TooltipControl(), 2);
  Send(WM_MOUSEHOVER, 0, PointerAt(110, 30));
  EXPECT_TRUE(graphics->TooltipShown());
  char text[64] = {};
  TOOLINFOA tool = {};
  tool.cbSize = sizeof tool;
  tool.hwnd = editor;
  tool.uId = reinterpret_cast<UINT_PTR>(editor);
  tool.lpszText = text;
  SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, "Bypass");

  Send(WM_LBUTTONDOWN, MK_LBUTTON, PointerAt(110, 30));
  EXPECT_FALSE(graphics->TooltipShown());
  Send(WM_LBUTTONUP, 0, PointerAt(110, 30));
  Send(WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(graphics->HoveredControl(), -1);

  graphics->CloseEditorWindow();
  EXPECT_FALSE(IsWindow(tip));
  EXPECT_EQ(graphics->TooltipWindow(), nullptr);
  EXPECT_EQ(graphics->TooltipControl(), -1);
}

TEST_F(EditorFixture, HoverIsIgnoredWhileTrackingIsOff) {
  Build();
  ASSERT_NE(Open(), nullptr);
  Send(WM_MOUSEMOVE, 0, PointerAt(110, 30));
  EXPECT_EQ(graphics->HoveredControl(), -1);
  EXPECT_EQ(graphics->TooltipWindow(), nullptr);
}

TEST_F(EditorFixture, CloseMessageClosesTheEditorAndForeignMessagesAreLeftAlone) {
  Build();
  ASSERT_NE(Open(), nullptr);
  Send(WM_CLOSE, 0, 0);
  EXPECT_FALSE(graphics->HasWindow());
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_EQ(IGraphicsWin::WindowClassUsers(), 0);
  // Reopening works after a close from the window itself.
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(IGraphicsWin::WindowClassUsers(), 1);
}

TEST_F(EditorFixture, HostDestroyingItsWindowLeavesTheEditorClosed) {
  Build();
  ASSERT_NE(Open(), nullptr);
  graphics->OpenTextEntry(knob, knob->TextStyle(), knob->Box(), "1", plug->GetParam(0));
  ASSERT_NE(graphics->EntryWindow(), nullptr);
  DestroyWindow(host.Top());
  EXPECT_FALSE(graphics->HasWindow());
  EXPECT_EQ(graphics->EntryWindow(), nullptr);
  EXPECT_EQ(graphics->EntryControl(), nullptr);
  EXPECT_EQ(IGraphicsWin::WindowClassUsers(), 0);
  HostWindow another(60, 60);
  ASSERT_NE(graphics->OpenEditorWindow(another.Panel()), nullptr);
  EXPECT_EQ(IGraphicsWin::WindowClassUsers(), 1);
  graphics->CloseEditorWindow();
  // The class could not go while its last window was still being destroyed;
  // it goes with the next last window.
  EXPECT_FALSE(ClassRegistered());
}

TEST_F(EditorFixture, HostDestroyingTheParentDuringADragEndsTheEditGesture) {
  Build();
  HWND parent = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, host.Panel(), nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  editor = static_cast<HWND>(graphics->OpenEditorWindow(parent));
  ASSERT_NE(editor, nullptr);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, PointerAt(40, 40));
  Send(WM_MOUSEMOVE, MK_LBUTTON, PointerAt(40, 36));
  DestroyWindow(parent);
  EXPECT_FALSE(graphics->HasWindow());
  ASSERT_EQ(plug->events.size(), 3u);
  EXPECT_EQ(plug->events[0], "begin 0");
  EXPECT_EQ(plug->events[2], "end 0");
  EXPECT_EQ(graphics->CapturedControl(), -1);
}

TEST_F(EditorFixture, HostDestroyingTheParentTakesTheTooltipAlong) {
  Build();
  graphics->SetHoverTracking(true);
  graphics->SetTooltipsEnabled(true);
  HWND parent = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, host.Panel(), nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  editor = static_cast<HWND>(graphics->OpenEditorWindow(parent));
  ASSERT_NE(editor, nullptr);
  HWND tip = static_cast<HWND>(graphics->TooltipWindow());
  ASSERT_NE(tip, nullptr);
  DestroyWindow(parent);
  EXPECT_FALSE(graphics->HasWindow());
  EXPECT_EQ(graphics->TooltipWindow(), nullptr);
  EXPECT_FALSE(IsWindow(tip));
  EXPECT_EQ(IGraphicsWin::WindowClassUsers(), 0);
}

TEST(EmptyEditor, PaintRequestsAreSettledEvenWithNothingToPresent) {
  RecordingPlug plug;
  IGraphicsWin* graphics = new IGraphicsWin(&plug, 120, 60, 25, GetModuleHandleA(nullptr));
  plug.BindGraphics(graphics);
  EXPECT_FALSE(graphics->PresentRegion(IBox(0, 0, 10, 10)));  // no window yet
  HostWindow host;
  HWND editor = static_cast<HWND>(graphics->OpenEditorWindow(host.Panel()));
  ASSERT_NE(editor, nullptr);
  InvalidateRect(editor, nullptr, FALSE);
  UpdateWindow(editor);
  RECT pending;
  EXPECT_FALSE(GetUpdateRect(editor, &pending, FALSE));
  graphics->CloseEditorWindow();
}
