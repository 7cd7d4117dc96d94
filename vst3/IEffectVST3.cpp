#include "IEffectVST3.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "ChannelBuffers.h"
#include "HostIdentify.h"
#include "SpeakerArrangement.h"
#include "WideText.h"
#include "pluginterfaces/base/ustring.h"
#include "pluginterfaces/vst/ivsthostapplication.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

IEffectVST3::IEffectVST3(int nParams, const char* channelIOText, int nPresets, const char* effectName,
                         const char* productName, const char* makerName, int uniqueId, int makerId, int version,
                         int adapterKind, int latency, bool isInstrument, bool midiIn)
    : IEffectBase(nParams, channelIOText, nPresets, effectName, productName, makerName, uniqueId, makerId, version,
                  adapterKind, latency, isInstrument, midiIn),
      mLastProcessContext{} {
  for (int c = 0; c < NInChannels(); ++c) SetInputConnected(c, true);
  for (int c = 0; c < NOutChannels(); ++c) SetOutputConnected(c, true);
  if (NInChannels() > 0) CreateDelayLine();

  mInputBusNames.emplace_back("Main Input");
  if (IsInstrument()) {
    for (int j = 0; 2 * j < NOutChannels(); ++j) {
      char name[32];
      std::snprintf(name, sizeof name, "Output %i", j + 1);
      mOutputBusNames.emplace_back(name);
    }
  } else {
    mOutputBusNames.emplace_back("Output");
  }
  mInputSources.assign(static_cast<size_t>(NInChannels()), nullptr);
  mOutputTargets.assign(static_cast<size_t>(NOutChannels()), nullptr);
  mPoints.reserve(kMaxPoints);
}

IEffectVST3::~IEffectVST3() = default;

tresult PLUGIN_API IEffectVST3::initialize(FUnknown* context) {
  try {
    // A null context is never stored, so the base would take every call with
    // one for a first call; the flag keeps buses and parameters from doubling.
    const bool first = SingleComponentEffect::initialize(context) == kResultOk && !mHostSetupDone;
    IdentifyHostFrom(context);
    if (first) {
      CreateBuses();
      RegisterParameters();
      mHostSetupDone = true;
    }
    AfterHostSetup();
    // A host may process before it sets up processing; the buffers are ready.
    if (BlockSize() <= 0) IEffectBase::ChangeBlockSize(kDefaultMaxBlock);
    LoadPreset(0);
    return first ? kResultOk : kResultFalse;
  } catch (...) {
    return kResultFalse;
  }
}

tresult PLUGIN_API IEffectVST3::terminate() {
  mHostSetupDone = false;
  return SingleComponentEffect::terminate();
}

void IEffectVST3::IdentifyHostFrom(FUnknown* context) {
  FUnknownPtr<IHostApplication> host(context);
  if (!host) return;
  String128 wide = {};
  char name[128] = {};
  if (host->getName(wide) == kResultOk) {
    wide[127] = 0;
    NarrowText(wide, name);
  }
  SetHostIdentity(IdentifyHost(name), 0);
}

void IEffectVST3::CreateBuses() {
  String128 name;
  SpeakerArrangement in = SpeakerArrangementForCount(NInChannels());
  if (in != SpeakerArr::kEmpty) {
    WidenText(mInputBusNames.front().c_str(), name);
    addAudioInput(name, in, kMain, BusInfo::kDefaultActive);
  }
  if (IsInstrument()) {
    for (const std::string& busName : mOutputBusNames) {
      WidenText(busName.c_str(), name);
      addAudioOutput(name, SpeakerArr::kStereo, kMain, BusInfo::kDefaultActive);
    }
  } else {
    WidenText(mOutputBusNames.front().c_str(), name);
    addAudioOutput(name, SpeakerArrangementForCount(NOutChannels()), kMain, BusInfo::kDefaultActive);
  }
  if (HasMidiIn()) {
    WidenText("MIDI Input", name);
    addEventInput(name, 1, kMain, BusInfo::kDefaultActive);
  }
}

AudioBus* IEffectVST3::FirstAudioBus(BusList& list) {
  return list.empty() ? nullptr : FCast<AudioBus>(list.front().get());
}

tresult PLUGIN_API IEffectVST3::setActive(TBool state) {
  try {
    ActivationChanged(state != 0);
    return kResultOk;
  } catch (...) {
    return kResultFalse;
  }
}

tresult PLUGIN_API IEffectVST3::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                   SpeakerArrangement* outputs, int32 numOuts) {
  try {
    const int in = (numIns > 0 && inputs) ? SpeakerArr::getChannelCount(inputs[0]) : 0;
    const int out = (numOuts > 0 && outputs) ? SpeakerArr::getChannelCount(outputs[0]) : 0;
    const bool legal = LegalIO(in, out);
    // New buses are made before the lock and the old ones freed after it, so a
    // host that calls this while a block runs makes the block wait only for
    // the lists to change hands.
    std::vector<IPtr<Bus>> newInputs;
    std::vector<IPtr<Bus>> newOutputs;
    AudioBus* inBus = FirstAudioBus(audioInputs);
    AudioBus* outBus = FirstAudioBus(audioOutputs);
    const bool rebuildIn = legal && inBus && SpeakerArr::getChannelCount(inBus->getArrangement()) != in;
    const bool rebuildOut = legal && outBus && SpeakerArr::getChannelCount(outBus->getArrangement()) != out;
    if (rebuildIn) newInputs.push_back(MakeAudioBus("Input", in));
    if (rebuildOut) newOutputs.push_back(MakeAudioBus("Output", out));
    {
      PlugLock lock(Mutex());
      DisconnectAllChannels();
      if (rebuildIn) static_cast<std::vector<IPtr<Bus>>&>(audioInputs).swap(newInputs);
      if (rebuildOut) static_cast<std::vector<IPtr<Bus>>&>(audioOutputs).swap(newOutputs);
    }
    if (!legal) return kResultFalse;
    return numIns == 1 ? kResultOk : kResultFalse;
  } catch (...) {
    return kResultFalse;
  }
}

IPtr<Bus> IEffectVST3::MakeAudioBus(const char* name, int channels) {
  String128 wide;
  WidenText(name, wide);
  return owned(new AudioBus(wide, kMain, BusInfo::kDefaultActive, SpeakerArrangementForCount(channels)));
}

tresult PLUGIN_API IEffectVST3::canProcessSampleSize(int32 symbolicSampleSize) {
  return (symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64) ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API IEffectVST3::getLatencySamples() { return static_cast<uint32>(Latency()); }

uint32 PLUGIN_API IEffectVST3::getTailSamples() { return static_cast<uint32>(TailSize()); }

// The host's bypass is not touched here: it stays in force until the host
// changes it, across deactivate, set-up and activate alike. A host may call
// this while another thread is in process (against the contract): the new
// scratch buffers are made before the lock and swapped in under it.
tresult PLUGIN_API IEffectVST3::setupProcessing(ProcessSetup& setup) {
  // Only the two sample sizes process() knows how to wire are accepted.
  if (canProcessSampleSize(setup.symbolicSampleSize) != kResultTrue) return kResultFalse;
  if (!(setup.sampleRate >= kMinSampleRate && setup.sampleRate <= kMaxSampleRate)) return kResultFalse;
  try {
    const int requested = setup.maxSamplesPerBlock > 0 ? setup.maxSamplesPerBlock : kDefaultMaxBlock;
    const int scratchFrames = std::min(requested, kMaxScratchFrames);
    ScratchSet scratch;
    const bool resize = scratchFrames != BlockSize();
    // Scratch buffers that could not be had leave the earlier ones in place.
    if (resize && !MakeScratch(scratchFrames, scratch)) return kResultFalse;
    {
      PlugLock lock(Mutex());
      if (resize) SwapScratch(scratch);
      SetSampleRate(setup.sampleRate);
      processSetup = setup;
    }
    PrepareForProcessing();
    return kResultOk;
  } catch (...) {
    return kResultFalse;
  }
}

bool IEffectVST3::IsOfflineRender() { return processSetup.processMode == kOffline; }

int IEffectVST3::HostSamplePosition() {
  return static_cast<int>(static_cast<uint32>(static_cast<uint64>(mLastProcessContext.projectTimeSamples)));
}

double IEffectVST3::HostTempo() { return mLastProcessContext.tempo; }

void IEffectVST3::HostTimeSignature(int& numerator, int& denominator) {
  numerator = mLastProcessContext.timeSigNumerator;
  denominator = mLastProcessContext.timeSigDenominator;
}

void IEffectVST3::HostTransportInfo(HostTransport& transport) {
  const ProcessContext& c = mLastProcessContext;
  transport.tempo = c.tempo;
  transport.samplePosition = static_cast<double>(c.projectTimeSamples);
  transport.quarterNotePosition = c.projectTimeMusic;
  transport.lastBarStart = c.barPositionMusic;
  transport.cycleStart = c.cycleStartMusic;
  transport.cycleEnd = c.cycleEndMusic;
  transport.timeSigNumerator = c.timeSigNumerator;
  transport.timeSigDenominator = c.timeSigDenominator;
  transport.playing = (c.state & ProcessContext::kPlaying) != 0;
  transport.cycling = (c.state & ProcessContext::kCycleActive) != 0;
  transport.tempoValid = mBlockHasContext && (c.state & ProcessContext::kTempoValid) != 0;
  transport.quarterNotesValid = mBlockHasContext && (c.state & ProcessContext::kProjectTimeMusicValid) != 0;
  transport.timeSigValid = mBlockHasContext && (c.state & ProcessContext::kTimeSigValid) != 0;
  transport.blockOffset = mPieceOffset;
  transport.block = mHostBlock;
}

void IEffectVST3::ChangeLatency(int frames) {
  IEffectBase::ChangeLatency(frames);
  if (!componentHandler) return;
  FUnknownPtr<IComponentHandler> handler(componentHandler);
  if (handler) handler->restartComponent(kLatencyChanged);
}
