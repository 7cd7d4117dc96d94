#include "IEffectClap.h"

#include <cstring>

#include "HostIdentify.h"

namespace {

// Every call from the host is an exception barrier: whatever goes wrong
// inside answers false (or does nothing) instead of unwinding into the host.
template <class Call, class Result>
Result Guarded(Call call, Result failed) {
  try {
    return call();
  } catch (...) {
    return failed;
  }
}

bool PluginInit(const clap_plugin_t* plugin) {
  IEffectClap* effect = IEffectClap::From(plugin);
  return Guarded([&] { return effect->Init(); }, false);
}

void PluginDestroy(const clap_plugin_t* plugin) {
  IEffectClap* effect = IEffectClap::From(plugin);
  Guarded(
      [&] {
        if (effect->Active()) effect->Deactivate();
        delete effect;
        return true;
      },
      false);
}

bool PluginActivate(const clap_plugin_t* plugin, double sampleRate, uint32_t minFrames, uint32_t maxFrames) {
  IEffectClap* effect = IEffectClap::From(plugin);
  return Guarded([&] { return effect->OnMainThread() && effect->Activate(sampleRate, minFrames, maxFrames); }, false);
}

void PluginDeactivate(const clap_plugin_t* plugin) {
  IEffectClap* effect = IEffectClap::From(plugin);
  Guarded(
      [&] {
        if (effect->OnMainThread() && effect->Active()) effect->Deactivate();
        return true;
      },
      false);
}

bool PluginStartProcessing(const clap_plugin_t* plugin) {
  IEffectClap* effect = IEffectClap::From(plugin);
  return effect->Active() && effect->OnAudioThread();
}

void PluginStopProcessing(const clap_plugin_t*) {}

void PluginReset(const clap_plugin_t*) {}

clap_process_status PluginProcess(const clap_plugin_t* plugin, const clap_process_t* process) {
  IEffectClap* effect = IEffectClap::From(plugin);
  return Guarded([&] { return effect->Process(process); }, static_cast<clap_process_status>(CLAP_PROCESS_ERROR));
}

const void* PluginExtension(const clap_plugin_t* plugin, const char* id) {
  if (!id) return nullptr;
  IEffectClap* effect = IEffectClap::From(plugin);
  if (!std::strcmp(id, CLAP_EXT_PARAMS)) return &IEffectClap::kParams;
  if (!std::strcmp(id, CLAP_EXT_STATE)) return &IEffectClap::kState;
  if (!std::strcmp(id, CLAP_EXT_AUDIO_PORTS)) return &IEffectClap::kAudioPorts;
  if (!std::strcmp(id, CLAP_EXT_AUDIO_PORTS_CONFIG)) return &IEffectClap::kAudioPortsConfig;
  if (!std::strcmp(id, CLAP_EXT_LATENCY)) return &IEffectClap::kLatency;
  if (!std::strcmp(id, CLAP_EXT_NOTE_PORTS) && effect->HasMidiIn()) return &IEffectClap::kNotePorts;
  if (effect->Graphics()) {
    if (!std::strcmp(id, CLAP_EXT_GUI)) return &IEffectClap::kGui;
    if (!std::strcmp(id, CLAP_EXT_TIMER_SUPPORT)) return &IEffectClap::kTimerSupport;
    if (!std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT)) return &IEffectClap::kPosixFdSupport;
  }
  return nullptr;
}

void PluginOnMainThread(const clap_plugin_t*) {}

}  // namespace

// The editor's resizing rules are those of a host that sizes its own window
// around the editor, whichever kind the effect names.
IEffectClap::IEffectClap(int nParams, const char* channelIOText, int nPresets, const char* effectName,
                         const char* productName, const char* makerName, int uniqueId, int makerId, int version,
                         int adapterKind, int latency, bool isInstrument, bool midiIn)
    : IEffectBase(nParams, channelIOText, nPresets, effectName, productName, makerName, uniqueId, makerId, version,
                  kAdapterFramedByHost, latency, isInstrument, midiIn) {
  for (int c = 0; c < NInChannels(); ++c) SetInputConnected(c, true);
  for (int c = 0; c < NOutChannels(); ++c) SetOutputConnected(c, true);
  if (NInChannels() > 0) CreateDelayLine();
  mInputSources.assign(static_cast<size_t>(NInChannels()), nullptr);
  mOutputTargets.assign(static_cast<size_t>(NOutChannels()), nullptr);
  mPoints.reserve(kMaxEvents);
  mPortChannels = static_cast<uint32_t>(NOutChannels() >= 2 ? 2 : 1);
  mPlugin.plugin_data = this;
  mPlugin.init = PluginInit;
  mPlugin.destroy = PluginDestroy;
  mPlugin.activate = PluginActivate;
  mPlugin.deactivate = PluginDeactivate;
  mPlugin.start_processing = PluginStartProcessing;
  mPlugin.stop_processing = PluginStopProcessing;
  mPlugin.reset = PluginReset;
  mPlugin.process = PluginProcess;
  mPlugin.get_extension = PluginExtension;
  mPlugin.on_main_thread = PluginOnMainThread;
}

void IEffectClap::BindClap(const clap_host_t* host, const clap_plugin_descriptor_t* descriptor) {
  mHost = host;
  mPlugin.desc = descriptor;
}

// The host's extensions may be asked for from here on, not before.
bool IEffectClap::Init() {
  mThreadCheck = static_cast<const clap_host_thread_check_t*>(HostExtension(CLAP_EXT_THREAD_CHECK));
  mHostParams = static_cast<const clap_host_params_t*>(HostExtension(CLAP_EXT_PARAMS));
  mHostLatency = static_cast<const clap_host_latency_t*>(HostExtension(CLAP_EXT_LATENCY));
  mHostGui = static_cast<const clap_host_gui_t*>(HostExtension(CLAP_EXT_GUI));
  SetHostIdentity(IdentifyHost(mHost && mHost->name ? mHost->name : ""), 0);
  AfterHostSetup();
  LoadPreset(0);
  return true;
}

IEffectClap* IEffectClap::From(const clap_plugin_t* plugin) {
  return plugin ? static_cast<IEffectClap*>(plugin->plugin_data) : nullptr;
}

const void* IEffectClap::HostExtension(const char* id) const {
  return mHost && mHost->get_extension ? mHost->get_extension(mHost, id) : nullptr;
}

bool IEffectClap::OnMainThread() const {
  return !mThreadCheck || !mThreadCheck->is_main_thread || mThreadCheck->is_main_thread(mHost);
}

bool IEffectClap::OnAudioThread() const {
  return !mThreadCheck || !mThreadCheck->is_audio_thread || mThreadCheck->is_audio_thread(mHost);
}

int IEffectClap::HostSamplePosition() { return static_cast<int>(static_cast<int64_t>(mTransport.samplePosition)); }

double IEffectClap::HostTempo() { return mTransport.tempo; }

void IEffectClap::HostTimeSignature(int& numerator, int& denominator) {
  numerator = mTransport.timeSigNumerator;
  denominator = mTransport.timeSigDenominator;
}

void IEffectClap::HostTransportInfo(HostTransport& transport) {
  transport = mTransport;
  transport.blockOffset = mPieceOffset;
  transport.block = mHostBlock;
}

// The host reads the latency again when the plug-in is next activated.
void IEffectClap::ChangeLatency(int frames) {
  IEffectBase::ChangeLatency(frames);
  if (mHost && mHost->request_restart) mHost->request_restart(mHost);
}

void IEffectClap::BeginHostEdit(int index) {
  mGestures.Push({EditGestureQueue::Kind::kBegin, static_cast<uint32_t>(index), 0.0});
}

// The editor hands over a normalised figure; the host hears the plain value
// the slot took.
void IEffectClap::SendHostEdit(int index, double normalized) {
  const IParamSlot* slot = GetParam(index);
  if (!slot) return;
  mGestures.Push({EditGestureQueue::Kind::kValue, static_cast<uint32_t>(index), slot->PlainForNormalized(normalized)});
  if (mHostParams && mHostParams->request_flush) mHostParams->request_flush(mHost);
}

void IEffectClap::EndHostEdit(int index) {
  mGestures.Push({EditGestureQueue::Kind::kEnd, static_cast<uint32_t>(index), 0.0});
  if (mHostParams && mHostParams->request_flush) mHostParams->request_flush(mHost);
}

void IEffectClap::SendGestures(const clap_output_events_t* out) {
  EditGestureQueue::Gesture g;
  while (mGestures.Pop(g)) {
    if (!out || !out->try_push) continue;
    if (g.kind == EditGestureQueue::Kind::kValue) {
      clap_event_param_value_t e{};
      e.header = {sizeof e, 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
      e.param_id = g.id;
      e.note_id = e.port_index = e.channel = e.key = -1;
      e.value = g.value;
      out->try_push(out, &e.header);
    } else {
      clap_event_param_gesture_t e{};
      const uint16_t type =
          g.kind == EditGestureQueue::Kind::kBegin ? CLAP_EVENT_PARAM_GESTURE_BEGIN : CLAP_EVENT_PARAM_GESTURE_END;
      e.header = {sizeof e, 0, CLAP_CORE_EVENT_SPACE_ID, type, 0};
      e.param_id = g.id;
      out->try_push(out, &e.header);
    }
  }
}

IEffectClap::~IEffectClap() {
  try {
    GuiDestroy();
  } catch (...) {}
}
