#pragma once
// One CLAP plug-in instance driven by a strict host: every call is made from
// the thread and in the state the CLAP headers allow. The thread that makes
// the session is the main thread; processing runs on an audio thread of the
// session's own. Calls the plug-in makes back into the host from the wrong
// thread are counted as violations.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "clap/clap.h"

namespace vellox::host {

struct ClapProcessConfig {
  double sampleRate = 44100.0;
  uint32_t maxBlock = 1024;
  bool doublePrecision = false;
  uint32_t channels = 2;
};

class ClapSession {
public:
  // Creates and initialises the factory's first plug-in; null with `error` set.
  static std::unique_ptr<ClapSession> Create(const clap_plugin_factory_t* factory, std::string& error);
  ~ClapSession();
  ClapSession(const ClapSession&) = delete;
  ClapSession& operator=(const ClapSession&) = delete;

  const clap_plugin_t* Plugin() const { return mPlugin; }
  const clap_plugin_params_t* Params() const { return mParams; }
  const clap_plugin_gui_t* Gui() const { return mGui; }

  // Selects the port configuration, activates and starts processing.
  bool Start(const ClapProcessConfig& config, std::string& error);
  // Stops processing and deactivates; safe when not started.
  void Stop();
  bool Started() const { return mStarted; }

  // From the next block on, a playing transport at `tempo` BPM in 4/4 whose
  // first frame sits at `startBeat` quarter notes; without it, blocks carry
  // 120 BPM and no song position. `withTransport` false sends blocks with no
  // transport at all.
  void SetTransport(double tempo, double startBeat);
  void SendTransport(bool withTransport) { mSendTransport = withTransport; }

  // A parameter's plain value for the next block (or the next flush).
  void QueueValue(clap_id id, double value, uint32_t frame);
  void QueueNote(int16_t key, double velocity, uint32_t frame);
  // One block on the audio thread; the arrays hold `channels` pointers.
  clap_process_status Process(void* const* inputs, void* const* outputs, uint32_t frames);
  // Hands queued values to the plug-in without processing (not while started).
  bool Flush();

  bool SaveState(std::vector<uint8_t>& bytes);
  bool LoadState(const std::vector<uint8_t>& bytes);

  // Runs `call` on the session's audio thread and waits for it.
  void OnAudioThread(const std::function<void()>& call);
  bool IsMainThread() const { return std::this_thread::get_id() == mMainThread; }
  bool IsAudioThread() const { return std::this_thread::get_id() == mAudioThread.get_id(); }

  // Runs the plug-in's timers and descriptor watches (its editor's run loop)
  // on the main thread for about `milliseconds`.
  void PumpGui(int milliseconds);
  // Timers and descriptors the plug-in has registered now.
  size_t Timers() const { return mTimers.size(); }
  size_t Descriptors() const { return mFds.size(); }

  // The host's timer and descriptor services, for the plug-in's calls.
  bool RegisterTimer(uint32_t period, clap_id* id);
  bool UnregisterTimer(clap_id id);
  bool RegisterFd(int fd);
  bool UnregisterFd(int fd);

  // Host calls the plug-in made from a thread the headers do not allow.
  int Violations() const { return mViolations; }
  void CountViolation() { ++mViolations; }
  // Requests the plug-in made: rescans of values, flushes, restarts.
  int Rescans() const { return mRescans; }
  void NoteRescan() { ++mRescans; }

private:
  ClapSession();
  void UpdateTransport();
  void AudioLoop();

  clap_host_t mHost{};
  const clap_plugin_t* mPlugin = nullptr;
  const clap_plugin_params_t* mParams = nullptr;
  const clap_plugin_state_t* mState = nullptr;
  const clap_plugin_gui_t* mGui = nullptr;
  bool mInitialized = false;
  bool mActive = false;
  bool mStarted = false;
  ClapProcessConfig mConfig;

  std::vector<clap_event_param_value_t> mValues;
  std::vector<clap_event_note_t> mNotes;
  std::vector<const clap_event_header_t*> mEvents;  // the block's events in time order
  clap_event_transport_t mTransport{};
  bool mSendTransport = true;
  bool mPlaying = false;
  double mTempo = 120.0;
  double mStartBeat = 0.0;
  int64_t mStartSample = 0;
  int64_t mTransportFrame = 0;
  int64_t mFramesDone = 0;
  int64_t mSteadyTime = 0;

  struct Timer {
    clap_id id;
    uint32_t period;
    int64_t due;  // steady milliseconds
  };
  std::vector<Timer> mTimers;
  std::vector<int> mFds;
  clap_id mNextTimer = 1;

  std::thread::id mMainThread;
  std::thread mAudioThread;
  std::mutex mAudioLock;
  std::condition_variable mAudioWake;
  const std::function<void()>* mAudioCall = nullptr;
  bool mAudioQuit = false;
  std::atomic<int> mViolations{0};
  std::atomic<int> mRescans{0};
};

}  // namespace vellox::host
