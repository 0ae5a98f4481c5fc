#include "host/OptionsParser.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "host/LevelScale.h"

namespace {

// Splits "--name=value" into its two halves; other arguments are left whole.
bool splitInlineValue(const std::string& arg, std::string& name, std::string& value) {
    const size_t equals = arg.find('=');
    if (arg.rfind("--", 0) != 0 || equals == std::string::npos) {
        name = arg;
        return false;
    }
    name = arg.substr(0, equals);
    value = arg.substr(equals + 1);
    return true;
}

} // namespace

bool OptionsParser::parseBlockSize(const std::string& text, int32_t& blockSize) {
    const char* first = text.data();
    const char* last = first + text.size();
    int64_t value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || text.empty()) {
        return false;
    }
    if (value < 1 || value > HostOptions::kMaxBlockSize) {
        return false;
    }
    blockSize = static_cast<int32_t>(value);
    return true;
}

bool OptionsParser::parseSeconds(const std::string& text, double& seconds) {
    const char* first = text.data();
    const char* last = first + text.size();
    double value = 0.0;
    const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::fixed);
    if (ec != std::errc() || end != last || text.empty() || !std::isfinite(value) || value < 0.0) {
        return false;
    }
    seconds = value;
    return true;
}

bool OptionsParser::parseGain(const std::string& text, double& decibels) {
    const bool plus = !text.empty() && text[0] == '+';
    const char* first = text.data() + (plus ? 1 : 0);
    const char* last = text.data() + text.size();
    double value = 0.0;
    const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::fixed);
    if (ec != std::errc() || end != last || first == last || (plus && *first == '-') ||
        !(std::fabs(value) <= HostOptions::kMaxGainDb)) {
        return false;
    }
    decibels = value;
    return true;
}

bool OptionsParser::parseScale(const std::string& text, int32_t& percent) {
    const char* first = text.data();
    const char* last = first + text.size();
    double value = 0.0;
    const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::fixed);
    if (ec != std::errc() || end != last || text.empty()) {
        return false;
    }
    for (const int32_t scale : {100, 150, 200}) {
        if (value * 100.0 == static_cast<double>(scale)) {
            percent = scale;
            return true;
        }
    }
    return false;
}

bool OptionsParser::parse(const std::vector<std::string>& args, HostOptions& options,
                          std::string& error) const {
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool looksLikeOption = !optionsEnded && arg.size() > 1 && arg[0] == '-';
        if (!looksLikeOption) {
            if (arg.empty()) {
                error = "the input file name is empty";
                return false;
            }
            options.inputPaths.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }

        std::string name;
        std::string value;
        const bool hasInlineValue = splitInlineValue(arg, name, value);
        const bool takesValue = name == "--csv" || name == "--block" || name == "--png" ||
                                name == "--spectrogram" || name == "--bands" || name == "--at" ||
                                name == "--gain" || name == "--scale";
        if (!takesValue && hasInlineValue) {
            error = "option '" + name + "' takes no value";
            return false;
        }
        if (takesValue && !hasInlineValue) {
            if (i + 1 >= args.size()) {
                error = "option '" + name + "' needs a value";
                return false;
            }
            value = args[++i];
        }

        if (name == "--help" || name == "-h") {
            options.showHelp = true;
            return true;
        }
        if (name == "--version") {
            options.showVersion = true;
            return true;
        }
        if (name == "--quiet" || name == "-q") {
            options.quiet = true;
        } else if (name == "--force") {
            options.force = true;
        } else if (name == "--gain") {
            if (!parseGain(value, options.gainDb)) {
                error = "bad gain '" + value + "': give decibels from -" +
                        std::to_string(static_cast<int>(HostOptions::kMaxGainDb)) + " to " +
                        std::to_string(static_cast<int>(HostOptions::kMaxGainDb)) +
                        ", such as -12 or 6";
                return false;
            }
        } else if (name == "--csv") {
            if (value.empty()) {
                error = "option '--csv' needs a file name";
                return false;
            }
            options.csvPath = value;
        } else if (name == "--png" || name == "--spectrogram" || name == "--bands") {
            if (value.empty()) {
                error = "option '" + name + "' needs a file name";
                return false;
            }
            if (value == "-") {
                error = "option '" + name + "' writes a file: standard output takes only the CSV";
                return false;
            }
            (name == "--png"           ? options.pngPath
             : name == "--spectrogram" ? options.spectrogramPath
                                       : options.bandsPath) = value;
        } else if (name == "--at") {
            if (!parseSeconds(value, options.pictureSeconds)) {
                error = "bad time '" + value + "': give seconds from the start, such as 2 or 0.5";
                return false;
            }
        } else if (name == "--scale") {
            if (!parseScale(value, options.windowScale)) {
                error = "bad scale '" + value + "': give 1, 1.5 or 2";
                return false;
            }
        } else if (name == "--log") {
            options.logarithmic = true;
        } else if (name == "--block") {
            if (!parseBlockSize(value, options.blockSize)) {
                error = "bad block size '" + value + "': give a whole number from 1 to " +
                        std::to_string(HostOptions::kMaxBlockSize);
                return false;
            }
        } else {
            error = "unknown option '" + name + "'";
            return false;
        }
    }
    // The demo run pictures its window anyway; a file's only with --png.
    if (options.pictureSeconds >= 0.0 && options.pngPath.empty() && !options.inputPaths.empty()) {
        error = "option '--at' chooses the moment of the window's picture: give '--png' too";
        return false;
    }
    if (std::count(options.inputPaths.begin(), options.inputPaths.end(), "-") > 1) {
        error = "standard input ('-') can be read only once";
        return false;
    }
    if (options.csvPath == "-" && options.inputPaths.size() > 1) {
        error = "'--csv -' takes one input file: with several, name a folder";
        return false;
    }
    return true;
}

std::string OptionsParser::helpText(const std::string& programName) {
    char scale[160];
    std::snprintf(scale, sizeof scale,
                  "in both channels is %+.1f dB there, so the levels span %.1f to %.1f dBFS\n",
                  -LevelScale::sineDbfs(0.5, 0.0), LevelScale::sineDbfs(0.0, 0.0),
                  LevelScale::sineDbfs(1.0, 0.0));
    const std::string maxBlock = std::to_string(HostOptions::kMaxBlockSize);
    const std::string maxGain = std::to_string(static_cast<int>(HostOptions::kMaxGainDb));
    return "Usage: " + programName +
           " [OPTIONS] [FILE...]\n"
           "\n"
           "Runs audio files through the tq-spectrum analyser plug-in, as a VST host\n"
           "would, reports the levels of its 97 display bands, and pictures the plug-in's\n"
           "window and the band levels over time.\n"
           "\n"
           "FILE is any file libsndfile reads (WAV, AIFF, FLAC, Ogg, MP3, ...); '-' is\n"
           "standard input. Without FILE a built-in demo signal is played: 8 s at\n"
           "44100 Hz stereo of steady tones, a sweep and noise. A mono file feeds both\n"
           "inputs of the plug-in; of a file with more than 2 channels the first two\n"
           "are used.\n"
           "\n"
           "The plug-in analyses one frame of 1024 samples out of every 4096: the first\n"
           "once 1024 samples have arrived, then one every 4096. Each analysed frame\n"
           "gives 97 band levels from 0 to 1, bands laid out on the linear frequency\n"
           "axis unless --log is given.\n"
           "\n"
           "Levels: 0..1 is -30..+30 dB (1/60 per dB) of the plug-in's unscaled\n"
           "1024-point transform of both channels summed and Hamming-windowed; 0 is\n"
           "-30 dB or less, 1 is +30 dB or more. A full-scale sine at a bin's centre\n" +
           scale +
           "of a sine in both channels: 6 dB more for a sine in one channel only, up to\n"
           "1.8 dB more between two bins' centres. --gain moves that window.\n"
           "\n"
           "The demo run writes " +
           HostOptions::kDemoWindowPng + " (its window at " +
           std::to_string(static_cast<int>(HostOptions::kDemoPictureSeconds)) +
           " s, the steady tones)\n"
           "and " +
           HostOptions::kDemoSpectrogramPng +
           " into the current directory,\n"
           "unless --png or --spectrogram name other files, and prints their paths.\n"
           "\n"
           "Options:\n"
           "  --csv OUT.csv  write one row per analysed frame: time_s,band0,...,band96.\n"
           "                 time_s is the time at which the frame's last sample\n"
           "                 arrived (the end of the frame), in seconds from the start.\n"
           "                 Each row holds that frame's own levels, read the moment it\n"
           "                 is analysed, whether or not the window is open. '--csv -'\n"
           "                 writes the CSV to standard output and the summary to\n"
           "                 standard error.\n"
           "  --png OUT.png  open the plug-in's window (570 x 180 at 1x) inside an off-screen\n"
           "                 window of this program, idle it every 10 ms of audio time,\n"
           "                 and save what it shows at the end of the input.\n"
           "  --scale S      draw the window at S times that size, as on a high-density\n"
           "                 screen: 1, 1.5 or 2 (default 1). It is drawn at that size,\n"
           "                 not stretched. The spectrogram keeps its size.\n"
           "  --at SECONDS   save the window at the first idle at or after SECONDS of\n"
           "                 audio instead; needs --png, except in the demo run. A\n"
           "                 moment past the end of the input is an error.\n"
           "  --log          choose \"Logarithmic\" in the window's View menu, as a user\n"
           "                 would, before the first sample: the bands lie on an axis\n"
           "                 of 10 Hz to 100 kHz, in the pictures, the CSV file and the\n"
           "                 summary; those above half the sample rate stay empty.\n"
           "  --spectrogram OUT.png\n"
           "                 save a picture of the band levels over time: one column\n"
           "                 per analysed frame from left to right, bands from bottom\n"
           "                 to top, black (-30 dB) through red to pale yellow (+30 dB);\n"
           "                 its key gives the dBFS of a sine in both channels too.\n"
           "  --bands OUT.csv\n"
           "                 write the band table of the run: band,low_hz,high_hz, one\n"
           "                 line per band, for the input's sample rate and the axis\n"
           "                 used, so that the columns of --csv can be told apart.\n"
           "                 A band ends at half the sample rate at most; one that lies\n"
           "                 wholly above it holds no bin (low_hz equals high_hz).\n"
           "  --gain DB      trim the input by DB decibels (-" +
           maxGain + " to " + maxGain +
           ", such as -12 or 6;\n"
           "                 default 0) before it reaches the plug-in, as a DAW's input\n"
           "                 trim would. The summary and the spectrogram show it; the\n"
           "                 window's picture is the plug-in's own and does not.\n"
           "  --block N      hand the plug-in blocks of at most N samples (1 to " +
           maxBlock +
           ",\n"
           "                 default " +
           std::to_string(HostOptions::kDefaultBlockSize) +
           ").\n"
           "                 Blocks are also cut where a frame completes and where the\n"
           "                 window is idled.\n"
           "  --force        replace existing files that this program did not write\n"
           "                 (see below).\n"
           "  -q, --quiet    print no summary, no paths and no progress; errors and\n"
           "                 warnings are still shown.\n"
           "  -h, --help     show this text.\n"
           "  --version      show the program's name and version.\n"
           "\n"
           "Output files are written to a hidden temporary file beside each, which\n"
           "replaces it only when its input was analysed to the end: a run that fails\n"
           "or is ended by a signal leaves every earlier file as it was. An existing\n"
           "file is replaced only when it is empty or one of this program's own\n"
           "outputs (a CSV file that starts with its header, a PNG file it made);\n"
           "anything else is refused unless --force is given. An output that is an\n"
           "input file, standard output included, is refused even then. Devices,\n"
           "pipes and '-' are written as streams.\n"
           "\n"
           "Several files: with more than one FILE, --csv, --png, --spectrogram and\n"
           "--bands each name an existing folder, which receives STEM.csv, STEM.png,\n"
           "STEM-spectrogram.png and STEM-bands.csv for every FILE, STEM being its name\n"
           "without the extension ('" +
           HostOptions::kStandardInputStem + "' for '-', '" + HostOptions::kDemoStem +
           "' for the demo). A folder\n"
           "works so with one FILE too. Each file gets its own summary; a file that\n"
           "fails is reported and the others still run. To use every core, run one\n"
           "file per process:\n"
           "  printf '%s\\0' *.wav | xargs -0 -n 1 -P \"$(nproc)\" " +
           programName +
           " -q --csv out\n"
           "  parallel " +
           programName +
           " -q --csv out ::: *.wav\n"
           "\n"
           "Standard input: '-' reads every format. A redirected file is read in place;\n"
           "a pipe is first copied to a temporary file in $TMPDIR (or /tmp), so the\n"
           "analysis starts once the pipe closes. A terminal is refused.\n"
           "\n"
           "A file that ends before the length its header declares (cut short) is\n"
           "analysed as far as it goes, with a warning on stderr and in the summary.\n"
           "A file damaged in the middle (audio that cannot be decoded, with more after\n"
           "it) fails: the rows after the gap would be shifted in time.\n"
           "Progress goes to stderr when stderr is a terminal or the input is longer\n"
           "than 30 s.\n"
           "\n"
           "Exit status: 0 on success, also when a file ended before its declared\n"
           "length; 1 when an input cannot be read or is damaged in the middle\n"
           "(nothing is written for it), the plug-in or its window cannot be created,\n"
           "an output cannot be written or --at is past the end of the input; with\n"
           "several files, 1 when any of them failed; 2 for bad options and for refused\n"
           "outputs, before anything is read or written.\n";
}
