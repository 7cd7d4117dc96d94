#include "WinSystemApi.h"

#include <shellapi.h>
#include <wininet.h>

namespace {

// Only the replacements are kept; the real functions are looked up on every
// use, so the table always calls what the module's imports currently hold.
WinSystemApi& Overrides() {
  static WinSystemApi overrides = {};
  return overrides;
}

template <class Fn>
Fn Pick(Fn replacement, Fn real) {
  return replacement ? replacement : real;
}

}  // namespace

WinSystemApi DefaultWinSystemApi() {
  WinSystemApi api;
  api.connectedState = InternetGetConnectedState;
  api.shellExecute = ShellExecuteA;
  api.messageBox = MessageBoxA;
  api.openFileDialog = GetOpenFileNameA;
  api.saveFileDialog = GetSaveFileNameA;
  api.colourDialog = ChooseColorA;
  return api;
}

WinSystemApi ActiveWinSystemApi() {
  const WinSystemApi real = DefaultWinSystemApi();
  const WinSystemApi& o = Overrides();
  WinSystemApi api;
  api.connectedState = Pick(o.connectedState, real.connectedState);
  api.shellExecute = Pick(o.shellExecute, real.shellExecute);
  api.messageBox = Pick(o.messageBox, real.messageBox);
  api.openFileDialog = Pick(o.openFileDialog, real.openFileDialog);
  api.saveFileDialog = Pick(o.saveFileDialog, real.saveFileDialog);
  api.colourDialog = Pick(o.colourDialog, real.colourDialog);
  return api;
}

void SetWinSystemApi(const WinSystemApi& api) { Overrides() = api; }
