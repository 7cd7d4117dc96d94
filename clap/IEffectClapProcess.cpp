#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ChannelBuffers.h"
#include "FlushDenormals.h"
#include "IEffectClap.h"

namespace {

constexpr double kMinSampleRate = 1000.0;
constexpr double kMaxSampleRate = 1536000.0;
constexpr int kDefaultMaxBlock = 4096;

bool IsParamValue(const clap_event_header_t* e) {
  return e && e->space_id == CLAP_CORE_EVENT_SPACE_ID && e->type == CLAP_EVENT_PARAM_VALUE &&
         e->size >= sizeof(clap_event_param_value_t);
}

}  // namespace

// Scratch buffers are made before the lock and swapped in under it.
bool IEffectClap::Activate(double sampleRate, uint32_t minFrames, uint32_t maxFrames) {
  if (mActive || !(sampleRate >= kMinSampleRate && sampleRate <= kMaxSampleRate)) return false;
  const int requested = maxFrames > 0 ? static_cast<int>(std::min<uint32_t>(maxFrames, 1u << 30)) : kDefaultMaxBlock;
  const int scratchFrames = std::min(requested, kMaxScratchFrames);
  ScratchSet scratch;
  const bool resize = scratchFrames != BlockSize();
  if (resize && !MakeScratch(scratchFrames, scratch)) return false;
  {
    PlugLock lock(Mutex());
    if (resize) SwapScratch(scratch);
    SetSampleRate(sampleRate);
  }
  PrepareForProcessing();
  ActivationChanged(true);
  mActive = true;
  return true;
}

void IEffectClap::Deactivate() {
  ActivationChanged(false);
  mActive = false;
}

bool IEffectClap::SelectPortChannels(uint32_t channels) {
  if (mActive || !LegalIO(static_cast<int>(channels), static_cast<int>(channels))) return false;
  PlugLock lock(Mutex());
  DisconnectAllChannels();
  mPortChannels = channels;
  return true;
}

clap_process_status IEffectClap::Process(const clap_process_t* process) {
  if (!process || !mActive) return CLAP_PROCESS_ERROR;
  PlugLock lock(Mutex());
  TakeTransport(process->transport);
  ++mHostBlock;
  const int frames = static_cast<int>(std::min<uint32_t>(process->frames_count, 1u << 30));
  GatherPoints(process->in_events, static_cast<uint32_t>(frames));
  if (HasMidiIn()) DeliverNotes(process->in_events);
  bool doublePrecision = false;
  ConnectChannels(process, doublePrecision);

  // Each point takes effect at its frame: the block is cut there, and into
  // pieces no longer than the scratch buffers hold.
  const int piece = BlockSize();
  size_t next = 0;
  int done = 0;
  for (;;) {
    for (; next < mPoints.size() && static_cast<int>(mPoints[next].frame) <= done; ++next)
      ApplyParamValue(mPoints[next].id, mPoints[next].value);
    if (done >= frames) break;
    if (piece <= 0) return CLAP_PROCESS_ERROR;
    const int until = next < mPoints.size() ? static_cast<int>(mPoints[next].frame) : frames;
    for (; done < until;) {
      const int n = std::min(piece, until - done);
      RunPiece(doublePrecision, done, n);
      done += n;
    }
  }
  SendGestures(process->out_events);
  return CLAP_PROCESS_CONTINUE;
}

// The host's transport as the core reads it. A block without one keeps the
// last values but marks none of them valid.
void IEffectClap::TakeTransport(const clap_event_transport_t* t) {
  mTransport.tempoValid = mTransport.quarterNotesValid = mTransport.timeSigValid = false;
  if (!t) return;
  mTransport.playing = (t->flags & CLAP_TRANSPORT_IS_PLAYING) != 0;
  mTransport.cycling = (t->flags & CLAP_TRANSPORT_IS_LOOP_ACTIVE) != 0;
  if (t->flags & CLAP_TRANSPORT_HAS_TEMPO) {
    mTransport.tempo = t->tempo;
    mTransport.tempoValid = true;
  }
  if (t->flags & CLAP_TRANSPORT_HAS_BEATS_TIMELINE) {
    const double beat = static_cast<double>(CLAP_BEATTIME_FACTOR);
    mTransport.quarterNotePosition = static_cast<double>(t->song_pos_beats) / beat;
    mTransport.lastBarStart = static_cast<double>(t->bar_start) / beat;
    mTransport.cycleStart = static_cast<double>(t->loop_start_beats) / beat;
    mTransport.cycleEnd = static_cast<double>(t->loop_end_beats) / beat;
    mTransport.quarterNotesValid = true;
  }
  // The frame count of the song position: whole frames survive the trip
  // through the seconds timeline's fixed point exactly.
  if (t->flags & CLAP_TRANSPORT_HAS_SECONDS_TIMELINE)
    mTransport.samplePosition =
        std::round(static_cast<double>(t->song_pos_seconds) / static_cast<double>(CLAP_SECTIME_FACTOR) * SampleRate());
  if (t->flags & CLAP_TRANSPORT_HAS_TIME_SIGNATURE) {
    mTransport.timeSigNumerator = t->tsig_num;
    mTransport.timeSigDenominator = t->tsig_denom;
    mTransport.timeSigValid = true;
  }
}

// Parameter values of the block in the host's order (the host sorts events
// by time); times past the block act after its last frame.
void IEffectClap::GatherPoints(const clap_input_events_t* in, uint32_t frames) {
  mPoints.clear();
  if (!in || !in->size || !in->get) return;
  const uint32_t count = in->size(in);
  for (uint32_t i = 0; i < count && mPoints.size() < mPoints.capacity(); ++i) {
    const clap_event_header_t* e = in->get(in, i);
    if (!IsParamValue(e)) continue;
    const auto* v = reinterpret_cast<const clap_event_param_value_t*>(e);
    mPoints.push_back({std::min(e->time, frames), v->param_id, v->value});
  }
  std::stable_sort(mPoints.begin(), mPoints.end(),
                   [](const QueuedPoint& a, const QueuedPoint& b) { return a.frame < b.frame; });
}

// Notes reach the core as the MIDI messages a VST 3 host's notes become.
void IEffectClap::DeliverNotes(const clap_input_events_t* in) {
  if (!in || !in->size || !in->get) return;
  const uint32_t count = in->size(in);
  for (uint32_t i = 0; i < count; ++i) {
    const clap_event_header_t* e = in->get(in, i);
    if (!e || e->space_id != CLAP_CORE_EVENT_SPACE_ID) continue;
    MidiMessage message;
    message.frameOffset = static_cast<int32_t>(e->time);
    if ((e->type == CLAP_EVENT_NOTE_ON || e->type == CLAP_EVENT_NOTE_OFF) && e->size >= sizeof(clap_event_note_t)) {
      const auto* n = reinterpret_cast<const clap_event_note_t*>(e);
      const bool on = e->type == CLAP_EVENT_NOTE_ON;
      message.status = static_cast<uint8_t>((on ? 0x90 : 0x80) | (std::max<int16_t>(n->channel, 0) & 0x0F));
      message.data1 = static_cast<uint8_t>(std::clamp<int16_t>(n->key, 0, 127));
      message.data2 = on ? static_cast<uint8_t>(static_cast<int>(std::clamp(n->velocity, 0.0, 1.0) * 127)) : 0;
    } else if (e->type == CLAP_EVENT_MIDI && e->size >= sizeof(clap_event_midi_t)) {
      const auto* m = reinterpret_cast<const clap_event_midi_t*>(e);
      message.status = m->data[0];
      message.data1 = m->data[1];
      message.data2 = m->data[2];
    } else {
      continue;
    }
    HandleMidiIn(message);
  }
}

// Core channels take the channels of the first input and output port in
// order; a channel the host does not deliver reads or writes its scratch
// buffer. The output's sample size decides the block's.
void IEffectClap::ConnectChannels(const clap_process_t* process, bool& doublePrecision) {
  const clap_audio_buffer_t* out = process->audio_outputs_count > 0 ? process->audio_outputs : nullptr;
  const clap_audio_buffer_t* in = process->audio_inputs_count > 0 ? process->audio_inputs : nullptr;
  doublePrecision = out && out->data64;
  for (int c = 0; c < NInChannels(); ++c) {
    const void* source = nullptr;
    if (in && static_cast<uint32_t>(c) < in->channel_count)
      source = doublePrecision ? static_cast<const void*>(in->data64 ? in->data64[c] : nullptr)
                               : static_cast<const void*>(in->data32 ? in->data32[c] : nullptr);
    mInputSources[static_cast<size_t>(c)] = source;
    SetInputConnected(c, source != nullptr);
  }
  for (int c = 0; c < NOutChannels(); ++c) {
    void* target = nullptr;
    if (out && static_cast<uint32_t>(c) < out->channel_count)
      target = doublePrecision ? static_cast<void*>(out->data64[c])
                               : static_cast<void*>(out->data32 ? out->data32[c] : nullptr);
    mOutputTargets[static_cast<size_t>(c)] = target;
    SetOutputConnected(c, target != nullptr);
  }
}

void IEffectClap::RunPiece(bool doublePrecision, int offset, int frames) {
  for (int c = 0; c < NInChannels(); ++c) {
    const void* source = mInputSources[static_cast<size_t>(c)];
    if (!source) continue;
    if (doublePrecision) {
      SetInputPointer(c, const_cast<double*>(static_cast<const double*>(source)) + offset);
    } else {
      float* samples = const_cast<float*>(static_cast<const float*>(source)) + offset;
      ConvertInputs(c, 1, &samples, frames);
    }
  }
  for (int c = 0; c < NOutChannels(); ++c) {
    void* target = mOutputTargets[static_cast<size_t>(c)];
    if (!target) continue;
    if (doublePrecision) {
      SetOutputPointer(c, static_cast<double*>(target) + offset);
    } else {
      SetOutputPointer(c, OutputScratch(c));
      SetOutputDestination(c, static_cast<float*>(target) + offset);
    }
  }
  if (IsBypassed()) {
    PassThrough(frames);
    if (!doublePrecision) ConvertConnectedOutputs(frames);
    return;
  }
  const FlushDenormals flush;
  mPieceOffset = offset;
  ProcessBlock(InputPointers(), OutputPointers(), frames);
  if (!doublePrecision) ConvertConnectedOutputs(frames);
}

// Ports: one main input and one main output of the selected width, in
// either sample size; the configurations are mono and stereo.
namespace {

uint32_t PortCount(const clap_plugin_t* plugin, bool) { return IEffectClap::From(plugin)->NInChannels() > 0 ? 1 : 0; }

bool PortInfo(const clap_plugin_t* plugin, uint32_t index, bool isInput, clap_audio_port_info_t* info) {
  IEffectClap* effect = IEffectClap::From(plugin);
  if (index != 0 || !info) return false;
  const uint32_t channels = effect->PortChannels();
  *info = {};
  info->id = isInput ? 0 : 1;
  std::snprintf(info->name, sizeof info->name, "%s", isInput ? "Main Input" : "Output");
  info->flags = CLAP_AUDIO_PORT_IS_MAIN | CLAP_AUDIO_PORT_SUPPORTS_64BITS;
  info->channel_count = channels;
  info->port_type = channels == 2 ? CLAP_PORT_STEREO : CLAP_PORT_MONO;
  info->in_place_pair = CLAP_INVALID_ID;
  return true;
}

constexpr uint32_t kConfigChannels[] = {2, 1};

uint32_t ConfigCount(const clap_plugin_t*) { return 2; }

bool ConfigInfo(const clap_plugin_t*, uint32_t index, clap_audio_ports_config_t* config) {
  if (index >= 2 || !config) return false;
  const uint32_t channels = kConfigChannels[index];
  *config = {};
  config->id = channels;
  std::snprintf(config->name, sizeof config->name, "%s", channels == 2 ? "Stereo" : "Mono");
  config->input_port_count = config->output_port_count = 1;
  config->has_main_input = config->has_main_output = true;
  config->main_input_channel_count = config->main_output_channel_count = channels;
  config->main_input_port_type = config->main_output_port_type = channels == 2 ? CLAP_PORT_STEREO : CLAP_PORT_MONO;
  return true;
}

bool ConfigSelect(const clap_plugin_t* plugin, clap_id id) {
  IEffectClap* effect = IEffectClap::From(plugin);
  return effect->OnMainThread() && (id == 1 || id == 2) && effect->SelectPortChannels(id);
}

uint32_t LatencyGet(const clap_plugin_t* plugin) {
  return static_cast<uint32_t>(std::max(IEffectClap::From(plugin)->Latency(), 0));
}

uint32_t NotePortCount(const clap_plugin_t*, bool isInput) { return isInput ? 1 : 0; }

bool NotePortInfo(const clap_plugin_t*, uint32_t index, bool isInput, clap_note_port_info_t* info) {
  if (!isInput || index != 0 || !info) return false;
  *info = {};
  info->id = 0;
  info->supported_dialects = CLAP_NOTE_DIALECT_CLAP | CLAP_NOTE_DIALECT_MIDI;
  info->preferred_dialect = CLAP_NOTE_DIALECT_CLAP;
  std::snprintf(info->name, sizeof info->name, "%s", "Note Input");
  return true;
}

}  // namespace

const clap_plugin_audio_ports_t IEffectClap::kAudioPorts = {PortCount, PortInfo};
const clap_plugin_audio_ports_config_t IEffectClap::kAudioPortsConfig = {ConfigCount, ConfigInfo, ConfigSelect};
const clap_plugin_latency_t IEffectClap::kLatency = {LatencyGet};
const clap_plugin_note_ports_t IEffectClap::kNotePorts = {NotePortCount, NotePortInfo};
