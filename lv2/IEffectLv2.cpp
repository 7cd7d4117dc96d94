#include "IEffectLv2.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "ChannelBuffers.h"
#include "FlushDenormals.h"
#include "SavedState.h"
#include "lv2/atom/atom.h"
#include "lv2/atom/util.h"
#include "lv2/midi/midi.h"
#include "lv2/time/time.h"

namespace {

constexpr double kMinSampleRate = 1000.0;
constexpr double kMaxSampleRate = 1536000.0;
constexpr char kStateKeyUri[] = "urn:quenwick:vellox:state";

// A single-precision control value as the plain value it stands for: the
// step multiple it is the nearest float to ("0.37" means 0.37, not
// 0.3700000047), or else the value itself.
double FromControl(const IParamSlot& slot, float value) {
  const double step = slot.Step();
  if (!(step > 0.0)) return value;
  const double multiple = std::floor(value / step + 0.5) * step;
  return static_cast<float>(multiple) == value ? multiple : static_cast<double>(value);
}

}  // namespace

// The editor's resizing rules are those of a host that sizes its own window.
IEffectLv2::IEffectLv2(int nParams, const char* channelIOText, int nPresets, const char* effectName,
                       const char* productName, const char* makerName, int uniqueId, int makerId, int version,
                       int adapterKind, int latency, bool isInstrument, bool midiIn)
    : IEffectBase(nParams, channelIOText, nPresets, effectName, productName, makerName, uniqueId, makerId, version,
                  kAdapterFramedByHost, latency, isInstrument, midiIn) {
  mControls.assign(static_cast<size_t>(nParams), nullptr);
  mApplied.assign(static_cast<size_t>(nParams), std::numeric_limits<float>::quiet_NaN());
  if (NInChannels() > 0) CreateDelayLine();
}

bool IEffectLv2::BindLv2(double sampleRate, int channels, const LV2_Feature* const* features) {
  if (!(sampleRate >= kMinSampleRate && sampleRate <= kMaxSampleRate) || !LegalIO(channels, channels)) return false;
  mChannels = channels;
  for (int c = 0; c < NInChannels(); ++c) SetInputConnected(c, false);
  for (int c = 0; c < NOutChannels(); ++c) SetOutputConnected(c, false);
  for (const LV2_Feature* const* f = features; f && *f; ++f)
    if (!std::strcmp((*f)->URI, LV2_URID__map)) mMap = static_cast<LV2_URID_Map*>((*f)->data);
  if (mMap) {
    auto map = [this](const char* uri) { return mMap->map(mMap->handle, uri); };
    mUrid = {map(LV2_ATOM__Blank),          map(LV2_ATOM__Object),      map(LV2_ATOM__Float),
             map(LV2_ATOM__Double),         map(LV2_ATOM__Int),         map(LV2_ATOM__Long),
             map(LV2_ATOM__Chunk),          map(LV2_MIDI__MidiEvent),   map(LV2_TIME__Position),
             map(LV2_TIME__frame),          map(LV2_TIME__speed),       map(LV2_TIME__bar),
             map(LV2_TIME__barBeat),        map(LV2_TIME__beatsPerBar), map(LV2_TIME__beatUnit),
             map(LV2_TIME__beatsPerMinute), map(kStateKeyUri)};
  }
  ChangeBlockSize(kMaxScratchFrames);
  SetSampleRate(sampleRate);
  AfterHostSetup();
  LoadPreset(0);
  PrepareForProcessing();
  return BlockSize() == kMaxScratchFrames;
}

void IEffectLv2::ConnectPort(uint32_t port, void* data) {
  const uint32_t n = static_cast<uint32_t>(NParams());
  if (port < n) {
    mControls[port] = static_cast<const float*>(data);
  } else if (port == EnabledPort(NParams())) {
    mEnabled = static_cast<const float*>(data);
  } else if (port == EventsPort(NParams())) {
    mEvents = data;
  } else {
    const uint32_t audio = port - FirstAudioPort(NParams());
    const uint32_t channels = static_cast<uint32_t>(mChannels);
    if (audio < channels)
      mInputs[audio] = static_cast<const float*>(data);
    else if (audio < 2 * channels)
      mOutputs[audio - channels] = static_cast<float*>(data);
  }
}

void IEffectLv2::Activate() { ActivationChanged(true); }

// An edit in the editor: the host moves the control port, as a knob of its
// own would; the plug-in takes the value from the port on its next run.
void IEffectLv2::SendHostEdit(int index, double normalized) {
  const IParamSlot* slot = GetParam(index);
  if (!slot || !mUiWrite) return;
  const float value = static_cast<float>(slot->PlainForNormalized(normalized));
  mUiWrite(mUiController, static_cast<uint32_t>(index), sizeof value, 0, &value);
}

// A port the host writes back with the value the core holds (in single
// precision) changes nothing, so the program's values stand.
bool IEffectLv2::EditProgram(int index) {
  if (index < 0 || index >= NPresets()) return false;
  {
    PlugLock lock(Mutex());
    if (!LoadPreset(index, false)) return false;
  }
  RefreshParamControls();
  if (mUiWrite)
    for (int i = 0; i < NParams(); ++i) {
      const float value = static_cast<float>(GetParam(i)->Value());
      mUiWrite(mUiController, static_cast<uint32_t>(i), sizeof value, 0, &value);
    }
  return true;
}

void IEffectLv2::HostTransportInfo(HostTransport& transport) {
  transport = mTransport;
  transport.blockOffset = mPieceOffset;
  transport.block = mHostBlock;
}

// Control values are single precision: one the core already holds in that
// precision is not taken again, so a restored state stands until the host
// moves the control.
void IEffectLv2::ApplyControls() {
  for (int i = 0; i < NParams(); ++i) {
    const float* port = mControls[static_cast<size_t>(i)];
    if (!port || !std::isfinite(*port) || *port == mApplied[static_cast<size_t>(i)]) continue;
    mApplied[static_cast<size_t>(i)] = *port;
    IParamSlot* slot = GetParam(i);
    if (*port == static_cast<float>(slot->Value())) continue;
    slot->SetValue(slot->Limited(FromControl(*slot, *port)));
    HandleParamChange(i);
  }
  if (mEnabled && std::isfinite(*mEnabled) && *mEnabled != mAppliedEnabled) {
    mAppliedEnabled = *mEnabled;
    SetBypassed(!(*mEnabled > 0.5f));
  }
}

namespace {

bool NumberOf(const LV2_Atom* atom, const LV2_URID (&types)[4], double& value) {
  if (!atom) return false;
  if (atom->type == types[0])
    value = reinterpret_cast<const LV2_Atom_Float*>(atom)->body;
  else if (atom->type == types[1])
    value = reinterpret_cast<const LV2_Atom_Double*>(atom)->body;
  else if (atom->type == types[2])
    value = reinterpret_cast<const LV2_Atom_Int*>(atom)->body;
  else if (atom->type == types[3])
    value = static_cast<double>(reinterpret_cast<const LV2_Atom_Long*>(atom)->body);
  else
    return false;
  return std::isfinite(value);
}

}  // namespace

// A time:Position: whatever it carries replaces what the plug-in had.
void IEffectLv2::ReadPosition(const void* body) {
  const auto* object = static_cast<const LV2_Atom_Object*>(body);
  const LV2_Atom *frame = nullptr, *speed = nullptr, *bar = nullptr, *barBeat = nullptr, *beatsPerBar = nullptr,
                 *beatUnit = nullptr, *bpm = nullptr;
  lv2_atom_object_get(object, mUrid.timeFrame, &frame, mUrid.timeSpeed, &speed, mUrid.timeBar, &bar, mUrid.timeBarBeat,
                      &barBeat, mUrid.timeBeatsPerBar, &beatsPerBar, mUrid.timeBeatUnit, &beatUnit,
                      mUrid.timeBeatsPerMinute, &bpm, 0);
  const LV2_URID types[4] = {mUrid.atomFloat, mUrid.atomDouble, mUrid.atomInt, mUrid.atomLong};
  double v = 0.0, perBar = 0.0, unit = 0.0, barNumber = 0.0, inBar = 0.0;
  if (NumberOf(frame, types, v)) mTransport.samplePosition = v;
  if (NumberOf(speed, types, v)) mTransport.playing = v > 0.0;
  if (NumberOf(bpm, types, v) && v > 0.0) {
    mTransport.tempo = v;
    mTransport.tempoValid = true;
  }
  if (NumberOf(beatsPerBar, types, perBar) && NumberOf(beatUnit, types, unit) && perBar > 0.0 && unit > 0.0) {
    mTransport.timeSigNumerator = static_cast<int32_t>(perBar);
    mTransport.timeSigDenominator = static_cast<int32_t>(unit);
    mTransport.timeSigValid = true;
  }
  // The song position in quarter notes, from the bar and the beat in it.
  if (NumberOf(bar, types, barNumber) && NumberOf(barBeat, types, inBar) && mTransport.timeSigValid) {
    const double quartersPerBeat = 4.0 / mTransport.timeSigDenominator;
    mTransport.lastBarStart = barNumber * mTransport.timeSigNumerator * quartersPerBeat;
    mTransport.quarterNotePosition = mTransport.lastBarStart + inBar * quartersPerBeat;
    mTransport.quarterNotesValid = true;
  }
  mHasPosition = true;
}

// Positions and MIDI of the run; without urid:map there are none.
void IEffectLv2::ReadEvents() {
  if (!mMap || !mEvents) return;
  const auto* sequence = static_cast<const LV2_Atom_Sequence*>(mEvents);
  LV2_ATOM_SEQUENCE_FOREACH(sequence, ev) {
    const LV2_Atom& atom = ev->body;
    if ((atom.type == mUrid.atomObject || atom.type == mUrid.atomBlank) &&
        reinterpret_cast<const LV2_Atom_Object*>(&atom)->body.otype == mUrid.timePosition) {
      ReadPosition(&atom);
    } else if (atom.type == mUrid.midiEvent && atom.size >= 1 && HasMidiIn()) {
      const auto* bytes = reinterpret_cast<const uint8_t*>(&atom + 1);
      MidiMessage message;
      message.frameOffset = static_cast<int32_t>(ev->time.frames);
      message.status = bytes[0];
      message.data1 = atom.size > 1 ? bytes[1] : 0;
      message.data2 = atom.size > 2 ? bytes[2] : 0;
      HandleMidiIn(message);
    }
  }
}

void IEffectLv2::Run(uint32_t frames) {
  PlugLock lock(Mutex());
  ++mHostBlock;
  ReadEvents();
  ApplyControls();
  for (uint32_t done = 0; done < frames;) {
    const uint32_t n = std::min<uint32_t>(frames - done, static_cast<uint32_t>(BlockSize()));
    RunPiece(done, n);
    done += n;
  }
  // Hosts send a position when it changes: between them it runs on.
  mTransport.samplePosition += frames;
  if (mTransport.playing && mTransport.tempoValid)
    mTransport.quarterNotePosition += frames * mTransport.tempo / (60.0 * SampleRate());
}

void IEffectLv2::RunPiece(uint32_t offset, uint32_t frames) {
  const int n = static_cast<int>(frames);
  for (int c = 0; c < mChannels; ++c) {
    const bool in = mInputs[c] != nullptr;
    SetInputConnected(c, in);
    if (in) {
      float* samples = const_cast<float*>(mInputs[c]) + offset;
      ConvertInputs(c, 1, &samples, n);
    }
    const bool out = mOutputs[c] != nullptr;
    SetOutputConnected(c, out);
    if (out) {
      SetOutputPointer(c, OutputScratch(c));
      SetOutputDestination(c, mOutputs[c] + offset);
    }
  }
  if (IsBypassed()) {
    PassThrough(n);
    ConvertConnectedOutputs(n);
    return;
  }
  const FlushDenormals flush;
  mPieceOffset = static_cast<int>(offset);
  ProcessBlock(InputPointers(), OutputPointers(), n);
  ConvertConnectedOutputs(n);
}

LV2_State_Status IEffectLv2::Save(LV2_State_Store_Function store, LV2_State_Handle handle) {
  if (!mMap || !store) return LV2_STATE_ERR_NO_FEATURE;
  std::vector<uint8_t> bytes;
  if (!EncodeSavedState(*this, IsBypassed(), bytes)) return LV2_STATE_ERR_UNKNOWN;
  return store(handle, mUrid.stateKey, bytes.data(), bytes.size(), mUrid.atomChunk,
               LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

// All or nothing, as in every format.
LV2_State_Status IEffectLv2::Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
  if (!mMap || !retrieve) return LV2_STATE_ERR_NO_FEATURE;
  size_t size = 0;
  uint32_t type = 0, flags = 0;
  const void* data = retrieve(handle, mUrid.stateKey, &size, &type, &flags);
  if (!data) return LV2_STATE_ERR_NO_PROPERTY;
  DecodedState state;
  if (type != mUrid.atomChunk || size > MaxSavedStateBytes(*this) ||
      !DecodeSavedState(*this, static_cast<const uint8_t*>(data), size, state))
    return LV2_STATE_ERR_BAD_TYPE;
  ApplySavedState(*this, state);
  SetBypassed(state.bypassed);
  RefreshParamControls();
  return LV2_STATE_SUCCESS;
}
