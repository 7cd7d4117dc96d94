#include "help_text.h"

#include "audio_format.h"
#include "platform.h"

namespace vellox::cli {

namespace {

constexpr const char* kExitCodes =
    "Exit status: 0 done; 1 a file or the plug-in could not be read or written;\n"
    "2 the command line is wrong (unknown or repeated option, parameter or\n"
    "out-of-range value, or an output that is the input).\n";

std::string RenderHelp() {
  return std::string(
             "usage: vellox render [--in IN] --out OUT [--format 16|24|32|float] [--plugin PATH]\n"
             "                     [--preset NAME] [--set NAME=VALUE ...] [--pattern L1,L2,...]\n"
             "                     [--automate NAME=TIME:VALUE,... ...] [--notes T1,T2,...]\n"
             "                     [--tempo BPM] [--start-beat B] [--bypass] [--precision P]\n"
             "                     [--block N] [--rate HZ] [--force] [--allow-truncated]\n"
             "Runs audio through the effect, as a host would, and writes the result.\n"
             "\n"
             "  --in IN          input file; without it a 4-second built-in stereo demo is\n"
             "                   rendered. Channels (mono or stereo) and rate are kept.\n"
             "                   A pipe (/dev/stdin, <(...)) is read once; a WAV written as\n"
             "                   a stream (data size 0 or 0xFFFFFFFF) is read to its end.\n"
             "  --out OUT        output file; its extension picks the kind of file. A WAV\n"
             "                   too long for WAV's 4 GiB is written as RF64.\n"
             "  --format F       sample format of the output: 16, 24 or 32 (bit integer) or\n"
             "                   float (32-bit float). Default: float for WAV and AIFF,\n"
             "                   24 for FLAC; Ogg Vorbis takes none.\n"
             "  --plugin PATH    the plug-in to load: a Vellox.vst3 bundle (or module\n"
             "                   binary), a Vellox.clap module or (on Linux) a vellox.lv2\n"
             "                   bundle; each sounds the same.\n"
             "  --set NAME=VALUE a parameter setting, applied at the first block. NAME is\n"
             "                   the title as `vellox info` lists it (FADE, CHOP, ...; any\n"
             "                   case); VALUE is in the parameter's own unit, optionally\n"
             "                   followed by it: --set OUTPUT=-3 --set \"CHOP=0.5 s\". A\n"
             "                   switch or list also takes its display texts (a switch\n"
             "                   on/off too): --set BY=on --set SYNC=On --set NOTE=1/8T,\n"
             "                   or its step number: --set SYNC=1 --set NOTE=5. Spaces in\n"
             "                   a title may be left out: --set STEP3=0.5. Repeatable.\n"
             "  --preset NAME    starts from a factory program, by its name as `vellox info`\n"
             "                   lists it (any case) or its number from 0: --preset\n"
             "                   \"Swung 16ths\". --set and --pattern go on top of it.\n"
             "  --pattern L1,L2,...\n"
             "                   the step levels, 0 to 1, from STEP 1 on (at most 16): short\n"
             "                   for --set STEP1=L1 --set STEP2=L2 ...; STEPS and PATTERN\n"
             "                   are set apart: --set PATTERN=On --set STEPS=4 --pattern 1,0,0.5,1.\n"
             "  --automate NAME=TIME:VALUE,...\n"
             "                   automation of one parameter: each VALUE (read as for\n"
             "                   --set) takes effect at TIME seconds from the start, on the\n"
             "                   frame nearest TIME x rate, whatever --block is (blocks are\n"
             "                   split where needed). Points past the end of the render are\n"
             "                   ignored with a warning. Repeatable, one parameter each:\n"
             "                   --automate CHOP=0:0.5,1.5:0.25 --automate \"BY=2:On,3:Off\".\n"
             "  --notes T1,T2,...\n"
             "                   sends a note-on to the effect's event input at each time,\n"
             "                   in seconds from the start, on the frame nearest it (with\n"
             "                   RETRIG on each restarts the pattern): --set RETRIG=MIDI\n"
             "                   --notes 0.5,1.25. Times past the end are ignored with a warning.\n"
             "  --tempo BPM      plays a transport at BPM (1 to 1000) in 4/4: every\n"
             "                   block carries the song position of its first frame, as a\n"
             "                   playing host's would. Without --tempo and --start-beat the\n"
             "                   blocks carry 120 BPM but no song position.\n"
             "  --start-beat B   the song position of the first frame, in quarter notes\n"
             "                   (0 is the start of bar 1; default 0; -1000000 to 1000000).\n"
             "                   Alone it plays the transport at 120 BPM.\n"
             "  --bypass         switches the effect's bypass on.\n"
             "  --precision P    32 or 64: the sample size the effect processes (default 32).\n"
             "  --block N        frames per processing call, 1 to 65536 (default 512).\n"
             "  --rate HZ        the demo's sample rate, 8000 to 768000 (default 44100); with\n"
             "                   --in it must match the file (the tool does not resample).\n"
             "  --force          lets OUT be the input file itself: it is replaced once the\n"
             "                   render is complete. Without it that is refused.\n"
             "  --allow-truncated  renders an input that holds fewer frames than its header\n"
             "                   promises (a file cut short) with a warning; without it that\n"
             "                   is an error.\n"
             "\n"
             "The file is read, processed and written a block at a time, so memory use does\n"
             "not grow with its length. The output appears only when complete. On Linux\n"
             "it has no name until then, so even a killed render leaves nothing; elsewhere\n"
             "it is written to a hidden .OUT.partial-PID beside OUT, which a failed or\n"
             "interrupted render removes but a killed one leaves. A symbolic link is\n"
             "written through, a replaced file keeps its permission bits, and a named pipe\n"
             "or a device is written directly. Samples over full scale are clipped in\n"
             "integer formats; the tool then says how many. A progress bar shows on\n"
             "standard error when that is a terminal and the render takes more than about\n"
             "a second.\n") +
         CodecHelp() + platform::kPluginSearchHelp + kExitCodes;
}

std::string InfoHelp() {
  return std::string(
             "usage: vellox info [--plugin PATH]\n"
             "Loads the module and shows which bundle was loaded and from where, the\n"
             "factory, its class, the parameter table (id, title, unit, steps, default,\n"
             "flags, current value) and the units and program lists, as a host sees them.\n"
             "\n"
             "  --plugin PATH    the plug-in to load: a Vellox.vst3 bundle (or module\n"
             "                   binary), a Vellox.clap module or (on Linux) a vellox.lv2\n"
             "                   bundle.\n") +
         platform::kPluginSearchHelp + kExitCodes;
}

std::string SnapshotHelp() {
  return std::string(
             "usage: vellox snapshot --out EDITOR.png [--plugin PATH] [--scale F] [--set NAME=VALUE ...]\n"
             "Writes a PNG picture of the editor with the given settings.\n"
             "\n"
             "  --out FILE       the PNG file to write (its name ends in .png).\n"
             "  --plugin PATH    the bundle whose editor is painted: it opens in a window on\n"
             "                   Windows and on Linux with an X display; without a display\n"
             "                   the loaded module paints the same editor off-screen.\n"
             "  --scale F        the content scale a high-density screen asks for, 1 to 3\n"
             "                   (default 1): the picture is F times the editor's size.\n"
             "  --set NAME=VALUE a parameter setting, as for render. Repeatable.\n") +
         kExitCodes;
}

}  // namespace

std::string MainHelp() {
  return std::string(
             "usage: vellox COMMAND [OPTIONS]\n"
             "Drives the Vellox VST 3 plug-in from the command line, loading it as a host does.\n"
             "\n"
             "commands:\n"
             "  render    run an audio file (or a built-in demo) through the effect\n"
             "  info      show the loaded bundle, its factory and its parameters\n"
             "  snapshot  write a picture of the editor\n"
             "  help      show this text; `vellox COMMAND --help` describes a command\n"
             "  --version show the version\n"
             "\n") +
         CodecHelp() + platform::kPluginSearchHelp + kExitCodes;
}

bool CommandHelp(const std::string& command, std::string& text) {
  if (command == "render")
    text = RenderHelp();
  else if (command == "info")
    text = InfoHelp();
  else if (command == "snapshot")
    text = SnapshotHelp();
  else
    return false;
  return true;
}

}  // namespace vellox::cli
