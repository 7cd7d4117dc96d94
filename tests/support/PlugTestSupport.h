#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "IEditorLink.h"
#include "IEffectBase.h"
#include "StateChunk.h"

// Editor stand-in that writes every call into a log owned by the test, so
// the log survives the plug-in deleting the editor.
struct EditorLog {
  std::vector<std::string> calls;
  bool deleted = false;
};

class FakeEditor : public IEditorLink {
public:
  explicit FakeEditor(EditorLog& log) : log_(log) {}
  ~FakeEditor() override { log_.deleted = true; }
  void PushParamToControls(int index, double value, bool isNormalized) override {
    log_.calls.push_back("push " + std::to_string(index) + " " + std::to_string(value) + (isNormalized ? " n" : " p"));
  }
  void CreateDrawSurfaces() override { log_.calls.push_back("surfaces"); }

private:
  EditorLog& log_;
};

// Plug-in base that records what it tells the host and what it handles.
class RecordingPlug : public IEffectBase {
public:
  explicit RecordingPlug(const char* channelIO = "1-1 2-2", int nPresets = 1, int nParams = 3)
      : IEffectBase(nParams, channelIO, nPresets, "Test", "", "Maker", MakeFourCC("Test"), MakeFourCC("Mkr1"), 0x10000,
                    1, 0, false, false) {}

  void SendHostEdit(int index, double normalized) override { hostEdits.emplace_back(index, normalized); }
  void HandleParamChange(int index) override {
    IEffectBase::HandleParamChange(index);
    handled.push_back(index);
  }
  void AfterPresetLoad() override { ++presetLoads; }

  std::vector<std::pair<int, double>> hostEdits;
  std::vector<int> handled;
  int presetLoads = 0;
};

// A chunk holding the given doubles in order.
inline StateChunk ChunkOf(std::initializer_list<double> values) {
  StateChunk chunk;
  for (double v : values) chunk.AppendDouble(v);
  return chunk;
}
