#include "clap_session.h"

#include <algorithm>
#include <cmath>
#include <chrono>
#include <cstring>

#include "platform.h"

namespace vellox::host {

namespace {

ClapSession& SessionOf(const clap_host_t* host) { return *static_cast<ClapSession*>(host->host_data); }

// A host call the headers mark [main-thread] made from another thread.
void RequireMain(const clap_host_t* host) {
  if (!SessionOf(host).IsMainThread()) SessionOf(host).CountViolation();
}

bool IsMainThread(const clap_host_t* host) { return SessionOf(host).IsMainThread(); }
bool IsAudioThread(const clap_host_t* host) { return SessionOf(host).IsAudioThread(); }
const clap_host_thread_check_t kThreadCheck = {IsMainThread, IsAudioThread};

void ParamsRescan(const clap_host_t* host, clap_param_rescan_flags) {
  RequireMain(host);
  SessionOf(host).NoteRescan();
}
void ParamsClear(const clap_host_t* host, clap_id, clap_param_clear_flags) { RequireMain(host); }
void ParamsRequestFlush(const clap_host_t*) {}  // [thread-safe]
const clap_host_params_t kParams = {ParamsRescan, ParamsClear, ParamsRequestFlush};

void LatencyChanged(const clap_host_t* host) { RequireMain(host); }
const clap_host_latency_t kLatency = {LatencyChanged};

void StateMarkDirty(const clap_host_t* host) { RequireMain(host); }
const clap_host_state_t kState = {StateMarkDirty};

// The host's window is fixed: it refuses to resize, as the headers allow.
void GuiResizeHintsChanged(const clap_host_t*) {}
bool GuiRequestResize(const clap_host_t*, uint32_t, uint32_t) { return false; }
bool GuiRequestShow(const clap_host_t*) { return false; }
bool GuiRequestHide(const clap_host_t*) { return false; }
void GuiClosed(const clap_host_t* host, bool) { RequireMain(host); }
const clap_host_gui_t kGui = {GuiResizeHintsChanged, GuiRequestResize, GuiRequestShow, GuiRequestHide, GuiClosed};

bool TimerRegister(const clap_host_t* host, uint32_t period, clap_id* id) {
  RequireMain(host);
  return SessionOf(host).RegisterTimer(period, id);
}
bool TimerUnregister(const clap_host_t* host, clap_id id) {
  RequireMain(host);
  return SessionOf(host).UnregisterTimer(id);
}
const clap_host_timer_support_t kTimers = {TimerRegister, TimerUnregister};

bool FdRegister(const clap_host_t* host, int fd, clap_posix_fd_flags_t) {
  RequireMain(host);
  return SessionOf(host).RegisterFd(fd);
}
bool FdModify(const clap_host_t* host, int, clap_posix_fd_flags_t) {
  RequireMain(host);
  return true;
}
bool FdUnregister(const clap_host_t* host, int fd) {
  RequireMain(host);
  return SessionOf(host).UnregisterFd(fd);
}
const clap_host_posix_fd_support_t kFds = {FdRegister, FdModify, FdUnregister};

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

const void* HostExtension(const clap_host_t*, const char* id) {
  if (!id) return nullptr;
  if (!std::strcmp(id, CLAP_EXT_THREAD_CHECK)) return &kThreadCheck;
  if (!std::strcmp(id, CLAP_EXT_PARAMS)) return &kParams;
  if (!std::strcmp(id, CLAP_EXT_LATENCY)) return &kLatency;
  if (!std::strcmp(id, CLAP_EXT_STATE)) return &kState;
  if (!std::strcmp(id, CLAP_EXT_GUI)) return &kGui;
  if (!std::strcmp(id, CLAP_EXT_TIMER_SUPPORT)) return &kTimers;
  if (!std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT)) return &kFds;
  return nullptr;
}

void RequestRestart(const clap_host_t*) {}
void RequestProcess(const clap_host_t*) {}
void RequestCallback(const clap_host_t*) {}

// The block's input events, in time order.
struct EventList {
  const std::vector<const clap_event_header_t*>* events;
};

uint32_t EventCount(const clap_input_events_t* list) {
  return static_cast<uint32_t>(static_cast<const EventList*>(list->ctx)->events->size());
}

const clap_event_header_t* EventAt(const clap_input_events_t* list, uint32_t index) {
  const auto& events = *static_cast<const EventList*>(list->ctx)->events;
  return index < events.size() ? events[index] : nullptr;
}

bool DropEvent(const clap_output_events_t*, const clap_event_header_t*) { return true; }

// Streams over a byte vector; reads and writes move at most 1000 bytes per
// call, as real hosts' streams may, so the plug-in must go on calling.
struct ByteStream {
  std::vector<uint8_t>* bytes;
  size_t position = 0;
};
constexpr size_t kStreamStep = 1000;

int64_t StreamRead(const clap_istream_t* stream, void* buffer, uint64_t size) {
  auto* s = static_cast<ByteStream*>(stream->ctx);
  const size_t n = std::min<size_t>({static_cast<size_t>(size), s->bytes->size() - s->position, kStreamStep});
  if (n > 0) std::memcpy(buffer, s->bytes->data() + s->position, n);
  s->position += n;
  return static_cast<int64_t>(n);
}

int64_t StreamWrite(const clap_ostream_t* stream, const void* buffer, uint64_t size) {
  auto* s = static_cast<ByteStream*>(stream->ctx);
  const size_t n = std::min<size_t>(static_cast<size_t>(size), kStreamStep);
  const auto* data = static_cast<const uint8_t*>(buffer);
  s->bytes->insert(s->bytes->end(), data, data + n);
  return static_cast<int64_t>(n);
}

}  // namespace

ClapSession::ClapSession() : mMainThread(std::this_thread::get_id()) {
  mHost.clap_version = CLAP_VERSION;
  mHost.host_data = this;
  mHost.name = "Vellox Host";
  mHost.vendor = "Quenwick";
  mHost.url = "";
  mHost.version = "1";
  mHost.get_extension = HostExtension;
  mHost.request_restart = RequestRestart;
  mHost.request_process = RequestProcess;
  mHost.request_callback = RequestCallback;
  mAudioThread = std::thread([this] { AudioLoop(); });
}

std::unique_ptr<ClapSession> ClapSession::Create(const clap_plugin_factory_t* factory, std::string& error) {
  std::unique_ptr<ClapSession> session(new ClapSession());
  const clap_plugin_descriptor_t* descriptor =
      factory && factory->get_plugin_count(factory) > 0 ? factory->get_plugin_descriptor(factory, 0) : nullptr;
  if (!descriptor || !descriptor->id) {
    error = "the CLAP module's factory describes no plug-in";
    return nullptr;
  }
  session->mPlugin = factory->create_plugin(factory, &session->mHost, descriptor->id);
  if (!session->mPlugin) {
    error = std::string("the CLAP factory could not create ") + descriptor->id;
    return nullptr;
  }
  if (!session->mPlugin->init(session->mPlugin)) {
    error = "the CLAP plug-in refused to initialise";
    return nullptr;
  }
  session->mInitialized = true;
  const clap_plugin_t* p = session->mPlugin;
  session->mParams = static_cast<const clap_plugin_params_t*>(p->get_extension(p, CLAP_EXT_PARAMS));
  session->mState = static_cast<const clap_plugin_state_t*>(p->get_extension(p, CLAP_EXT_STATE));
  session->mGui = static_cast<const clap_plugin_gui_t*>(p->get_extension(p, CLAP_EXT_GUI));
  if (!session->mParams || !session->mState) {
    error = "the CLAP plug-in offers no parameters or no state";
    return nullptr;
  }
  return session;
}

ClapSession::~ClapSession() {
  Stop();
  // A plug-in made but not initialised is destroyed all the same.
  if (mPlugin) mPlugin->destroy(mPlugin);
  {
    std::lock_guard<std::mutex> lock(mAudioLock);
    mAudioQuit = true;
  }
  mAudioWake.notify_all();
  mAudioThread.join();
}

void ClapSession::AudioLoop() {
  std::unique_lock<std::mutex> lock(mAudioLock);
  for (;;) {
    mAudioWake.wait(lock, [this] { return mAudioQuit || mAudioCall; });
    if (!mAudioCall) return;
    (*mAudioCall)();
    mAudioCall = nullptr;
    mAudioWake.notify_all();
  }
}

void ClapSession::OnAudioThread(const std::function<void()>& call) {
  std::unique_lock<std::mutex> lock(mAudioLock);
  mAudioCall = &call;
  mAudioWake.notify_all();
  mAudioWake.wait(lock, [this] { return mAudioCall == nullptr; });
}

bool ClapSession::Start(const ClapProcessConfig& config, std::string& error) {
  Stop();
  const clap_plugin_t* p = mPlugin;
  // The ports are chosen while the plug-in is inactive.
  const auto* configs =
      static_cast<const clap_plugin_audio_ports_config_t*>(p->get_extension(p, CLAP_EXT_AUDIO_PORTS_CONFIG));
  if (configs && !configs->select(p, config.channels)) {
    error = "the effect refused a " + std::string(config.channels == 1 ? "mono" : "stereo") + " port configuration";
    return false;
  }
  const auto* ports = static_cast<const clap_plugin_audio_ports_t*>(p->get_extension(p, CLAP_EXT_AUDIO_PORTS));
  clap_audio_port_info_t info{};
  if (!ports || ports->count(p, false) < 1 || !ports->get(p, 0, false, &info) ||
      info.channel_count != config.channels) {
    error = "the effect has no " + std::string(config.channels == 1 ? "mono" : "stereo") + " output port";
    return false;
  }
  if (config.doublePrecision && !(info.flags & CLAP_AUDIO_PORT_SUPPORTS_64BITS)) {
    error = "the effect cannot process 64-bit samples";
    return false;
  }
  if (!p->activate(p, config.sampleRate, 1, config.maxBlock)) {
    error = "the effect refused to become active";
    return false;
  }
  mActive = true;
  bool started = false;
  OnAudioThread([&] { started = p->start_processing(p); });
  if (!started) {
    error = "the effect refused to start processing";
    Stop();
    return false;
  }
  mConfig = config;
  mStarted = true;
  mPlaying = false;
  mTempo = 120.0;
  mStartSample = mTransportFrame = mFramesDone = 0;
  return true;
}

void ClapSession::Stop() {
  const clap_plugin_t* p = mPlugin;
  if (mStarted) OnAudioThread([&] { p->stop_processing(p); });
  mStarted = false;
  if (mActive) p->deactivate(p);
  mActive = false;
}

void ClapSession::SetTransport(double tempo, double startBeat) {
  mPlaying = true;
  mTempo = tempo;
  mStartBeat = startBeat;
  mTransportFrame = mFramesDone;
  mStartSample = std::llround(startBeat * 60.0 / tempo * mConfig.sampleRate);
}

void ClapSession::UpdateTransport() {
  const int64_t frames = mFramesDone - mTransportFrame;
  clap_event_transport_t& t = mTransport;
  t = {};
  t.header = {sizeof t, 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_TRANSPORT, 0};
  t.flags = CLAP_TRANSPORT_IS_PLAYING | CLAP_TRANSPORT_HAS_TEMPO | CLAP_TRANSPORT_HAS_TIME_SIGNATURE |
            CLAP_TRANSPORT_HAS_SECONDS_TIMELINE;
  t.tempo = mTempo;
  t.tsig_num = 4;
  t.tsig_denom = 4;
  const double samples = static_cast<double>(mStartSample + frames);
  t.song_pos_seconds = std::llround(samples / mConfig.sampleRate * static_cast<double>(CLAP_SECTIME_FACTOR));
  if (!mPlaying) return;
  // From the frame count each time, so that no rounding builds up.
  const double beat = mStartBeat + static_cast<double>(frames) * mTempo / (60.0 * mConfig.sampleRate);
  t.flags |= CLAP_TRANSPORT_HAS_BEATS_TIMELINE;
  t.song_pos_beats = std::llround(beat * static_cast<double>(CLAP_BEATTIME_FACTOR));
  t.bar_start = std::llround(4.0 * std::floor(beat / 4.0) * static_cast<double>(CLAP_BEATTIME_FACTOR));
}

void ClapSession::QueueValue(clap_id id, double value, uint32_t frame) {
  clap_event_param_value_t e{};
  e.header = {sizeof e, frame, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
  e.param_id = id;
  e.note_id = e.port_index = e.channel = e.key = -1;
  e.value = value;
  mValues.push_back(e);
}

void ClapSession::QueueNote(int16_t key, double velocity, uint32_t frame) {
  clap_event_note_t e{};
  e.header = {sizeof e, frame, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_NOTE_ON, 0};
  e.note_id = -1;
  e.port_index = 0;
  e.channel = 0;
  e.key = key;
  e.velocity = velocity;
  mNotes.push_back(e);
}

clap_process_status ClapSession::Process(void* const* inputs, void* const* outputs, uint32_t frames) {
  if (!mStarted || frames > mConfig.maxBlock) return CLAP_PROCESS_ERROR;
  // Events go in time order, those of one frame in the order given.
  mEvents.clear();
  for (const auto& e : mNotes) mEvents.push_back(&e.header);
  for (const auto& e : mValues) mEvents.push_back(&e.header);
  std::stable_sort(mEvents.begin(), mEvents.end(),
                   [](const clap_event_header_t* a, const clap_event_header_t* b) { return a->time < b->time; });
  EventList list{&mEvents};
  const clap_input_events_t in = {&list, EventCount, EventAt};
  const clap_output_events_t out = {nullptr, DropEvent};
  clap_audio_buffer_t inBuffer{};
  clap_audio_buffer_t outBuffer{};
  inBuffer.channel_count = outBuffer.channel_count = mConfig.channels;
  if (mConfig.doublePrecision) {
    inBuffer.data64 = reinterpret_cast<double**>(const_cast<void**>(inputs));
    outBuffer.data64 = reinterpret_cast<double**>(const_cast<void**>(outputs));
  } else {
    inBuffer.data32 = reinterpret_cast<float**>(const_cast<void**>(inputs));
    outBuffer.data32 = reinterpret_cast<float**>(const_cast<void**>(outputs));
  }
  UpdateTransport();
  clap_process_t process{};
  process.steady_time = mSteadyTime;
  process.frames_count = frames;
  process.transport = mSendTransport ? &mTransport : nullptr;
  process.audio_inputs = &inBuffer;
  process.audio_outputs = &outBuffer;
  process.audio_inputs_count = process.audio_outputs_count = 1;
  process.in_events = &in;
  process.out_events = &out;
  clap_process_status status = CLAP_PROCESS_ERROR;
  const clap_plugin_t* p = mPlugin;
  OnAudioThread([&] { status = p->process(p, &process); });
  mValues.clear();
  mNotes.clear();
  mFramesDone += frames;
  mSteadyTime += frames;
  return status;
}

// While inactive the flush is a main-thread call; while active but not
// processing, an audio-thread one.
bool ClapSession::Flush() {
  if (mStarted) return false;
  mEvents.clear();
  for (const auto& e : mValues) mEvents.push_back(&e.header);
  EventList list{&mEvents};
  const clap_input_events_t in = {&list, EventCount, EventAt};
  const clap_output_events_t out = {nullptr, DropEvent};
  const clap_plugin_t* p = mPlugin;
  if (mActive)
    OnAudioThread([&] { mParams->flush(p, &in, &out); });
  else
    mParams->flush(p, &in, &out);
  mValues.clear();
  return true;
}

bool ClapSession::SaveState(std::vector<uint8_t>& bytes) {
  bytes.clear();
  ByteStream stream{&bytes};
  const clap_ostream_t out = {&stream, StreamWrite};
  return mState->save(mPlugin, &out);
}

bool ClapSession::LoadState(const std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> copy = bytes;
  ByteStream stream{&copy};
  const clap_istream_t in = {&stream, StreamRead};
  return mState->load(mPlugin, &in);
}

bool ClapSession::RegisterTimer(uint32_t period, clap_id* id) {
  if (!id) return false;
  *id = mNextTimer++;
  mTimers.push_back({*id, std::max<uint32_t>(period, 1), NowMs() + period});
  return true;
}

bool ClapSession::UnregisterTimer(clap_id id) {
  const size_t before = mTimers.size();
  mTimers.erase(std::remove_if(mTimers.begin(), mTimers.end(), [&](const Timer& t) { return t.id == id; }),
                mTimers.end());
  return mTimers.size() != before;
}

bool ClapSession::RegisterFd(int fd) {
  if (std::find(mFds.begin(), mFds.end(), fd) != mFds.end()) return false;
  mFds.push_back(fd);
  return true;
}

bool ClapSession::UnregisterFd(int fd) {
  const auto it = std::find(mFds.begin(), mFds.end(), fd);
  if (it == mFds.end()) return false;
  mFds.erase(it);
  return true;
}

// The plug-in may register and unregister from inside its own calls: each
// round works on copies.
void ClapSession::PumpGui(int milliseconds) {
  const auto* timers =
      static_cast<const clap_plugin_timer_support_t*>(mPlugin->get_extension(mPlugin, CLAP_EXT_TIMER_SUPPORT));
  const auto* fds =
      static_cast<const clap_plugin_posix_fd_support_t*>(mPlugin->get_extension(mPlugin, CLAP_EXT_POSIX_FD_SUPPORT));
  const int64_t end = NowMs() + milliseconds;
  for (int64_t now = NowMs(); now < end; now = NowMs()) {
    int64_t wait = end - now;
    for (const Timer& t : mTimers) wait = std::min(wait, std::max<int64_t>(t.due - now, 0));
    for (int fd : platform::WaitReadable(mFds, static_cast<int>(wait)))
      if (fds) fds->on_fd(mPlugin, fd, CLAP_POSIX_FD_READ);
    now = NowMs();
    const std::vector<Timer> due = mTimers;
    for (const Timer& t : due) {
      if (t.due > now) continue;
      for (Timer& live : mTimers)
        if (live.id == t.id) live.due = now + live.period;
      if (timers) timers->on_timer(mPlugin, t.id);
    }
  }
}

}  // namespace vellox::host
