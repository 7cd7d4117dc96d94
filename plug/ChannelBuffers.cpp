#include "ChannelBuffers.h"

#include <algorithm>
#include <new>

ChannelBuffers::ChannelBuffers(int nInputs, int nOutputs)
    : mInPtrs(static_cast<size_t>(std::max(nInputs, 0)), nullptr),
      mOutPtrs(static_cast<size_t>(std::max(nOutputs, 0)), nullptr),
      mInputs(mInPtrs.size()),
      mOutputs(mOutPtrs.size()) {}

InputChannel* ChannelBuffers::Input(int c) {
  return c >= 0 && c < NInputs() ? &mInputs[static_cast<size_t>(c)] : nullptr;
}
OutputChannel* ChannelBuffers::Output(int c) {
  return c >= 0 && c < NOutputs() ? &mOutputs[static_cast<size_t>(c)] : nullptr;
}
const InputChannel* ChannelBuffers::Input(int c) const {
  return c >= 0 && c < NInputs() ? &mInputs[static_cast<size_t>(c)] : nullptr;
}
const OutputChannel* ChannelBuffers::Output(int c) const {
  return c >= 0 && c < NOutputs() ? &mOutputs[static_cast<size_t>(c)] : nullptr;
}

void ChannelBuffers::SetInputConnected(int c, bool connected) {
  if (InputChannel* ch = Input(c)) {
    // The scratch buffer held converted input while connected; an
    // unconnected channel must read silence, not an earlier block.
    if (ch->connected && !connected) std::fill(ch->scratch.begin(), ch->scratch.end(), 0.0);
    ch->connected = connected;
    if (!connected) mInPtrs[static_cast<size_t>(c)] = ch->scratch.data();
  }
}

void ChannelBuffers::SetOutputConnected(int c, bool connected) {
  if (OutputChannel* ch = Output(c)) {
    ch->connected = connected;
    if (!connected) mOutPtrs[static_cast<size_t>(c)] = ch->scratch.data();
  }
}

void ChannelBuffers::SetInputPointer(int c, double* samples) {
  if (Input(c)) mInPtrs[static_cast<size_t>(c)] = samples;
}

void ChannelBuffers::SetOutputPointer(int c, double* samples) {
  if (Output(c)) mOutPtrs[static_cast<size_t>(c)] = samples;
}

double* ChannelBuffers::InputScratch(int c) {
  InputChannel* ch = Input(c);
  return ch ? ch->scratch.data() : nullptr;
}

double* ChannelBuffers::OutputScratch(int c) {
  OutputChannel* ch = Output(c);
  return ch ? ch->scratch.data() : nullptr;
}

bool ChannelBuffers::ResizeScratch(int frames) {
  ScratchSet set;
  if (!MakeScratch(frames, set)) return false;
  SwapScratch(set);
  return true;
}

bool ChannelBuffers::MakeScratch(int frames, ScratchSet& set) const {
  const size_t n = static_cast<size_t>(std::max(frames, 0));
  try {
    set.buffers.clear();
    set.buffers.reserve(mInputs.size() + mOutputs.size());
    for (size_t i = 0; i < mInputs.size() + mOutputs.size(); ++i) set.buffers.emplace_back(n, 0.0);
  } catch (const std::bad_alloc&) {
    set.buffers.clear();
    return false;
  }
  set.frames = static_cast<int>(n);
  return true;
}

bool ChannelBuffers::SwapScratch(ScratchSet& set) {
  if (set.buffers.size() != mInputs.size() + mOutputs.size()) return false;
  size_t k = 0;
  // Entries that pointed at the old scratch follow it to the new one.
  for (size_t c = 0; c < mInputs.size(); ++c, ++k) {
    const bool onScratch = mInPtrs[c] == mInputs[c].scratch.data();
    mInputs[c].scratch.swap(set.buffers[k]);
    if (onScratch) mInPtrs[c] = mInputs[c].scratch.data();
  }
  for (size_t c = 0; c < mOutputs.size(); ++c, ++k) {
    const bool onScratch = mOutPtrs[c] == mOutputs[c].scratch.data();
    mOutputs[c].scratch.swap(set.buffers[k]);
    if (onScratch) mOutPtrs[c] = mOutputs[c].scratch.data();
  }
  std::swap(mScratchFrames, set.frames);
  return true;
}

int ChannelBuffers::LimitFrames(int frames) const { return std::min(std::max(frames, 0), mScratchFrames); }

void ChannelBuffers::DisconnectAll() {
  for (int c = 0; c < NInputs(); ++c) SetInputConnected(c, false);
  for (int c = 0; c < NOutputs(); ++c) SetOutputConnected(c, false);
}

void ChannelBuffers::ConvertInputs(int start, int count, float* const* sources, int frames) {
  if (!sources || start < 0 || count <= 0) return;
  const int n = LimitFrames(frames);
  const int end = static_cast<int>(std::min<long long>(static_cast<long long>(start) + count, NInputs()));
  for (int c = start; c < end; ++c) {
    InputChannel& ch = mInputs[static_cast<size_t>(c)];
    if (!ch.connected) continue;
    const float* src = *sources++;
    double* dst = ch.scratch.data();
    if (src)
      for (int i = 0; i < n; ++i) dst[i] = static_cast<double>(src[i]);
    mInPtrs[static_cast<size_t>(c)] = dst;
  }
}

void ChannelBuffers::ClearScratch() {
  for (InputChannel& ch : mInputs) std::fill(ch.scratch.begin(), ch.scratch.end(), 0.0);
  for (OutputChannel& ch : mOutputs) std::fill(ch.scratch.begin(), ch.scratch.end(), 0.0);
}

void ChannelBuffers::ConvertConnectedOutputs(int frames) {
  const int n = LimitFrames(frames);
  for (size_t c = 0; c < mOutputs.size(); ++c)
    if (mOutputs[c].connected) ConvertOutput(mOutPtrs[c], mOutputs[c].destination, n);
}

void ChannelBuffers::ConvertOutput(const double* source, float* destination, int frames) {
  if (!source || !destination) return;
  for (int i = 0; i < frames; ++i) destination[i] = static_cast<float>(source[i]);
}

void ChannelBuffers::PassThrough(int frames, int latency) {
  const int n = LimitFrames(frames);
  const int nIn = NInputs();
  const int nOut = NOutputs();
  if (latency != 0 && mDelay && mDelay->length > 0) {
    DelayLine& d = *mDelay;
    const int channels = std::min(nIn, d.inputs);
    for (int i = 0; i < n; ++i) {
      for (int c = 0; c < channels; ++c) {
        double* slot = &d.buffer[static_cast<size_t>(c) * d.length + d.writePos];
        const double delayed = *slot;
        const double current = mInPtrs[static_cast<size_t>(c)][i];
        if (c < nOut) mOutPtrs[static_cast<size_t>(c)][i] = delayed;
        *slot = current;
      }
      d.writePos = (d.writePos + 1) % d.length;
    }
    return;
  }
  for (int c = 0; c < nOut; ++c) {
    double* out = mOutPtrs[static_cast<size_t>(c)];
    if (c < nIn) {
      const double* in = mInPtrs[static_cast<size_t>(c)];
      if (out != in) std::copy(in, in + n, out);
    } else {
      std::fill(out, out + n, 0.0);
    }
  }
}

void ChannelBuffers::CreateDelayLine() {
  try {
    auto line = std::make_unique<DelayLine>();
    line->inputs = NInputs();
    line->outputs = NOutputs();
    mDelay = std::move(line);
  } catch (const std::bad_alloc&) {}
}

bool ChannelBuffers::ResizeDelayLine(int frames) {
  if (!mDelay) return true;
  const size_t n = static_cast<size_t>(std::max(frames, 0)) * static_cast<size_t>(mDelay->inputs);
  try {
    std::vector<double> fresh(n, 0.0);
    mDelay->buffer.swap(fresh);
  } catch (const std::bad_alloc&) {
    return false;
  }
  mDelay->length = std::max(frames, 0);
  mDelay->writePos = 0;
  return true;
}
