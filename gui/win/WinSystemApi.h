#pragma once

#include <windows.h>
#include <commdlg.h>

// The system calls through which the editor reaches outside its own windows:
// the browser, the network state, message boxes and the common dialogs.
// They go through this table so that a test can observe the decisions the
// editor makes without starting a browser or waiting on a modal dialog.
struct WinSystemApi {
  BOOL(WINAPI* connectedState)(LPDWORD flags, DWORD reserved);
  HINSTANCE(WINAPI* shellExecute)(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT show);
  int(WINAPI* messageBox)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
  BOOL(WINAPI* openFileDialog)(LPOPENFILENAMEA request);
  BOOL(WINAPI* saveFileDialog)(LPOPENFILENAMEA request);
  BOOL(WINAPI* colourDialog)(LPCHOOSECOLORA request);
};

// The real system functions.
WinSystemApi DefaultWinSystemApi();

// The table in use by every editor of the process.
WinSystemApi ActiveWinSystemApi();

// Replaces the table; null members fall back to the real functions.
void SetWinSystemApi(const WinSystemApi& api);
