#include "WinSystemApi.h"

#include <shellapi.h>
#include <wininet.h>

namespace {

WinSystemApi& Current() {
  static WinSystemApi api = DefaultWinSystemApi();
  return api;
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

const WinSystemApi& ActiveWinSystemApi() { return Current(); }

void SetWinSystemApi(const WinSystemApi& api) {
  const WinSystemApi real = DefaultWinSystemApi();
  WinSystemApi& target = Current();
  target.connectedState = api.connectedState ? api.connectedState : real.connectedState;
  target.shellExecute = api.shellExecute ? api.shellExecute : real.shellExecute;
  target.messageBox = api.messageBox ? api.messageBox : real.messageBox;
  target.openFileDialog = api.openFileDialog ? api.openFileDialog : real.openFileDialog;
  target.saveFileDialog = api.saveFileDialog ? api.saveFileDialog : real.saveFileDialog;
  target.colourDialog = api.colourDialog ? api.colourDialog : real.colourDialog;
}
