#pragma once

#include <memory>
#include <vector>

// Per-channel audio records of the plug-in base: the pointer arrays handed
// to ProcessBlock, each channel's scratch buffer, and the optional delay line
// that keeps bypassed audio aligned with the reported latency.
struct InputChannel {
  bool connected = false;
  std::vector<double> scratch;
};

struct OutputChannel {
  bool connected = false;
  float* destination = nullptr;
  std::vector<double> scratch;
};

struct DelayLine {
  std::vector<double> buffer;  // `inputs` segments of `length` samples
  int writePos = 0;
  int inputs = 0;
  int outputs = 0;
  int length = 0;
};

// Scratch buffers for every channel, made ahead of the swap that installs them.
struct ScratchSet {
  std::vector<std::vector<double>> buffers;  // inputs, then outputs
  int frames = 0;
};

class ChannelBuffers {
public:
  ChannelBuffers(int nInputs, int nOutputs);

  int NInputs() const { return static_cast<int>(mInputs.size()); }
  int NOutputs() const { return static_cast<int>(mOutputs.size()); }
  double** InputPointers() { return mInPtrs.empty() ? nullptr : mInPtrs.data(); }
  double** OutputPointers() { return mOutPtrs.empty() ? nullptr : mOutPtrs.data(); }
  InputChannel* Input(int c);
  OutputChannel* Output(int c);
  const InputChannel* Input(int c) const;
  const OutputChannel* Output(int c) const;

  void SetInputConnected(int c, bool connected);
  void SetOutputConnected(int c, bool connected);
  void SetInputPointer(int c, double* samples);
  void SetOutputPointer(int c, double* samples);
  double* InputScratch(int c);
  double* OutputScratch(int c);

  // Resizes every scratch buffer to frames zeros; false when memory ran out
  // (the previous buffers then stay as they were).
  bool ResizeScratch(int frames);
  // The two halves of ResizeScratch, so that only the swap needs the lock:
  // MakeScratch allocates set (false when memory ran out), SwapScratch
  // installs it without allocating and leaves the old buffers in set.
  bool MakeScratch(int frames, ScratchSet& set) const;
  bool SwapScratch(ScratchSet& set);

  void DisconnectAll();
  void ConvertInputs(int start, int count, float* const* sources, int frames);
  void ClearScratch();
  void ConvertConnectedOutputs(int frames);
  // frames doubles as single-precision samples into destination.
  static void ConvertOutput(const double* source, float* destination, int frames);
  void PassThrough(int frames, int latency);

  void CreateDelayLine();
  bool HasDelayLine() const { return mDelay != nullptr; }
  // Sets the delay to frames and clears it; false when memory ran out.
  bool ResizeDelayLine(int frames);

private:
  int LimitFrames(int frames) const;

  std::vector<double*> mInPtrs;
  std::vector<double*> mOutPtrs;
  std::vector<InputChannel> mInputs;
  std::vector<OutputChannel> mOutputs;
  std::unique_ptr<DelayLine> mDelay;
  int mScratchFrames = 0;
};
