// Message boxes owned by the host's main window, opening web addresses, and
// the file and colour dialogs, observed through a replaced system table.

#include <cstring>

#include "EditorFixture.h"
#include "IURLControl.h"

namespace {

// What the fake system calls saw and what they answer.
struct SystemLog {
  std::vector<std::string> calls;
  HWND lastOwner = nullptr;
  UINT lastType = 0;
  int messageAnswer = IDYES;
  BOOL connected = TRUE;
  INT_PTR shellAnswer = 42;
  OPENFILENAMEA file = {};
  std::string filter;
  std::string defaultExtension;
  std::string initialDirectory;
  std::string startName;
  const char* chosenPath = nullptr;  // null: the dialog is cancelled
  bool fillWholeBuffer = false;
  CHOOSECOLORA colour = {};
  COLORREF colourAnswer = 0;
  bool colourConfirmed = true;
  HWND hookTarget = nullptr;
};
SystemLog* gLog = nullptr;

BOOL WINAPI FakeConnected(LPDWORD flags, DWORD) {
  gLog->calls.push_back("connected");
  *flags = 0;
  return gLog->connected;
}

HINSTANCE WINAPI FakeShell(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT show) {
  gLog->calls.push_back(std::string("shell ") + verb + " " + file + (parameters ? " params" : "") +
                        (directory ? " dir" : "") + (show == SW_SHOWNORMAL ? " normal" : " other"));
  gLog->lastOwner = owner;
  return reinterpret_cast<HINSTANCE>(gLog->shellAnswer);
}

int WINAPI FakeMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  gLog->calls.push_back(std::string("box ") + (text ? text : "") + " | " + (caption ? caption : ""));
  gLog->lastOwner = owner;
  gLog->lastType = type;
  return gLog->messageAnswer;
}

BOOL RunFileDialog(const char* kind, LPOPENFILENAMEA request) {
  gLog->calls.push_back(kind);
  gLog->file = *request;
  if (request->lpstrFilter) {
    const char* f = request->lpstrFilter;
    size_t n = 0;
    while (f[n] || f[n + 1]) ++n;
    gLog->filter.assign(f, n + 2);
  }
  gLog->defaultExtension = request->lpstrDefExt ? request->lpstrDefExt : "";
  gLog->initialDirectory = request->lpstrInitialDir ? request->lpstrInitialDir : "";
  gLog->startName = request->lpstrFile;
  if (gLog->fillWholeBuffer) {
    std::memset(request->lpstrFile, 'x', request->nMaxFile);  // no terminator at all
    return TRUE;
  }
  if (!gLog->chosenPath) return FALSE;
  std::strncpy(request->lpstrFile, gLog->chosenPath, request->nMaxFile);
  return TRUE;
}
BOOL WINAPI FakeOpen(LPOPENFILENAMEA request) { return RunFileDialog("open", request); }
BOOL WINAPI FakeSave(LPOPENFILENAMEA request) { return RunFileDialog("save", request); }

BOOL WINAPI FakeColour(LPCHOOSECOLORA request) {
  gLog->calls.push_back("colour");
  gLog->colour = *request;
  if (request->lpfnHook && gLog->hookTarget) request->lpfnHook(gLog->hookTarget, WM_INITDIALOG, 0, LPARAM(request));
  request->lpCustColors[3] += 0x010101;
  if (!gLog->colourConfirmed) return FALSE;
  request->rgbResult = gLog->colourAnswer;
  return TRUE;
}

}  // namespace

class DialogTest : public EditorFixture {
protected:
  DialogTest() : api(MakeApi()) { gLog = &log; }
  ~DialogTest() override { gLog = nullptr; }

  static WinSystemApi MakeApi() {
    WinSystemApi fake = {};
    fake.connectedState = FakeConnected;
    fake.shellExecute = FakeShell;
    fake.messageBox = FakeMessageBox;
    fake.openFileDialog = FakeOpen;
    fake.saveFileDialog = FakeSave;
    fake.colourDialog = FakeColour;
    return fake;
  }

  SystemLog log;
  ScopedSystemApi api;
};

TEST_F(DialogTest, MessageBoxesBelongToTheHostsTopLevelWindow) {
  Build();
  // Before any window was opened there is nothing to own the box.
  log.messageAnswer = IDOK;
  EXPECT_EQ(graphics->ShowMessage("text", "caption", MB_OKCANCEL), IDOK);
  EXPECT_EQ(log.lastOwner, nullptr);
  EXPECT_EQ(log.lastType, UINT(MB_OKCANCEL));
  EXPECT_EQ(log.calls.back(), "box text | caption");

  ASSERT_NE(Open(), nullptr);
  graphics->ShowMessage("again", "caption", MB_OK);
  EXPECT_EQ(log.lastOwner, host.Top());
  EXPECT_EQ(graphics->HostTopLevelWindow(), host.Top());
  EXPECT_EQ(graphics->HostTopLevelClassName(), HostWindow::ClassName());

  // The host window once found is kept while it exists...
  graphics->CloseEditorWindow();
  HostWindow second(200, 200);
  ASSERT_NE(graphics->OpenEditorWindow(second.Panel()), nullptr);
  graphics->ShowMessage("kept", "caption", MB_OK);
  EXPECT_EQ(log.lastOwner, host.Top());
  // ...and looked for again once it is gone. The parent it was found from
  // went with it: the search falls back to the remembered class name.
  graphics->CloseEditorWindow();
  ASSERT_NE(Open(), nullptr);
  HWND gone = host.Top();
  DestroyWindow(gone);
  EXPECT_FALSE(graphics->HasWindow());
  graphics->ShowMessage("found", "caption", MB_OK);
  EXPECT_NE(log.lastOwner, gone);
  ASSERT_TRUE(IsWindow(log.lastOwner));
  char name[64] = {};
  GetClassNameA(log.lastOwner, name, sizeof name);
  EXPECT_STREQ(name, HostWindow::ClassName());
  EXPECT_EQ(graphics->HostTopLevelClassName(), HostWindow::ClassName());

  ASSERT_NE(graphics->OpenEditorWindow(second.Panel()), nullptr);
  HWND found = log.lastOwner;
  graphics->ShowMessage("kept again", "caption", MB_OK);
  EXPECT_EQ(log.lastOwner, found);
}

TEST_F(DialogTest, WebAddressOpensOnlyWhenConnectedAndConfirmed) {
  Build();
  ASSERT_NE(Open(), nullptr);
  EXPECT_TRUE(graphics->OpenWebAddress("https://example.invalid/p", "Title", nullptr, "No way"));
  EXPECT_EQ(log.calls, (std::vector<std::string>{"connected", "shell open https://example.invalid/p normal"}));
  EXPECT_EQ(log.lastOwner, editor);

  log.calls.clear();
  log.messageAnswer = IDNO;
  EXPECT_FALSE(graphics->OpenWebAddress("https://example.invalid/p", "Title", "Open it?", "No way"));
  EXPECT_EQ(log.calls, (std::vector<std::string>{"box Open it? | Title"}));
  EXPECT_EQ(log.lastType, UINT(MB_YESNO));

  log.calls.clear();
  log.messageAnswer = IDYES;
  log.connected = FALSE;
  EXPECT_FALSE(graphics->OpenWebAddress("https://example.invalid/p", "Title", "Open it?", "No way"));
  EXPECT_EQ(log.calls, (std::vector<std::string>{"box Open it? | Title", "connected", "box No way | Title"}));
  EXPECT_EQ(log.lastType, UINT(MB_OK));

  log.calls.clear();
  log.connected = TRUE;
  log.shellAnswer = 2;  // the shell could not open it
  EXPECT_FALSE(graphics->OpenWebAddress("https://example.invalid/p", "Title", nullptr, nullptr));
  EXPECT_EQ(log.calls, (std::vector<std::string>{"connected", "shell open https://example.invalid/p normal"}));
}

TEST_F(DialogTest, TheLinkAreaOpensItsAddressOnAPress) {
  Build();
  graphics->AddControl(new IURLControl(plug, IBox(200, 100, 240, 120), "https://example.invalid/product"));
  ASSERT_NE(Open(), nullptr);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, PointerAt(210, 110));
  Send(WM_LBUTTONUP, 0, PointerAt(210, 110));
  EXPECT_EQ(log.calls, (std::vector<std::string>{"connected", "shell open https://example.invalid/product normal"}));
  EXPECT_EQ(plug->CountEvents("begin"), 0);
}

TEST_F(DialogTest, FileDialogStartsFromTheGivenNameAndFolder) {
  Build();
  std::string name = "old.png", folder;
  graphics->AskForFile(name, 0, folder, "png jpg");
  EXPECT_TRUE(log.calls.empty());  // no window, no dialog
  EXPECT_EQ(name, "");

  ASSERT_NE(Open(), nullptr);
  name = "old.png";
  log.chosenPath = "C:\\data\\images\\new.png";
  graphics->AskForFile(name, 0, folder, "png jpg");
  ASSERT_EQ(log.calls, (std::vector<std::string>{"open"}));
  EXPECT_EQ(log.startName, "old.png");
  EXPECT_EQ(log.filter, std::string("*.png;*.jpg\0*.png;*.jpg\0\0", 25));
  EXPECT_EQ(log.defaultExtension, "png");
  EXPECT_EQ(log.file.Flags, DWORD(OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST));
  EXPECT_EQ(log.file.hwndOwner, editor);
  EXPECT_EQ(log.file.nMaxFile, 256u);
  std::string desktop;
  graphics->DesktopDirectory(desktop);
  EXPECT_EQ(log.initialDirectory, desktop);
  EXPECT_EQ(name, "C:\\data\\images\\new.png");
  EXPECT_EQ(folder, "C:\\data\\images\\");

  log.calls.clear();
  log.chosenPath = nullptr;
  graphics->AskForFile(name, 1, folder, "");
  ASSERT_EQ(log.calls, (std::vector<std::string>{"save"}));
  EXPECT_EQ(log.file.Flags, DWORD(OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST));
  EXPECT_EQ(log.file.lpstrFilter, nullptr);
  EXPECT_EQ(log.initialDirectory, "C:\\data\\images\\");
  EXPECT_EQ(name, "");
  EXPECT_EQ(folder, "C:\\data\\images\\");
}

TEST_F(DialogTest, FileNamesStayBoundedWhateverTheDialogReturns) {
  Build();
  ASSERT_NE(Open(), nullptr);
  std::string name(400, 'n'), folder = "C:\\start\\";
  log.fillWholeBuffer = true;
  graphics->AskForFile(name, 0, folder, nullptr);
  EXPECT_EQ(log.startName, std::string(255, 'n'));
  EXPECT_EQ(name, std::string(255, 'x'));

  // Extension lists the dialog cannot take are refused without a dialog.
  log.calls.clear();
  name = "keep";
  graphics->AskForFile(name, 0, folder, "averyveryverylongextension");
  EXPECT_TRUE(log.calls.empty());
  EXPECT_EQ(name, "");
}

TEST_F(DialogTest, ColourDialogKeepsAlphaAndCustomColours) {
  Build();
  IArgbColor colour(128, 10, 20, 30);
  EXPECT_FALSE(graphics->AskForColour(colour, "Pick"));  // no window
  EXPECT_TRUE(log.calls.empty());

  ASSERT_NE(Open(), nullptr);
  HWND titled = CreateWindowExA(0, "STATIC", "before", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  log.hookTarget = titled;
  log.colourAnswer = RGB(200, 150, 100);
  EXPECT_TRUE(graphics->AskForColour(colour, "Pick"));
  EXPECT_EQ(log.colour.rgbResult, RGB(10, 20, 30));
  EXPECT_EQ(log.colour.Flags, DWORD(0x193));
  EXPECT_EQ(log.colour.hwndOwner, editor);
  EXPECT_EQ(colour, IArgbColor(128, 200, 150, 100));
  char title[32] = {};
  GetWindowTextA(titled, title, sizeof title);
  EXPECT_STREQ(title, "Pick");

  // Cancelled: the colour is untouched, and the custom colours carry over.
  log.colourConfirmed = false;
  EXPECT_FALSE(graphics->AskForColour(colour, nullptr));
  EXPECT_EQ(colour, IArgbColor(128, 200, 150, 100));
  EXPECT_EQ(log.colour.lpCustColors[3], COLORREF(0x020202));
  DestroyWindow(titled);
}
