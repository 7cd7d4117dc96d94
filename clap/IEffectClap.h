#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "EditGestureQueue.h"
#include "IEffectBase.h"
#include "clap/clap.h"

// Binds the host-independent plug-in core to the CLAP plug-in interface. The
// object owns its clap_plugin; the module's factory makes one per instance
// and the host destroys it through that plug-in. Parameter ids are the
// core's parameter indices, plus one for the host's bypass switch; values
// are the core's plain values, so ranges and texts are the core's own.
class IEffectClap : public IEffectBase {
public:
  IEffectClap(int nParams, const char* channelIOText, int nPresets, const char* effectName, const char* productName,
              const char* makerName, int uniqueId, int makerId, int version, int adapterKind, int latency,
              bool isInstrument, bool midiIn);
  ~IEffectClap() override;

  // Called once by the factory before the plug-in is handed to the host.
  void BindClap(const clap_host_t* host, const clap_plugin_descriptor_t* descriptor);
  const clap_plugin_t* ClapPlugin() const { return &mPlugin; }
  static IEffectClap* From(const clap_plugin_t* plugin);
  // The plug-in's init: asks the host for its extensions.
  bool Init();

  // Host services for the core
  bool IsOfflineRender() override { return mOffline; }
  int HostSamplePosition() override;
  double HostTempo() override;
  void HostTimeSignature(int& numerator, int& denominator) override;
  void HostTransportInfo(HostTransport& transport) override;
  void ChangeLatency(int frames) override;
  void BeginHostEdit(int index) override;
  void SendHostEdit(int index, double normalized) override;
  void EndHostEdit(int index) override;
  void ResizeEditorFrame(int width, int height) override;

  // The host's bypass switch beside the core's parameters.
  static constexpr clap_id kBypassParamId = 0x62706173;  // "bpas"
  // Longest block the scratch buffers take at once; longer blocks are cut.
  static constexpr int kMaxScratchFrames = 8192;
  // Parameter events one block keeps; beyond them later events are dropped.
  static constexpr size_t kMaxEvents = 4096;

  // Extensions, one group per source file.
  static const clap_plugin_params_t kParams;
  static const clap_plugin_state_t kState;
  static const clap_plugin_audio_ports_t kAudioPorts;
  static const clap_plugin_audio_ports_config_t kAudioPortsConfig;
  static const clap_plugin_note_ports_t kNotePorts;
  static const clap_plugin_latency_t kLatency;
  static const clap_plugin_gui_t kGui;
  static const clap_plugin_timer_support_t kTimerSupport;
  static const clap_plugin_posix_fd_support_t kPosixFdSupport;

  // Whether the host says this is its main (audio) thread; true when it
  // offers no thread check.
  bool OnMainThread() const;
  bool OnAudioThread() const;

  // Parameter values and texts (IEffectClapParams.cpp).
  uint32_t ParamCount() const { return static_cast<uint32_t>(NParams()) + 1; }
  bool ParamInfo(uint32_t index, clap_param_info_t& info);
  bool ParamValue(clap_id id, double& value);
  bool ValueText(clap_id id, double value, char* text, uint32_t size);
  bool TextValue(clap_id id, const char* text, double& value);
  // Applies a parameter value event; false for an unknown id or a value
  // that is not a number.
  bool ApplyParamValue(clap_id id, double value);
  // Sends the editor's gestures waiting in the queue.
  void SendGestures(const clap_output_events_t* out);
  void FlushParams(const clap_input_events_t* in, const clap_output_events_t* out);
  // A program the editor picks (main thread): loaded, shown, and the host
  // told that the values changed. False for an index outside the list.
  bool EditProgram(int index);
  bool SaveState(const clap_ostream_t* stream);
  bool LoadState(const clap_istream_t* stream);

  // Processing (IEffectClapProcess.cpp).
  bool Activate(double sampleRate, uint32_t minFrames, uint32_t maxFrames);
  void Deactivate();
  clap_process_status Process(const clap_process_t* process);
  // The configuration the ports report: 1 (mono) or 2 (stereo) channels.
  uint32_t PortChannels() const { return mPortChannels; }
  bool SelectPortChannels(uint32_t channels);
  bool Active() const { return mActive; }

  // Editor (IEffectClapGui.cpp).
  bool GuiCreate(const char* api, bool floating);
  void GuiDestroy();
  bool GuiSetScale(double scale);
  bool GuiGetSize(uint32_t* width, uint32_t* height);
  bool GuiSetParent(const clap_window_t* window);
  bool GuiShow(bool visible);
  void OnTimer(clap_id timer);
  void OnFd(int fd, clap_posix_fd_flags_t flags);

private:
  const void* HostExtension(const char* id) const;
  void TakeTransport(const clap_event_transport_t* transport);
  void DeliverNotes(const clap_input_events_t* in);
  void GatherPoints(const clap_input_events_t* in, uint32_t frames);
  void ConnectChannels(const clap_process_t* process, bool& doublePrecision);
  void RunPiece(bool doublePrecision, int offset, int frames);
  void TellHostValuesChanged();

  clap_plugin_t mPlugin{};
  const clap_host_t* mHost = nullptr;
  const clap_host_thread_check_t* mThreadCheck = nullptr;
  const clap_host_params_t* mHostParams = nullptr;
  const clap_host_latency_t* mHostLatency = nullptr;
  const clap_host_gui_t* mHostGui = nullptr;

  bool mActive = false;
  bool mOffline = false;
  uint32_t mPortChannels = 2;

  // Transport of the current block, taken from the host's process call.
  HostTransport mTransport;
  uint32_t mHostBlock = 0;
  int mPieceOffset = 0;

  // One parameter point of the current block, in the host's (time) order.
  struct QueuedPoint {
    uint32_t frame;
    clap_id id;
    double value;
  };
  std::vector<QueuedPoint> mPoints;
  std::vector<const void*> mInputSources;
  std::vector<void*> mOutputTargets;
  EditGestureQueue mGestures;

  // The editor's state: created by the host, scale, the host's window.
  struct GuiState;
  GuiState* mGui = nullptr;
};
