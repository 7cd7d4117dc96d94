// The text entry opened for a parameter: its initial text, the characters it
// accepts, and the states that commit or cancel it on the next tick.

#include "EditorFixture.h"
#include "IControl.h"
#include "IParamSlot.h"

namespace {

// The entry's control id, as a change notification from it carries.
constexpr int kEntryControlIdForTest = 99;

std::string EntryText(IGraphicsWin* graphics) {
  char text[64] = {};
  GetWindowTextA(static_cast<HWND>(graphics->EntryWindow()), text, sizeof text);
  return text;
}

void Type(IGraphicsWin* graphics, const char* characters) {
  HWND entry = static_cast<HWND>(graphics->EntryWindow());
  for (const char* c = characters; *c; ++c) SendMessageA(entry, WM_CHAR, WPARAM(static_cast<unsigned char>(*c)), 1);
}

void PressKey(IGraphicsWin* graphics, WPARAM key) {
  SendMessageA(static_cast<HWND>(graphics->EntryWindow()), WM_KEYDOWN, key, 1);
}

}  // namespace

class EntryTest : public EditorFixture {
protected:
  // A right press on the knob asks for its value (adapter kind 2 lets the
  // press reach the control; prompts are enabled for the test).
  void OpenEntryOnKnob(int alignment = TextAlignCentre) {
    Build(2);
    knob->SetPromptDisabled(false);
    knob->TextStyle().alignment = alignment;
    ASSERT_NE(Open(), nullptr);
    PumpMessages(10);
    Send(WM_RBUTTONDOWN, MK_RBUTTON, PointerAt(40, 40));
    Send(WM_RBUTTONUP, 0, PointerAt(40, 40));
    ASSERT_NE(graphics->EntryWindow(), nullptr);
    plug->events.clear();
  }
};

TEST_F(EntryTest, OpensOverTheControlWithTheValueSelected) {
  OpenEntryOnKnob();
  HWND entry = static_cast<HWND>(graphics->EntryWindow());
  EXPECT_EQ(EntryText(graphics), "5.00");
  DWORD start = 0, end = 0;
  SendMessageA(entry, EM_GETSEL, WPARAM(&start), LPARAM(&end));
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 4u);
  EXPECT_EQ(GetFocus(), entry);
  EXPECT_EQ(GetDlgCtrlID(entry), 99);
  char name[16] = {};
  GetClassNameA(entry, name, sizeof name);
  EXPECT_STRCASEEQ(name, "EDIT");
  // A 40 x 16 prompt box centred on the knob, one pixel larger each way.
  RECT r;
  GetWindowRect(entry, &r);
  MapWindowPoints(nullptr, editor, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 20);
  EXPECT_EQ(r.top, 32);
  EXPECT_EQ(r.right - r.left, 41);
  EXPECT_EQ(r.bottom - r.top, 17);
  const LONG style = GetWindowLongA(entry, GWL_STYLE);
  EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL),
            LONG(WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL));
  EXPECT_TRUE(style & ES_CENTER);
  // The entry's own font, made from the control's text style.
  LOGFONTA font = {};
  HFONT handle = reinterpret_cast<HFONT>(SendMessageA(entry, WM_GETFONT, 0, 0));
  ASSERT_NE(handle, nullptr);
  ASSERT_NE(GetObjectA(handle, sizeof font, &font), 0);
  EXPECT_EQ(font.lfHeight, knob->TextStyle().size);
  EXPECT_STREQ(font.lfFaceName, knob->TextStyle().faceName);
  EXPECT_NE(font.lfWeight, FW_BOLD);
  EXPECT_FALSE(font.lfItalic);
  EXPECT_EQ(graphics->EntryState(), kEntryIdle);
  EXPECT_EQ(graphics->EntryControl(), knob);
}

TEST_F(EntryTest, ReturnCommitsTheTypedNumberOnTheNextTick) {
  OpenEntryOnKnob();
  Type(graphics, "1a2.x5");
  EXPECT_EQ(EntryText(graphics), "12.5");
  PressKey(graphics, VK_RETURN);
  EXPECT_EQ(graphics->EntryState(), kEntryCommit);
  EXPECT_TRUE(plug->events.empty());
  ASSERT_TRUE(PumpUntil([&] { return graphics->EntryWindow() == nullptr; }));
  ASSERT_EQ(plug->events.size(), 1u);
  EXPECT_EQ(plug->events[0], "edit 0 0.625000");
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.625);
  EXPECT_EQ(graphics->EntryState(), kEntryIdle);
}

TEST_F(EntryTest, AcceptsAtMostTheControlsEntryLength) {
  // Left-aligned: Wine's centred multi-line edit refuses text wider than
  // its box, which would hide the length limit.
  OpenEntryOnKnob(TextAlignLeft);
  EXPECT_FALSE(GetWindowLongA(static_cast<HWND>(graphics->EntryWindow()), GWL_STYLE) & (ES_CENTER | ES_RIGHT));
  Type(graphics, "123456789");
  EXPECT_EQ(EntryText(graphics), "1234567");
  // Signs are accepted anywhere; the number read stops at the misplaced one.
  SendMessageA(static_cast<HWND>(graphics->EntryWindow()), EM_SETSEL, 0, -1);
  Type(graphics, "7-3");
  EXPECT_EQ(EntryText(graphics), "7-3");
  PressKey(graphics, VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return graphics->EntryWindow() == nullptr; }));
  EXPECT_EQ(plug->events.back(), "edit 0 0.350000");
}

TEST_F(EntryTest, EscapeAndTheWheelCancel) {
  OpenEntryOnKnob();
  Type(graphics, "9");
  PressKey(graphics, VK_ESCAPE);
  EXPECT_EQ(graphics->EntryState(), kEntryCancel);
  ASSERT_TRUE(PumpUntil([&] { return graphics->EntryWindow() == nullptr; }));
  EXPECT_TRUE(plug->events.empty());
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.25);

  Send(WM_RBUTTONDOWN, MK_RBUTTON, PointerAt(40, 40));
  Send(WM_RBUTTONUP, 0, PointerAt(40, 40));
  ASSERT_NE(graphics->EntryWindow(), nullptr);
  plug->events.clear();
  Type(graphics, "9");
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), PointerAt(0, 0));
  EXPECT_EQ(graphics->EntryState(), kEntryCancel);
  ASSERT_TRUE(PumpUntil([&] { return graphics->EntryWindow() == nullptr; }));
  EXPECT_TRUE(plug->events.empty());
}

TEST_F(EntryTest, APressOnTheEditorCommitsAndGoesNoFurther) {
  OpenEntryOnKnob();
  Type(graphics, "2");
  Send(WM_LBUTTONDOWN, MK_LBUTTON, PointerAt(110, 30));
  EXPECT_EQ(graphics->EntryState(), kEntryCommit);
  EXPECT_EQ(GetCapture(), nullptr);
  Send(WM_LBUTTONUP, 0, PointerAt(110, 30));
  ASSERT_TRUE(PumpUntil([&] { return graphics->EntryWindow() == nullptr; }));
  EXPECT_EQ(plug->LastEdit(0), 0.1);
  // The press did not reach the switch.
  EXPECT_EQ(plug->LastEdit(1), -1.0);
}

TEST_F(EntryTest, WhileFocusedTheEditorIgnoresEverythingButPressesWhichCancel) {
  OpenEntryOnKnob();
  HWND entry = static_cast<HWND>(graphics->EntryWindow());
  Type(graphics, "3");
  SetFocus(editor);  // losing the focus commits...
  EXPECT_EQ(graphics->EntryState(), kEntryCommit);
  SetFocus(entry);  // ...and gaining it again makes the entry focused
  EXPECT_EQ(graphics->EntryState(), kEntryFocused);
  // No timer work while focused: a changed control is not repainted.
  plug->GetParam(1)->SetFromNormalized(1.0);
  PumpMessages(150);
  EXPECT_EQ(graphics->EntryWindow(), entry);
  EXPECT_NE(WindowPixel(editor, 115, 35), Rgb(switchArt.Colour(1)));
  EXPECT_NE(toggle->GetValue(), 1.0);  // the slot's new value waits for a tick
  Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), PointerAt(0, 0));
  EXPECT_EQ(graphics->EntryState(), kEntryFocused);
  Send(WM_MBUTTONDOWN, MK_MBUTTON, PointerAt(110, 30));
  EXPECT_EQ(graphics->EntryState(), kEntryFocused);
  Send(WM_RBUTTONDOWN, MK_RBUTTON, PointerAt(110, 30));
  EXPECT_EQ(graphics->EntryState(), kEntryCancel);
  ASSERT_TRUE(PumpUntil([&] { return graphics->EntryWindow() == nullptr; }));
  EXPECT_TRUE(plug->events.empty());
  // Once the entry is gone the editor paints again.
  EXPECT_TRUE(ShowsColour(115, 35, switchArt.Colour(1)));
}

TEST_F(EntryTest, AChangeNotificationFromTheEntryCommits) {
  OpenEntryOnKnob();
  HWND entry = static_cast<HWND>(graphics->EntryWindow());
  Type(graphics, "8");
  SendMessageA(entry, WM_COMMAND, MAKEWPARAM(kEntryControlIdForTest, 2), 0);
  EXPECT_EQ(graphics->EntryState(), kEntryIdle);
  EXPECT_EQ(SendMessageA(entry, WM_COMMAND, MAKEWPARAM(kEntryControlIdForTest, 1), 0), 0);
  EXPECT_EQ(graphics->EntryState(), kEntryCommit);
  ASSERT_TRUE(PumpUntil([&] { return graphics->EntryWindow() == nullptr; }));
  EXPECT_EQ(plug->events.back(), "edit 0 0.400000");
}

TEST_F(EntryTest, ANegatedDisplayIsNegatedBackOnCommit) {
  Build(2);
  ASSERT_NE(Open(), nullptr);
  IParamSlot* level = plug->GetParam(0);
  level->SetNegateDisplay(true);
  graphics->OpenTextEntry(knob, knob->TextStyle(), knob->Box(), "", level);
  ASSERT_NE(graphics->EntryWindow(), nullptr);
  Type(graphics, "-4");
  PressKey(graphics, VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return graphics->EntryWindow() == nullptr; }));
  EXPECT_EQ(plug->events.back(), "edit 0 0.200000");
}

TEST_F(EntryTest, RepaintTicksLeaveTheEntryAloneAndSettle) {
  OpenEntryOnKnob();
  plug->GetParam(1)->SetFromNormalized(1.0);
  ASSERT_TRUE(PumpUntil([&] { return WindowPixel(editor, 115, 35) == Rgb(switchArt.Colour(1)); }));
  EXPECT_NE(graphics->EntryWindow(), nullptr);
  EXPECT_TRUE(PumpUntil([&] { return graphics->EntryState() == kEntryIdle; }));
  graphics->CancelTextEntry();
  EXPECT_EQ(graphics->EntryState(), kEntryCancel);
  ASSERT_TRUE(PumpUntil([&] { return graphics->EntryWindow() == nullptr; }));
}

TEST_F(EntryTest, ASecondEntryIsIgnoredWhileOneIsOpen) {
  OpenEntryOnKnob();
  HWND first = static_cast<HWND>(graphics->EntryWindow());
  graphics->OpenTextEntry(toggle, toggle->TextStyle(), IBox(0, 0, 10, 10), "x", plug->GetParam(1));
  EXPECT_EQ(graphics->EntryWindow(), first);
  EXPECT_EQ(graphics->EntryControl(), knob);
}

TEST_F(EntryTest, ClosingOrResizingTheEditorEndsTheEntry) {
  OpenEntryOnKnob();
  graphics->CloseEditorWindow();
  EXPECT_EQ(graphics->EntryWindow(), nullptr);
  EXPECT_EQ(graphics->EntryControl(), nullptr);
  ASSERT_NE(Open(), nullptr);
  Send(WM_RBUTTONDOWN, MK_RBUTTON, PointerAt(40, 40));
  Send(WM_RBUTTONUP, 0, PointerAt(40, 40));
  ASSERT_NE(graphics->EntryWindow(), nullptr);
  Type(graphics, "4");
  PressKey(graphics, VK_RETURN);
  // The knob is destroyed by the resize: nothing may reach it afterwards.
  graphics->SetEditorSize(300, 200);
  EXPECT_EQ(graphics->EntryWindow(), nullptr);
  PumpMessages(120);
  EXPECT_EQ(plug->CountEvents("edit"), 0);
}

TEST_F(EntryTest, NamedValuesCommitTheMatchingTextOrZero) {
  Build(2);
  ASSERT_NE(Open(), nullptr);
  IParamSlot* mode = plug->GetParam(2);
  mode->SetType(1);  // stepped with names: the entry takes signs and digits only
  RecordingControl* target = new RecordingControl(plug, IBox(150, 60, 190, 90), 2);
  graphics->AddControl(target);
  graphics->OpenTextEntry(target, target->TextStyle(), target->Box(), "Mid", mode);
  ASSERT_NE(graphics->EntryWindow(), nullptr);
  EXPECT_EQ(EntryText(graphics), "Mid");
  Type(graphics, "z");
  EXPECT_EQ(EntryText(graphics), "Mid");
  PressKey(graphics, VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return graphics->EntryWindow() == nullptr; }));
  EXPECT_EQ(plug->events.back(), "edit 2 0.500000");

  graphics->OpenTextEntry(target, target->TextStyle(), target->Box(), "mid", mode);
  PressKey(graphics, VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return graphics->EntryWindow() == nullptr; }));
  EXPECT_EQ(plug->events.back(), "edit 2 0.000000");

  // Type 3 names its values the same way; a number is no name.
  mode->SetType(3);
  graphics->OpenTextEntry(target, target->TextStyle(), target->Box(), "High", mode);
  PressKey(graphics, VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return graphics->EntryWindow() == nullptr; }));
  EXPECT_EQ(plug->events.back(), "edit 2 1.000000");
  graphics->OpenTextEntry(target, target->TextStyle(), target->Box(), "", mode);
  Type(graphics, "1");
  PressKey(graphics, VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return graphics->EntryWindow() == nullptr; }));
  EXPECT_EQ(plug->events.back(), "edit 2 0.000000");

  // Other types read the typed number, whatever names they have.
  mode->SetType(2);
  graphics->OpenTextEntry(target, target->TextStyle(), target->Box(), "", mode);
  Type(graphics, "1");
  PressKey(graphics, VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return graphics->EntryWindow() == nullptr; }));
  EXPECT_EQ(plug->events.back(), "edit 2 0.500000");
}

TEST_F(EntryTest, FreeTextGoesToTheControlWhole) {
  Build(2);
  ASSERT_NE(Open(), nullptr);
  RecordingControl* target = new RecordingControl(plug, IBox(150, 60, 230, 90));
  target->SetEntryLength(40);
  target->TextStyle().alignment = TextAlignRight;
  target->TextStyle().style = kTextItalic;
  graphics->AddControl(target);
  graphics->OpenTextEntry(target, target->TextStyle(), target->Box(), "", nullptr);
  EXPECT_TRUE(GetWindowLongA(static_cast<HWND>(graphics->EntryWindow()), GWL_STYLE) & ES_RIGHT);
  LOGFONTA italic = {};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(static_cast<HWND>(graphics->EntryWindow()), WM_GETFONT, 0, 0)),
             sizeof italic, &italic);
  EXPECT_TRUE(italic.lfItalic);
  EXPECT_NE(italic.lfWeight, FW_BOLD);
  graphics->CancelTextEntry();
  ASSERT_TRUE(PumpUntil([&] { return graphics->EntryWindow() == nullptr; }));
  EXPECT_TRUE(target->entered.empty());

  target->TextStyle().alignment = TextAlignLeft;
  target->TextStyle().style = kTextBold;
  target->TextStyle().size = 15;
  graphics->OpenTextEntry(target, target->TextStyle(), target->Box(), "", nullptr);
  HWND entry = static_cast<HWND>(graphics->EntryWindow());
  ASSERT_NE(entry, nullptr);
  LOGFONTA font = {};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(entry, WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_EQ(font.lfWeight, FW_BOLD);
  EXPECT_EQ(font.lfHeight, 15);
  EXPECT_FALSE(font.lfItalic);
  MSG asked = {};
  asked.message = WM_KEYDOWN;
  asked.wParam = VK_RETURN;
  EXPECT_TRUE(SendMessageA(entry, WM_GETDLGCODE, VK_RETURN, LPARAM(&asked)) & DLGC_WANTALLKEYS);
  Type(graphics, "Hello, world! 0123456789 abcdefghij");
  Type(graphics, "\r");
  PressKey(graphics, VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return graphics->EntryWindow() == nullptr; }));
  // At most 31 characters are read back.
  ASSERT_EQ(target->entered.size(), 1u);
  EXPECT_EQ(target->entered[0], "Hello, world! 0123456789 abcdef");
  EXPECT_EQ(plug->CountEvents("edit"), 0);
}

TEST_F(EntryTest, EntryColoursComeFromTheControlsStyle) {
  OpenEntryOnKnob();
  knob->TextStyle().entryBackground = IArgbColor(255, 10, 20, 30);
  knob->TextStyle().entryForeground = IArgbColor(255, 200, 100, 50);
  HDC dc = GetDC(editor);
  const LRESULT brush = Send(WM_CTLCOLOREDIT, WPARAM(dc), LPARAM(graphics->EntryWindow()));
  EXPECT_EQ(brush, LRESULT(GetStockObject(DC_BRUSH)));
  EXPECT_EQ(GetBkColor(dc), RGB(10, 20, 30));
  EXPECT_EQ(GetTextColor(dc), RGB(200, 100, 50));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  // The area around the text matches the text's background.
  EXPECT_EQ(GetDCBrushColor(dc), RGB(10, 20, 30));
  ReleaseDC(editor, dc);
}
