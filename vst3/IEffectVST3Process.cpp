#include <algorithm>
#include <cmath>

#include "FlushDenormals.h"
#include "HostParamIds.h"
#include "IEffectVST3.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// Channel pointer array of a host bus, or null for a missing bus.
void** HostChannels(const AudioBusBuffers* buses, int32 count, int32 bus) {
  if (!buses || bus < 0 || bus >= count) return nullptr;
  return reinterpret_cast<void**>(buses[bus].channelBuffers32);
}

}  // namespace

tresult PLUGIN_API IEffectVST3::process(ProcessData& data) {
  try {
    PlugLock lock(Mutex());
    // Buffers of the other sample size are half or twice as long as the
    // set-up says: such a block is refused before anything is read or written.
    if (data.symbolicSampleSize != processSetup.symbolicSampleSize) return kResultFalse;
    if (data.processContext) mLastProcessContext = *data.processContext;
    mBlockHasContext = data.processContext != nullptr;
    ++mHostBlock;
    const int frames = std::max(data.numSamples, 0);
    GatherPoints(data.inputParameterChanges, frames);
    if (HasMidiIn() && data.inputEvents) DeliverMidiEvents(*data.inputEvents);

    const bool doublePrecision = processSetup.symbolicSampleSize == kSample64;
    ConnectInputs(data);
    ConnectOutputs(data);

    // Each point takes effect at its frame: the block is cut there, and into
    // pieces no longer than the scratch buffers hold.
    const int piece = BlockSize();
    bool reloaded = false;
    size_t next = 0;
    int done = 0;
    for (;;) {
      for (; next < mPoints.size() && mPoints[next].frame <= done; ++next)
        reloaded = ApplyParameterValue(mPoints[next].id, mPoints[next].value) || reloaded;
      if (done >= frames) break;
      if (piece <= 0) {
        SilenceOutputs(doublePrecision, frames);
        return kResultFalse;
      }
      const int until = next < mPoints.size() ? mPoints[next].frame : frames;
      for (; done < until;) {
        const int n = std::min(piece, until - done);
        RunPiece(doublePrecision, done, n);
        done += n;
      }
    }
    if (reloaded && data.outputParameterChanges) ReportAllValues(*data.outputParameterChanges);
    return kResultOk;
  } catch (...) {
    return kResultFalse;
  }
}

// Every point of every queue, its frame limited to the block; a point at or
// past the end takes effect after the block's last frame. A host that sends
// more points than there is room for has each further queue cut to its last
// point, which decides the value the block ends with.
void IEffectVST3::GatherPoints(IParameterChanges* changes, int frames) {
  mPoints.clear();
  if (!changes) return;
  const int32 count = changes->getParameterCount();
  int32 order = 0;
  for (int32 i = 0; i < count; ++i) {
    IParamValueQueue* queue = changes->getParameterData(i);
    if (!queue) continue;
    const int32 points = queue->getPointCount();
    const size_t room = mPoints.capacity() - mPoints.size();
    const int32 first = static_cast<size_t>(std::max(points, 0)) <= room ? 0 : points - 1;
    for (int32 p = std::max(first, 0); p < points && mPoints.size() < mPoints.capacity(); ++p) {
      int32 offset = 0;
      ParamValue value = 0.0;
      if (queue->getPoint(p, offset, value) != kResultOk) continue;
      mPoints.push_back({std::clamp(offset, 0, frames), order++, queue->getParameterId(), value});
    }
  }
  std::sort(mPoints.begin(), mPoints.end(), [](const QueuedPoint& a, const QueuedPoint& b) {
    return a.frame != b.frame ? a.frame < b.frame : a.order < b.order;
  });
}

bool IEffectVST3::ApplyParameterValue(ParamID id, double value) {
  if (!std::isfinite(value)) return false;
  if (id == kPresetParamId) {
    // A program outside the list is ignored rather than clamped onto preset 0,
    // which would reset every knob.
    const int preset = PresetForValue(value);
    return preset >= 0 && LoadPreset(preset);
  }
  value = std::clamp(value, 0.0, 1.0);
  if (id == kBypassParamId) {
    const bool bypass = value > 0.5;
    TakeHostBypass(bypass);
  } else if (id < static_cast<ParamID>(NParams())) {
    const int index = static_cast<int>(id);
    GetParam(index)->SetFromNormalized(value);
    HandleParamChange(index);
  }
  return false;
}

// After a program change the host learns every new value from the output
// queues, on the audio thread, without asking the controller.
void IEffectVST3::ReportAllValues(IParameterChanges& changes) {
  for (int i = 0; i < NParams(); ++i) {
    int32 queueIndex = 0;
    IParamValueQueue* queue = changes.addParameterData(static_cast<ParamID>(i), queueIndex);
    int32 pointIndex = 0;
    if (queue) queue->addPoint(0, GetParam(i)->NormalizedValue(), pointIndex);
  }
}

// The host's bypass, from its queue or a restored state: the audio follows
// it and the controller shows it.
void IEffectVST3::TakeHostBypass(bool bypass) {
  SetBypassed(bypass);
  mShownBypass.store(bypass ? 1.0 : 0.0, std::memory_order_relaxed);
}

// Without scratch buffers nothing can be processed; the host gets silence
// rather than whatever its buffers held.
void IEffectVST3::SilenceOutputs(bool doublePrecision, int frames) {
  for (int c = 0; c < NOutChannels(); ++c) {
    void* target = mOutputTargets[static_cast<size_t>(c)];
    if (!target) continue;
    if (doublePrecision)
      std::fill_n(static_cast<double*>(target), frames, 0.0);
    else
      std::fill_n(static_cast<float*>(target), frames, 0.0f);
  }
}

void IEffectVST3::DeliverMidiEvents(IEventList& events) {
  const int32 count = events.getEventCount();
  for (int32 i = 0; i < count; ++i) {
    Event e = {};
    if (events.getEvent(i, e) != kResultOk) continue;
    MidiMessage message;
    message.frameOffset = e.sampleOffset;
    if (e.type == Event::kNoteOnEvent) {
      message.status = static_cast<uint8_t>(0x90 | (e.noteOn.channel & 0x0F));
      message.data1 = static_cast<uint8_t>(e.noteOn.pitch);
      const float velocity = std::clamp(e.noteOn.velocity, 0.0f, 1.0f);
      message.data2 = static_cast<uint8_t>(static_cast<int>(velocity * 127));
    } else if (e.type == Event::kNoteOffEvent) {
      message.status = static_cast<uint8_t>(0x80 | (e.noteOff.channel & 0x0F));
      message.data1 = static_cast<uint8_t>(e.noteOff.pitch);
    } else {
      continue;
    }
    HandleMidiIn(message);
  }
}

// Core input channels take the channels of host input bus 0 in order. A
// channel the host does not deliver (fewer channels, null pointers, no bus)
// reads its own scratch buffer instead.
void IEffectVST3::ConnectInputs(const ProcessData& data) {
  const bool haveBus = data.numInputs > 0 && data.inputs;
  const int32 n = haveBus ? data.inputs[0].numChannels : 0;
  void** host = HostChannels(data.inputs, data.numInputs, 0);
  for (int c = 0; c < NInChannels(); ++c) {
    void* source = (host && c < n) ? host[c] : nullptr;
    mInputSources[static_cast<size_t>(c)] = source;
    SetInputConnected(c, source != nullptr);
  }
}

// Core output channels take the channels of the host output buses in order.
// An inactive bus, a missing channel or a null pointer leaves the channel
// writing into its scratch buffer; the host buffer is not touched.
void IEffectVST3::ConnectOutputs(const ProcessData& data) {
  const int nOut = NOutChannels();
  std::fill(mOutputTargets.begin(), mOutputTargets.end(), nullptr);
  int first = 0;
  for (int32 bus = 0; bus < data.numOutputs && data.outputs && first < nOut; ++bus) {
    const int g = std::max(data.outputs[bus].numChannels, 0);
    const bool active =
        bus < static_cast<int32>(audioOutputs.size()) && audioOutputs[static_cast<size_t>(bus)]->isActive();
    void** host = HostChannels(data.outputs, data.numOutputs, bus);
    for (int c = first; c < nOut && c < first + g; ++c)
      mOutputTargets[static_cast<size_t>(c)] = (active && host) ? host[c - first] : nullptr;
    for (int c = first + g; c < nOut; ++c) mOutputTargets[static_cast<size_t>(c)] = nullptr;
    first += g;
  }
  for (int c = 0; c < nOut; ++c) SetOutputConnected(c, mOutputTargets[static_cast<size_t>(c)] != nullptr);
}

void IEffectVST3::RunPiece(bool doublePrecision, int offset, int frames) {
  for (int c = 0; c < NInChannels(); ++c) {
    void* source = mInputSources[static_cast<size_t>(c)];
    if (!source) continue;
    if (doublePrecision) {
      SetInputPointer(c, static_cast<double*>(source) + offset);
    } else {
      float* samples = static_cast<float*>(source) + offset;
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
    // The host's bypass hands back the input bit for bit, subnormals too.
    PassThrough(frames);
    if (!doublePrecision) ConvertConnectedOutputs(frames);
    return;
  }
  // Subnormal numbers cost a hundred times more per operation on these
  // processors and are far below hearing: the effect and its conversion to
  // single precision flush them to zero.
  const FlushDenormals flush;
  mPieceOffset = offset;
  ProcessBlock(InputPointers(), OutputPointers(), frames);
  if (!doublePrecision) ConvertConnectedOutputs(frames);
}
