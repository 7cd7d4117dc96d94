// `vellox render`: runs a file or the built-in demo through the effect.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "ChopperTempoRange.h"
#include "audio_format.h"
#include "audio_stream.h"
#include "automation.h"
#include "cli.h"
#include "demo_signal.h"
#include "option_reader.h"
#include "output_path.h"
#include "parameter_assignment.h"
#include "platform.h"
#include "plugin_instance.h"
#include "plugin_search.h"
#include "progress_bar.h"
#include "sample_blocks.h"
#include "temporary_output.h"

namespace vellox::cli {

using namespace Steinberg;
using host::ModuleLibrary;
using host::PluginInstance;

namespace {

constexpr double kMaxBeat = 1e6;
constexpr double kDefaultTempo = 120.0;  // with --start-beat alone
constexpr size_t kMaxNotes = 100000;

struct RenderOptions {
  std::string input;
  std::string output;
  std::string plugin;
  std::string format;  // --format value; empty: the container's default
  OutputFormat outputFormat;
  std::vector<std::string> assignments;
  std::vector<std::string> automations;  // --automate texts
  std::string preset;                    // --preset: a program's name or number
  std::vector<double> notes;             // --notes: seconds, in order
  double tempo = 0.0;                    // BPM; 0: no song position is given
  double startBeat = 0.0;
  bool transport = false;  // --tempo or --start-beat given
  bool bypass = false;
  bool doublePrecision = false;
  bool force = false;           // the output may replace the input
  bool allowTruncated = false;  // a file shorter than its header says is rendered as it is
  long block = 512;
  long rate = 0;  // 0: the input's rate, or 44100 for the demo
};

std::string TempoRangeText() {
  return "a tempo from " + FormatNumber(kChopperMinTempo) + " to " + FormatNumber(kChopperMaxTempo) + " BPM";
}

// Numbers separated by commas, each within [low, high]; false with `error` set.
bool ReadNumberList(const std::string& option, const std::string& text, double low, double high, size_t most,
                    std::vector<double>& numbers, std::string& error) {
  numbers.clear();
  size_t from = 0;
  for (;;) {
    const size_t comma = text.find(',', from);
    const std::string item = text.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
    char* end = nullptr;
    const double v = std::strtod(item.c_str(), &end);
    if (item.empty() || end != item.c_str() + item.size() || !(v >= low && v <= high)) {
      error = option + " takes numbers from " + FormatNumber(low) + " to " + FormatNumber(high) +
              " separated by commas, got \"" + item + "\"";
      return false;
    }
    numbers.push_back(v);
    if (numbers.size() > most) {
      error = option + " takes at most " + std::to_string(most) + " numbers";
      return false;
    }
    if (comma == std::string::npos) return true;
    from = comma + 1;
  }
}

// --pattern 1,0,0.5: STEP 1, STEP 2, ... as --set would give them, in place.
bool ReadPattern(OptionReader& reader, const std::string& option, RenderOptions& options, std::string& error) {
  std::string text;
  std::vector<double> levels;
  if (!reader.Value(option, text, error) || !ReadNumberList(option, text, 0.0, 1.0, 16, levels, error)) return false;
  for (size_t k = 0; k < levels.size(); ++k)
    options.assignments.push_back("STEP " + std::to_string(k + 1) + "=" + FormatNumber(levels[k]));
  return true;
}

bool ReadNotes(OptionReader& reader, const std::string& option, RenderOptions& options, std::string& error) {
  std::string text;
  if (!reader.Value(option, text, error) || !ReadNumberList(option, text, 0.0, 1e6, kMaxNotes, options.notes, error))
    return false;
  std::sort(options.notes.begin(), options.notes.end());
  return true;
}

// One option and its value; false with `error` set for a wrong one.
bool ReadRenderOption(OptionReader& reader, const std::string& option, RenderOptions& options, std::string& error) {
  if (option == "--in") return reader.Value(option, options.input, error);
  if (option == "--out") return reader.Value(option, options.output, error);
  if (option == "--plugin") return reader.Value(option, options.plugin, error);
  if (option == "--format") return reader.Value(option, options.format, error);
  if (option == "--set") return reader.AssignmentValue(option, options.assignments, error);
  if (option == "--automate") return reader.AssignmentValue(option, options.automations, error);
  if (option == "--preset") return reader.Value(option, options.preset, error);
  if (option == "--pattern") return ReadPattern(reader, option, options, error);
  if (option == "--notes") return ReadNotes(reader, option, options, error);
  if (option == "--tempo")
    return options.transport =
               reader.NumberValue(option, kChopperMinTempo, kChopperMaxTempo, TempoRangeText(), options.tempo, error);
  if (option == "--start-beat")
    return options.transport =
               reader.NumberValue(option, -kMaxBeat, kMaxBeat, "a song position from -1000000 to 1000000 quarter notes",
                                  options.startBeat, error);
  if (option == "--bypass") return options.bypass = true;
  if (option == "--force") return options.force = true;
  if (option == "--allow-truncated") return options.allowTruncated = true;
  if (option == "--block") return reader.IntValue(option, 1, 65536, options.block, error);
  if (option == "--rate") return reader.IntValue(option, 8000, 768000, options.rate, error);
  if (option == "--precision") {
    std::string bits;
    if (!reader.Value(option, bits, error)) return false;
    if (bits != "32" && bits != "64") {
      error = "--precision takes 32 or 64, got \"" + bits + "\"";
      return false;
    }
    options.doublePrecision = bits == "64";
    return true;
  }
  error = "unknown option \"" + option + "\" for render";
  return false;
}

int ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options, Console& console) {
  OptionReader reader(args);
  std::string option, error;
  while (reader.Next(option)) {
    const bool repeatable = option == "--set" || option == "--automate";
    if (!(repeatable || reader.Once(option, error)) || !ReadRenderOption(reader, option, options, error))
      return Fail(console, error, kExitUsage);
  }
  if (options.output.empty()) return Fail(console, "render needs --out OUT.wav", kExitUsage);
  if (options.transport && options.tempo == 0.0) options.tempo = kDefaultTempo;
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

struct RenderStats {
  int64_t frames = 0;
  double peakIn = 0.0;
  double peakOut = 0.0;
  int64_t clipped = 0;   // output samples beyond full scale
  size_t notesLeft = 0;  // --notes at or after the end
};

// Reads, processes and writes a chunk at a time: memory stays a few blocks
// whatever the length of the file.
// The note-ons of frames [first, first + count) go to the next block.
bool QueueNotes(PluginInstance& instance, const std::vector<int64_t>& frames, size_t& next, int64_t first, int32 count,
                std::string& error) {
  for (; next < frames.size() && frames[next] < first + count; ++next)
    if (!instance.QueueNoteOn(static_cast<int32>(frames[next] - first))) {
      error = "--notes holds more notes than one block can carry (" + std::to_string(host::kMaxNotesPerBlock) +
              "); a smaller --block carries them";
      return false;
    }
  return true;
}

template <class Sample>
bool Stream(PluginInstance& instance, AutomationFeed& automation, const std::vector<int64_t>& notes,
            AudioReader& reader, AudioWriter& writer, const RenderOptions& options, bool integerOutput,
            ProgressBar& progress, RenderStats& stats, std::string& error) {
  size_t nextNote = 0;
  const auto channels = static_cast<size_t>(reader.Info().channels);
  const auto block = static_cast<size_t>(options.block);
  const size_t chunk = block * std::max<size_t>(1, 8192 / block);
  std::vector<Sample> in(chunk * channels), out(chunk * channels);
  std::vector<std::vector<Sample>> planarIn(channels, std::vector<Sample>(block));
  std::vector<std::vector<Sample>> planarOut(channels, std::vector<Sample>(block));
  std::vector<Sample*> inPtr, outPtr;
  Levels levelsIn, levelsOut;
  for (size_t c = 0; c < channels; ++c) {
    inPtr.push_back(planarIn[c].data());
    outPtr.push_back(planarOut[c].data());
  }
  const int64_t total = std::max<int64_t>(reader.Info().claimedFrames, 0);
  int64_t got;
  while ((got = reader.Read(in.data(), static_cast<int64_t>(chunk))) > 0) {
    const auto frames = static_cast<size_t>(got);
    for (size_t start = 0, count = 0; start < frames; start += count) {
      const int32 covered = automation.Queue(instance, stats.frames + static_cast<int64_t>(start),
                                             static_cast<int32>(std::min(frames - start, block)));
      if (covered < 0) {
        error = "the automation holds more parameters than one block can carry";
        return false;
      }
      count = static_cast<size_t>(covered);
      if (!QueueNotes(instance, notes, nextNote, stats.frames + static_cast<int64_t>(start), covered, error))
        return false;
      Deinterleave(in.data() + start * channels, count, channels, inPtr.data());
      if (instance.Process(inPtr.data(), outPtr.data(), static_cast<int32>(count)) != kResultOk) {
        const int64_t first = stats.frames + static_cast<int64_t>(start);
        error = "the effect refused to process the block of frames " + std::to_string(first) + " to " +
                std::to_string(first + static_cast<int64_t>(count) - 1) + "; nothing was written";
        return false;
      }
      Interleave(outPtr.data(), count, channels, out.data() + start * channels);
    }
    MeasureLevels(in.data(), frames * channels, levelsIn);
    MeasureLevels(out.data(), frames * channels, levelsOut);
    if (!writer.Write(out.data(), got)) {
      error = "cannot write " + options.output + ": the disk refused the data";
      return false;
    }
    stats.frames += got;
    progress.Update(static_cast<size_t>(stats.frames), static_cast<size_t>(std::max(total, stats.frames)));
  }
  stats.notesLeft = notes.size() - nextNote;
  stats.peakIn = levelsIn.peak;
  stats.peakOut = levelsOut.peak;
  if (integerOutput) stats.clipped = levelsOut.overs;
  return true;
}

std::unique_ptr<AudioReader> OpenInput(const RenderOptions& options, std::string& error) {
  if (options.input.empty())
    return MemoryReader(MakeDemoSignal(options.rate > 0 ? static_cast<double>(options.rate) : 44100.0));
  std::unique_ptr<AudioReader> reader = OpenAudioReader(options.input, error);
  if (!reader) return nullptr;
  const StreamInfo& info = reader->Info();
  if (info.channels != 1 && info.channels != 2) {
    error = options.input + " has " + std::to_string(info.channels) + " channels; the effect takes mono or stereo";
    return nullptr;
  }
  return reader;
}

// How the user keeps samples beyond full scale: only WAV and AIFF hold floats.
const char* KeepingOvers(Container container) {
  return container == Container::kWav || container == Container::kAiff
             ? "--format float keeps them"
             : "a .wav or .aiff output with --format float keeps them; --set OUTPUT lowers the level";
}

bool IsInteger(SampleEncoding encoding) {
  return encoding == SampleEncoding::kPcm16 || encoding == SampleEncoding::kPcm24 || encoding == SampleEncoding::kPcm32;
}

}  // namespace

int RunRender(const std::vector<std::string>& args, Console& console) {
  RenderOptions options;
  if (int code = ParseRenderOptions(args, options, console); code != kExitOk) return code;
  std::string error;
  if (!options.input.empty() && SameFile(options.input, options.output) && !options.force)
    return Fail(console,
                options.output +
                    " is the input file; rendering would replace it (--force replaces it once the render"
                    " is complete)",
                kExitUsage);
  std::unique_ptr<AudioReader> reader = OpenInput(options, error);
  if (!reader) return Fail(console, error);
  const StreamInfo info = reader->Info();
  // Asking for a rate the input does not have is a mistake on the command line.
  if (options.rate > 0 && static_cast<double>(options.rate) != info.sampleRate)
    return Fail(console,
                "--rate cannot change the rate of " + options.input + ", which is " + FormatNumber(info.sampleRate) +
                    " Hz (the tool does not resample)",
                kExitUsage);
  if (!CheckOutputPath(options.output, error)) return Fail(console, error);

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
  std::vector<AutomationPoint> points;
  for (const auto& text : options.automations)
    if (!ParseAutomation(*instance->Controller(), text, info.sampleRate, points, error))
      return Fail(console, error, kExitUsage);
  AutomationFeed automation(std::move(points));
  Vst::ParameterInfo program{};
  Vst::ParamValue programValue = 0.0;
  if (!options.preset.empty() && !FindProgram(*instance->Controller(), options.preset, program, programValue, error))
    return Fail(console, error, kExitUsage);
  // Each note-on on the frame nearest its time.
  std::vector<int64_t> notes;
  for (double seconds : options.notes) notes.push_back(std::llround(seconds * info.sampleRate));
  Vst::ParameterInfo bypass{};
  if (options.bypass && !FindBypassParameter(*instance->Controller(), bypass))
    return Fail(console, "the effect has no bypass parameter");

  host::ProcessConfig config;
  config.sampleRate = info.sampleRate;
  config.maxBlock = static_cast<int32>(options.block);
  config.doublePrecision = options.doublePrecision;
  config.channels = info.channels;
  config.processMode = Vst::kOffline;
  if (!instance->Start(config, error)) return Fail(console, error);
  if (options.transport) instance->SetTransport(options.tempo, options.startBeat);
  // A program is chosen as a host's program list chooses it; --set goes on top.
  if (!options.preset.empty() && instance->Controller()->setParamNormalized(program.id, programValue) != kResultOk)
    return Fail(console, "the effect refused the program \"" + options.preset + "\"");
  // Settings arrive with the first block, as automation at its start would.
  for (const auto& assignment : assignments) instance->QueueChange(assignment.id, assignment.normalized);
  if (options.bypass) instance->QueueChange(bypass.id, 1.0);

  TemporaryOutput file(options.output);
  std::unique_ptr<AudioWriter> writer = OpenAudioWriter(file.Path(), options.output, options.outputFormat,
                                                        info.sampleRate, info.channels, info.claimedFrames, error);
  if (!writer) return Fail(console, error);
  RenderStats stats;
  ProgressBar progress(console.err, console.interactive);
  const bool integerOutput = IsInteger(options.outputFormat.encoding);
  const bool processed = options.doublePrecision ? Stream<double>(*instance, automation, notes, *reader, *writer,
                                                                  options, integerOutput, progress, stats, error)
                                                 : Stream<float>(*instance, automation, notes, *reader, *writer,
                                                                 options, integerOutput, progress, stats, error);
  progress.Finish();
  reader.reset();  // Windows cannot replace a file that is open (--force over the input)
  instance.reset();
  module.reset();
  if (!processed) return Fail(console, error);
  if (!writer->Close()) return Fail(console, "cannot write " + options.output + ": the disk refused the data");
  if (stats.frames == 0) return Fail(console, "cannot read " + options.input + ": it holds no audio frames");
  const int64_t missing = info.claimedFrames > stats.frames ? info.claimedFrames - stats.frames : 0;
  if (missing > 0) {
    const std::string what = options.input + " is cut short: its header promises " +
                             std::to_string(info.claimedFrames) + " frames, " + std::to_string(missing) +
                             " of them are missing";
    if (!options.allowTruncated)
      return Fail(console, what + " (--allow-truncated renders the " + std::to_string(stats.frames) + " there are)");
    console.err << "vellox: warning: " << what << "; rendered the " << stats.frames << " there are\n";
  }
  if (!file.Commit(error)) return Fail(console, error);
  if (info.lengthUnknown)
    console.err << "vellox: warning: the length of " << options.input
                << " is unknown, so it may be cut short; rendered the " << stats.frames << " frames it holds\n";

  // Audio written to standard output leaves the report to standard error.
  std::ostream& report = platform::IsStandardOutput(options.output) ? console.err : console.out;
  report << "plug-in " << plugin.bundle << " (" << plugin.label << ")\n"
         << "rendered " << stats.frames << " frames at " << FormatNumber(info.sampleRate) << " Hz, " << info.channels
         << (info.channels == 1 ? " channel" : " channels") << ", " << (options.doublePrecision ? 64 : 32)
         << "-bit, blocks of " << options.block << (options.input.empty() ? " (built-in demo)" : "") << "\n";
  if (options.transport)
    report << "transport playing at " << FormatNumber(options.tempo) << " BPM in 4/4 from beat "
           << FormatNumber(options.startBeat) << "\n";
  report << "peak in:  " << Decibels(stats.peakIn) << "\n"
         << "peak out: " << Decibels(stats.peakOut) << "\n"
         << "wrote " << options.output << " (" << DescribeFormat(options.outputFormat) << ")\n";
  if (automation.Remaining() > 0)
    console.err << "vellox: warning: " << automation.Remaining()
                << (automation.Remaining() == 1 ? " --automate point lies" : " --automate points lie")
                << " at or after the end of the render and " << (automation.Remaining() == 1 ? "was" : "were")
                << " ignored\n";
  if (stats.notesLeft > 0)
    console.err << "vellox: warning: " << stats.notesLeft
                << (stats.notesLeft == 1 ? " --notes time lies" : " --notes times lie")
                << " at or after the end of the render and " << (stats.notesLeft == 1 ? "was" : "were") << " ignored\n";
  if (stats.clipped > 0)
    console.err << "vellox: warning: " << stats.clipped << " samples went over full scale and were clipped in the "
                << DescribeFormat(options.outputFormat) << " (" << KeepingOvers(options.outputFormat.container)
                << ")\n";
  return kExitOk;
}

}  // namespace vellox::cli
