// The one-line text entry opened over a control: an "EDIT" child window whose
// window procedure is replaced to filter keys and characters, and a small
// state machine that the editor's timer advances to commit or cancel it.

#include <cstring>

#include "IControl.h"
#include "IGraphicsWinProcs.h"
#include "IParamSlot.h"
#include "WinTextUtil.h"

void IGraphicsWin::OpenTextEntry(IControl* control, const ITextStyle& style, const IBox& box, const char* text,
                                 IParamSlot* param) {
  if (!control || mEntryWindow || !mEditorWindow) return;

  DWORD editStyle = WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOHSCROLL;
  if (style.alignment == TextAlignRight)
    editStyle |= ES_RIGHT;
  else if (style.alignment != TextAlignLeft)
    editStyle |= ES_CENTER;

  HWND entry = CreateWindowExA(0, "EDIT", text ? text : "", editStyle, ToDevice(box.left), ToDevice(box.top),
                               ToDevice(box.Width()) + 1, ToDevice(box.Height()) + 1, AsWindow(mEditorWindow),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEntryControlId)),
                               static_cast<HINSTANCE>(mModuleInstance), nullptr);
  if (!entry) return;

  char face[LF_FACESIZE];
  CopyTextBounded(face, sizeof face, style.faceName, sizeof style.faceName);
  HFONT font = CreateFontA(style.size, 0, 0, 0, style.style == kTextBold ? FW_BOLD : FW_DONTCARE,
                           style.style == kTextItalic, 0, 0, 0, 0, 0, 0, 0, face);
  SendMessageA(entry, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  SendMessageA(entry, EM_LIMITTEXT, static_cast<WPARAM>(control->EntryLength()), 0);
  SendMessageA(entry, EM_SETSEL, 0, -1);
  SetFocus(entry);

  // The focus was given before the procedure is replaced, so the entry starts
  // idle rather than focused.
  mEntryWindow = entry;
  mEntryFont = font;
  mEntryState = kEntryIdle;
  mEntrySavedProc = SetWindowLongPtrA(entry, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&IGraphicsWinProcs::Entry));
  mEntryControl = control;
  mEntryParam = param;
}

void IGraphicsWin::CancelTextEntry() {
  if (mEntryWindow) mEntryState = kEntryCancel;
}

LRESULT CALLBACK IGraphicsWinProcs::Entry(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  IGraphicsWin* graphics = FromWindow(GetParent(window));
  if (!graphics || graphics->mEntryWindow != window) return DefWindowProcA(window, message, wParam, lParam);
  return graphics->HandleEntryMessage(window, message, wParam, lParam);
}

intptr_t IGraphicsWin::HandleEntryMessage(void* windowHandle, unsigned message, uintptr_t wParam, intptr_t lParam) {
  HWND window = AsWindow(windowHandle);
  WNDPROC saved = reinterpret_cast<WNDPROC>(mEntrySavedProc);
  HideTooltip();
  switch (message) {
    case WM_SETFOCUS: mEntryState = kEntryFocused; break;
    case WM_KILLFOCUS: mEntryState = kEntryCommit; break;
    case WM_GETDLGCODE:
      if (!mEntryParam) {
        LRESULT code = CallWindowProcA(saved, window, message, wParam, lParam);
        const MSG* asked = reinterpret_cast<const MSG*>(lParam);
        if (asked && asked->message == WM_KEYDOWN && asked->wParam == VK_RETURN) code |= DLGC_WANTALLKEYS;
        return code;
      }
      break;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        mEntryState = kEntryCommit;
        return 0;
      }
      if (wParam == VK_ESCAPE) {
        mEntryState = kEntryCancel;
        return 0;
      }
      break;
    case WM_CHAR: {
      const bool hasParam = mEntryParam != nullptr;
      const unsigned character = static_cast<unsigned>(wParam);
      if (!EntryAcceptsChar(hasParam, hasParam ? mEntryParam->Type() : 0, character)) return 0;
      // Return commits a one-line entry; its character must not become part
      // of the text.
      if (character == '\r' || character == '\n') return 0;
      break;
    }
    case WM_COMMAND:
      if (HIWORD(wParam) == 1) {
        mEntryState = kEntryCommit;
        return 0;
      }
      break;
    default: break;
  }
  return CallWindowProcA(saved, window, message, wParam, lParam);
}

intptr_t IGraphicsWin::OnEntryColours(void* deviceContext) {
  if (!mEntryControl) return 0;
  HDC dc = static_cast<HDC>(deviceContext);
  const ITextStyle& style = mEntryControl->TextStyle();
  const COLORREF background = RGB(style.entryBackground.red, style.entryBackground.green, style.entryBackground.blue);
  SetBkColor(dc, background);
  SetTextColor(dc, RGB(style.entryForeground.red, style.entryForeground.green, style.entryForeground.blue));
  SetBkMode(dc, OPAQUE);
  // The area around the text takes the same colour as the text background.
  SetDCBrushColor(dc, background);
  return reinterpret_cast<intptr_t>(GetStockObject(DC_BRUSH));
}

void IGraphicsWin::RunEntryStateStep() {
  switch (mEntryState) {
    case kEntryCancel: TearDownEntry(); break;
    case kEntryCommit: CommitEntry(); break;
    default: mEntryState = kEntryIdle; break;
  }
}

void IGraphicsWin::CommitEntry() {
  char text[32] = {};
  SendMessageA(AsWindow(mEntryWindow), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  text[sizeof text - 1] = '\0';

  IControl* control = mEntryControl;
  IParamSlot* param = mEntryParam;
  if (param) {
    double value = 0.0;
    const int type = param->Type();
    if (type == 1 || type == 3) {
      for (int i = 0; i < param->NDisplayTexts(); ++i) {
        const ParamDisplayText* entry = param->GetDisplayText(i);
        if (std::strncmp(entry->text, text, sizeof entry->text) == 0) {
          value = entry->value;
          break;
        }
      }
    } else {
      value = ReadDecimalText(text);
      if (param->NegateDisplay()) value = -value;
    }
    control->ReceiveUserValue(param->ToNormalized(value));
  } else {
    control->ReceiveEnteredText(text);
  }
  TearDownEntry();
}

void IGraphicsWin::TearDownEntry() {
  HWND entry = AsWindow(mEntryWindow);
  if (entry) {
    SetWindowLongPtrA(entry, GWLP_WNDPROC, mEntrySavedProc);
    DestroyWindow(entry);
  }
  ForgetEntry();
}

void IGraphicsWin::ForgetEntry() {
  if (mEntryFont) DeleteObject(static_cast<HFONT>(mEntryFont));
  mEntryWindow = nullptr;
  mEntryFont = nullptr;
  mEntryParam = nullptr;
  mEntryControl = nullptr;
  mEntrySavedProc = 0;
  mEntryState = kEntryIdle;
}
