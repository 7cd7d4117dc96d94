#include "lv2_session.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "lv2/atom/atom.h"
#include "lv2/atom/forge.h"
#include "lv2/midi/midi.h"
#include "lv2/core/lv2.h"
#include "lv2/port-props/port-props.h"
#include "lv2/state/state.h"
#include "lv2/time/time.h"
#include "lv2/units/units.h"
#include "lv2/urid/urid.h"

namespace vellox::host {

namespace {

constexpr size_t kAtomBytes = 4096;

LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri) { return static_cast<Lv2Session*>(handle)->Map(uri); }

std::string Text(const LilvNode* node) { return node && lilv_node_is_string(node) ? lilv_node_as_string(node) : ""; }

// The symbol a host shows beside a value, for the units vocabulary's units.
std::string UnitSymbol(const LilvNode* unit) {
  if (!unit || !lilv_node_is_uri(unit)) return {};
  static const char* const kUnits[][2] = {{LV2_UNITS__hz, "Hz"}, {LV2_UNITS__s, "s"},  {LV2_UNITS__ms, "ms"},
                                          {LV2_UNITS__db, "dB"}, {LV2_UNITS__pc, "%"}, {LV2_UNITS__khz, "kHz"}};
  for (const auto& u : kUnits)
    if (!std::strcmp(lilv_node_as_uri(unit), u[0])) return u[1];
  return {};
}

}  // namespace

uint32_t Lv2Session::Map(const char* uri) {
  for (size_t i = 0; i < mUris.size(); ++i)
    if (mUris[i] == uri) return static_cast<uint32_t>(i + 1);
  mUris.emplace_back(uri);
  return static_cast<uint32_t>(mUris.size());
}

std::unique_ptr<Lv2Session> Lv2Session::Create(const std::string& bundle, std::string& error) {
  std::unique_ptr<Lv2Session> session(new Lv2Session());
  session->mWorld = lilv_world_new();
  LilvWorld* world = session->mWorld;
  std::string path = bundle;
  if (path.empty() || path.back() != '/') path += '/';
  LilvNode* uri = lilv_new_file_uri(world, nullptr, path.c_str());
  lilv_world_load_plugin_classes(world);
  lilv_world_load_bundle(world, uri);
  const LilvPlugins* all = lilv_world_get_all_plugins(world);
  LILV_FOREACH(plugins, it, all) {
    const LilvPlugin* p = lilv_plugins_get(all, it);
    if (lilv_node_equals(lilv_plugin_get_bundle_uri(p), uri)) session->mPlugins.push_back(p);
  }
  lilv_node_free(uri);
  if (session->mPlugins.empty()) {
    error = "the LV2 bundle " + bundle + " describes no plug-in";
    return nullptr;
  }
  const LilvPlugin* plugin = session->mPlugins.front();
  LilvNode* input = lilv_new_uri(world, LV2_CORE__InputPort);
  LilvNode* control = lilv_new_uri(world, LV2_CORE__ControlPort);
  LilvNode* atom = lilv_new_uri(world, LV2_ATOM__AtomPort);
  LilvNode* integer = lilv_new_uri(world, LV2_CORE__integer);
  LilvNode* enabled = lilv_new_uri(world, LV2_CORE__enabled);
  LilvNode* designation = lilv_new_uri(world, LV2_CORE__designation);
  LilvNode* unitKey = lilv_new_uri(world, LV2_UNITS__unit);
  const uint32_t ports = lilv_plugin_get_num_ports(plugin);
  session->mPortValues.assign(ports, 0.0f);
  std::vector<float> mins(ports), maxs(ports), defaults(ports);
  lilv_plugin_get_port_ranges_float(plugin, mins.data(), maxs.data(), defaults.data());
  session->mFirstAudio = ports;
  for (uint32_t i = 0; i < ports; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
    if (lilv_port_is_a(plugin, port, atom) && lilv_port_is_a(plugin, port, input)) session->mEventsPort = i;
    if (!lilv_port_is_a(plugin, port, control)) {
      if (!lilv_port_is_a(plugin, port, atom)) session->mFirstAudio = std::min(session->mFirstAudio, i);
      continue;
    }
    if (!lilv_port_is_a(plugin, port, input)) continue;
    Lv2Control c;
    c.index = i;
    c.symbol = lilv_node_as_string(lilv_port_get_symbol(plugin, port));
    LilvNode* name = lilv_port_get_name(plugin, port);
    c.name = Text(name);
    lilv_node_free(name);
    c.minimum = mins[i];
    c.maximum = maxs[i];
    c.value = std::isnan(defaults[i]) ? mins[i] : defaults[i];
    c.integer = lilv_port_has_property(plugin, port, integer);
    LilvNodes* designations = lilv_port_get_value(plugin, port, designation);
    c.enabled = designations && lilv_nodes_contains(designations, enabled);
    lilv_nodes_free(designations);
    LilvNodes* units = lilv_port_get_value(plugin, port, unitKey);
    if (units) c.unit = UnitSymbol(lilv_nodes_get_first(units));
    lilv_nodes_free(units);
    if (LilvScalePoints* points = lilv_port_get_scale_points(plugin, port)) {
      LILV_FOREACH(scale_points, p, points) {
        const LilvScalePoint* sp = lilv_scale_points_get(points, p);
        c.points.emplace_back(lilv_node_as_float(lilv_scale_point_get_value(sp)),
                              lilv_node_as_string(lilv_scale_point_get_label(sp)));
      }
      lilv_scale_points_free(points);
      std::sort(c.points.begin(), c.points.end());
    }
    session->mPortValues[i] = c.value;
    session->mControls.push_back(c);
  }
  for (LilvNode* n : {input, control, atom, integer, enabled, designation, unitKey}) lilv_node_free(n);
  return session;
}

Lv2Session::~Lv2Session() {
  Stop();
  if (mWorld) lilv_world_free(mWorld);
}

bool Lv2Session::Start(double sampleRate, uint32_t maxBlock, uint32_t channels, std::string& error) {
  Stop();
  LilvNode* audio = lilv_new_uri(mWorld, LV2_CORE__AudioPort);
  LilvNode* input = lilv_new_uri(mWorld, LV2_CORE__InputPort);
  const LilvPlugin* chosen = nullptr;
  for (const LilvPlugin* p : mPlugins)
    if (lilv_plugin_get_num_ports_of_class(p, audio, input, nullptr) == channels) chosen = p;
  lilv_node_free(audio);
  lilv_node_free(input);
  if (!chosen) {
    error = "the LV2 bundle has no " + std::string(channels == 1 ? "mono" : "stereo") + " plug-in";
    return false;
  }
  mMap = {this, MapUri};
  const LV2_Feature mapFeature = {LV2_URID__map, &mMap};
  const LV2_Feature* features[] = {&mapFeature, nullptr};
  mInstance = lilv_plugin_instantiate(chosen, sampleRate, features);
  if (!mInstance) {
    error = "the LV2 plug-in refused to run at " + std::to_string(sampleRate) + " Hz";
    return false;
  }
  mChannels = channels;
  mSampleRate = sampleRate;
  mAtoms.assign(kAtomBytes / 8, 0);
  for (const Lv2Control& c : mControls) lilv_instance_connect_port(mInstance, c.index, &mPortValues[c.index]);
  if (mEventsPort != UINT32_MAX) lilv_instance_connect_port(mInstance, mEventsPort, mAtoms.data());
  lilv_instance_activate(mInstance);
  mTransport = false;
  mTempo = 120.0;
  mStartSample = mTransportFrame = mFramesDone = 0;
  (void)maxBlock;
  return true;
}

void Lv2Session::Stop() {
  if (!mInstance) return;
  lilv_instance_deactivate(mInstance);
  lilv_instance_free(mInstance);
  mInstance = nullptr;
}

void Lv2Session::SetTransport(double tempo, double startBeat) {
  mTransport = true;
  mTempo = tempo;
  mStartBeat = startBeat;
  mTransportFrame = mFramesDone;
  mStartSample = std::llround(startBeat * 60.0 / tempo * mSampleRate);
}

void Lv2Session::QueueValue(uint32_t port, float value, uint32_t frame) { mChanges.push_back({frame, port, value}); }

// The position of the piece's first frame, as a VST 3 host's context says it:
// playing at the tempo in 4/4, with a song position once a transport is set.
void Lv2Session::WriteEvents(int64_t frame, uint32_t offset, uint32_t pieceFrames) {
  LV2_Atom_Forge forge;
  LV2_URID_Map map = {this, MapUri};
  lv2_atom_forge_init(&forge, &map);
  lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(mAtoms.data()), kAtomBytes);
  LV2_Atom_Forge_Frame sequence, object;
  lv2_atom_forge_sequence_head(&forge, &sequence, 0);
  lv2_atom_forge_frame_time(&forge, 0);
  lv2_atom_forge_object(&forge, &object, 0, Map(LV2_TIME__Position));
  const int64_t frames = frame - mTransportFrame;
  lv2_atom_forge_key(&forge, Map(LV2_TIME__frame));
  lv2_atom_forge_long(&forge, mStartSample + frames);
  lv2_atom_forge_key(&forge, Map(LV2_TIME__speed));
  lv2_atom_forge_float(&forge, 1.0f);
  lv2_atom_forge_key(&forge, Map(LV2_TIME__beatsPerMinute));
  lv2_atom_forge_float(&forge, static_cast<float>(mTempo));
  lv2_atom_forge_key(&forge, Map(LV2_TIME__beatsPerBar));
  lv2_atom_forge_float(&forge, 4.0f);
  lv2_atom_forge_key(&forge, Map(LV2_TIME__beatUnit));
  lv2_atom_forge_int(&forge, 4);
  if (mTransport) {
    const double beat = mStartBeat + static_cast<double>(frames) * mTempo / (60.0 * mSampleRate);
    const double bar = std::floor(beat / 4.0);
    lv2_atom_forge_key(&forge, Map(LV2_TIME__bar));
    lv2_atom_forge_long(&forge, static_cast<int64_t>(bar));
    lv2_atom_forge_key(&forge, Map(LV2_TIME__barBeat));
    lv2_atom_forge_float(&forge, static_cast<float>(beat - 4.0 * bar));
  }
  lv2_atom_forge_pop(&forge, &object);
  const uint8_t noteOn[3] = {0x90, 60, 127};
  for (uint32_t at : mNoteFrames) {
    if (at < offset || at >= offset + pieceFrames) continue;
    lv2_atom_forge_frame_time(&forge, at - offset);
    lv2_atom_forge_atom(&forge, sizeof noteOn, Map(LV2_MIDI__MidiEvent));
    lv2_atom_forge_write(&forge, noteOn, sizeof noteOn);
  }
  lv2_atom_forge_pop(&forge, &sequence);
}

void Lv2Session::RunPiece(const float* const* inputs, float* const* outputs, uint32_t offset, uint32_t frames) {
  for (uint32_t c = 0; c < mChannels; ++c) {
    lilv_instance_connect_port(mInstance, mFirstAudio + c, const_cast<float*>(inputs[c]) + offset);
    lilv_instance_connect_port(mInstance, mFirstAudio + mChannels + c, outputs[c] + offset);
  }
  if (mEventsPort != UINT32_MAX) WriteEvents(mFramesDone + offset, offset, frames);
  lilv_instance_run(mInstance, frames);
}

bool Lv2Session::Process(const float* const* inputs, float* const* outputs, uint32_t frames) {
  if (!mInstance) return false;
  for (Change& c : mChanges) c.frame = std::min(c.frame, frames);  // past the end: after the last frame
  std::stable_sort(mChanges.begin(), mChanges.end(),
                   [](const Change& a, const Change& b) { return a.frame < b.frame; });
  uint32_t done = 0;
  size_t next = 0;
  for (;;) {
    for (; next < mChanges.size() && mChanges[next].frame <= done; ++next)
      if (mChanges[next].port < mPortValues.size()) mPortValues[mChanges[next].port] = mChanges[next].value;
    if (done >= frames) break;
    const uint32_t until = next < mChanges.size() ? std::min(mChanges[next].frame, frames) : frames;
    RunPiece(inputs, outputs, done, until - done);
    done = until;
  }
  mChanges.clear();
  mNoteFrames.clear();
  mFramesDone += frames;
  return true;
}

namespace {

struct StateStore {
  std::vector<uint8_t>* bytes;
  uint32_t* type;
  int properties = 0;
};

LV2_State_Status StoreProperty(LV2_State_Handle handle, uint32_t, const void* value, size_t size, uint32_t type,
                               uint32_t flags) {
  auto* store = static_cast<StateStore*>(handle);
  // Only plain data may be kept in memory and handed to another instance.
  if (!(flags & LV2_STATE_IS_POD) || !value) return LV2_STATE_ERR_BAD_FLAGS;
  const auto* bytes = static_cast<const uint8_t*>(value);
  store->bytes->assign(bytes, bytes + size);
  *store->type = type;
  ++store->properties;
  return LV2_STATE_SUCCESS;
}

struct StateSource {
  const std::vector<uint8_t>* bytes;
  uint32_t type;
};

const void* RetrieveProperty(LV2_State_Handle handle, uint32_t, size_t* size, uint32_t* type, uint32_t* flags) {
  auto* source = static_cast<StateSource*>(handle);
  *size = source->bytes->size();
  *type = source->type;
  *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  return source->bytes->data();
}

}  // namespace

bool Lv2Session::SaveState(std::vector<uint8_t>& bytes) {
  if (!mInstance) return false;
  const auto* state =
      static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(mInstance, LV2_STATE__interface));
  if (!state) return false;
  uint32_t type = 0;
  StateStore store{&bytes, &type};
  return state->save(lilv_instance_get_handle(mInstance), StoreProperty, &store, LV2_STATE_IS_POD, nullptr) ==
             LV2_STATE_SUCCESS &&
         store.properties == 1 && type == Map(LV2_ATOM__Chunk);
}

bool Lv2Session::LoadState(const std::vector<uint8_t>& bytes) {
  if (!mInstance) return false;
  const auto* state =
      static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(mInstance, LV2_STATE__interface));
  if (!state) return false;
  StateSource source{&bytes, Map(LV2_ATOM__Chunk)};
  return state->restore(lilv_instance_get_handle(mInstance), RetrieveProperty, &source, 0, nullptr) ==
         LV2_STATE_SUCCESS;
}

}  // namespace vellox::host
