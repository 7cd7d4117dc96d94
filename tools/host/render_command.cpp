// `vellox render`: runs a file or the built-in demo through the effect.
#include <cmath>
#include <cstdio>
#include <memory>

#include "audio_format.h"
#include "cli.h"
#include "demo_signal.h"
#include "option_reader.h"
#include "parameter_assignment.h"
#include "plugin_instance.h"
#include "plugin_search.h"
#include "progress_bar.h"
#include "temporary_output.h"
#include "wav_io.h"

namespace vellox::cli {

using namespace Steinberg;
using host::ModuleLibrary;
using host::PluginInstance;

namespace {

struct RenderOptions {
  std::string input;
  std::string output;
  std::string plugin;
  std::string format;  // --format value; empty: the container's default
  OutputFormat outputFormat;
  std::vector<std::string> assignments;
  bool bypass = false;
  bool doublePrecision = false;
  long block = 512;
  long rate = 0;  // 0: the input's rate, or 44100 for the demo
};

int ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options, Console& console) {
  OptionReader reader(args);
  std::string option, error;
  while (reader.Next(option)) {
    bool ok = true;
    if (option == "--in")
      ok = reader.Value(option, options.input, error);
    else if (option == "--out")
      ok = reader.Value(option, options.output, error);
    else if (option == "--plugin")
      ok = reader.Value(option, options.plugin, error);
    else if (option == "--format")
      ok = reader.Value(option, options.format, error);
    else if (option == "--set")
      ok = reader.AssignmentValue(option, options.assignments, error);
    else if (option == "--bypass")
      options.bypass = true;
    else if (option == "--block")
      ok = reader.IntValue(option, 1, 65536, options.block, error);
    else if (option == "--rate")
      ok = reader.IntValue(option, 8000, 768000, options.rate, error);
    else if (option == "--precision") {
      long bits = 0;
      ok = reader.IntValue(option, 32, 64, bits, error);
      if (ok && bits != 32 && bits != 64) {
        error = "--precision takes 32 or 64";
        ok = false;
      }
      options.doublePrecision = bits == 64;
    } else {
      error = "unknown option \"" + option + "\" for render";
      ok = false;
    }
    if (!ok) return Fail(console, error, kExitUsage);
  }
  if (options.output.empty()) return Fail(console, "render needs --out OUT.wav", kExitUsage);
  if (!ChooseOutputFormat(options.output, options.format, options.outputFormat, error))
    return Fail(console, error, kExitUsage);
  return kExitOk;
}

std::string Decibels(double peak) {
  if (peak <= 0.0) return "-inf dBFS";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f dBFS", 20.0 * std::log10(peak));
  return text;
}

template <class Sample>
bool ProcessAll(PluginInstance& instance, const AudioData& input, AudioData& output, int32 block, ProgressBar& progress,
                std::string& error) {
  const size_t channels = input.channels.size();
  const size_t frames = input.Frames();
  std::vector<std::vector<Sample>> in(channels, std::vector<Sample>(static_cast<size_t>(block)));
  std::vector<std::vector<Sample>> out(channels, std::vector<Sample>(static_cast<size_t>(block)));
  std::vector<Sample*> inPtr, outPtr;
  for (size_t c = 0; c < channels; ++c) {
    inPtr.push_back(in[c].data());
    outPtr.push_back(out[c].data());
  }
  output.sampleRate = input.sampleRate;
  output.channels.assign(channels, std::vector<double>(frames));
  for (size_t start = 0; start < frames; start += static_cast<size_t>(block)) {
    const size_t count = std::min(frames - start, static_cast<size_t>(block));
    for (size_t c = 0; c < channels; ++c)
      for (size_t i = 0; i < count; ++i) in[c][i] = static_cast<Sample>(input.channels[c][start + i]);
    if (instance.Process(inPtr.data(), outPtr.data(), static_cast<int32>(count)) != kResultOk) {
      error = "the effect failed to process the block at frame " + std::to_string(start);
      return false;
    }
    for (size_t c = 0; c < channels; ++c)
      for (size_t i = 0; i < count; ++i) output.channels[c][start + i] = out[c][i];
    progress.Update(start + count, frames);
  }
  return true;
}

bool LoadInput(const RenderOptions& options, AudioData& audio, std::string& error) {
  if (options.input.empty()) {
    audio = MakeDemoSignal(options.rate > 0 ? static_cast<double>(options.rate) : 44100.0);
    return true;
  }
  if (!ReadAudioFile(options.input, audio, error)) return false;
  if (options.rate > 0 && static_cast<double>(options.rate) != audio.sampleRate) {
    error = "--rate cannot change the rate of " + options.input + ", which is " + FormatNumber(audio.sampleRate) +
            " Hz (the tool does not resample)";
    return false;
  }
  if (audio.channels.size() != 1 && audio.channels.size() != 2) {
    error =
        options.input + " has " + std::to_string(audio.channels.size()) + " channels; the effect takes mono or stereo";
    return false;
  }
  return true;
}

}  // namespace

int RunRender(const std::vector<std::string>& args, Console& console) {
  RenderOptions options;
  if (int code = ParseRenderOptions(args, options, console); code != kExitOk) return code;

  std::string error;
  AudioData input;
  if (!LoadInput(options, input, error)) return Fail(console, error);

  SearchPlace plugin;
  if (!ChoosePlugin(options.plugin, plugin, error)) return Fail(console, error);
  std::unique_ptr<ModuleLibrary> module = ModuleLibrary::Load(plugin.bundle, error);
  if (!module) return Fail(console, error);
  std::unique_ptr<PluginInstance> instance = PluginInstance::Create(*module, error);
  if (!instance) return Fail(console, error);

  // A name or value the effect does not take is a mistake on the command line.
  std::vector<ParameterAssignment> assignments(options.assignments.size());
  for (size_t i = 0; i < assignments.size(); ++i)
    if (!ResolveAssignment(*instance->Controller(), options.assignments[i], assignments[i], error))
      return Fail(console, error, kExitUsage);
  Vst::ParameterInfo bypass{};
  if (options.bypass && !FindBypassParameter(*instance->Controller(), bypass))
    return Fail(console, "the effect has no bypass parameter");

  host::ProcessConfig config;
  config.sampleRate = input.sampleRate;
  config.maxBlock = static_cast<int32>(options.block);
  config.doublePrecision = options.doublePrecision;
  config.channels = static_cast<int32>(input.channels.size());
  config.processMode = Vst::kOffline;
  if (!instance->Start(config, error)) return Fail(console, error);
  // Settings arrive with the first block, as automation at its start would.
  for (const auto& assignment : assignments) instance->QueueChange(assignment.id, assignment.normalized);
  if (options.bypass) instance->QueueChange(bypass.id, 1.0);

  AudioData output;
  ProgressBar progress(console.err, console.interactive);
  const bool processed = options.doublePrecision
                             ? ProcessAll<double>(*instance, input, output, config.maxBlock, progress, error)
                             : ProcessAll<float>(*instance, input, output, config.maxBlock, progress, error);
  progress.Finish();
  instance.reset();
  module.reset();
  if (!processed) return Fail(console, error);
  TemporaryOutput file(options.output);
  if (!WriteAudioFile(file.Path(), output, error, options.outputFormat)) {
    const auto at = error.find(file.Path());
    if (at != std::string::npos) error.replace(at, file.Path().size(), options.output);
    return Fail(console, error);
  }
  if (!file.Commit(error)) return Fail(console, error);

  console.out << "plug-in " << plugin.bundle << " (" << plugin.label << ")\n"
              << "rendered " << output.Frames() << " frames at " << FormatNumber(output.sampleRate) << " Hz, "
              << output.channels.size() << (output.channels.size() == 1 ? " channel" : " channels") << ", "
              << (options.doublePrecision ? 64 : 32) << "-bit, blocks of " << options.block
              << (options.input.empty() ? " (built-in demo)" : "") << "\n"
              << "peak in:  " << Decibels(PeakLevel(input)) << "\n"
              << "peak out: " << Decibels(PeakLevel(output)) << "\n"
              << "wrote " << options.output << " (" << DescribeFormat(options.outputFormat) << ")\n";
  return kExitOk;
}

}  // namespace vellox::cli
