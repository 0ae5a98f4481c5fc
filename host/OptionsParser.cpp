#include "host/OptionsParser.h"

#include <charconv>
#include <cmath>

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

bool OptionsParser::parse(const std::vector<std::string>& args, HostOptions& options,
                          std::string& error) const {
    bool inputSeen = false;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool looksLikeOption = !optionsEnded && arg.size() > 1 && arg[0] == '-';
        if (!looksLikeOption) {
            if (inputSeen) {
                error = "only one input file can be given (got '" + options.inputPath + "' and '" +
                        arg + "')";
                return false;
            }
            if (arg.empty()) {
                error = "the input file name is empty";
                return false;
            }
            options.inputPath = arg;
            inputSeen = true;
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
                                name == "--spectrogram" || name == "--at";
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
        if (name == "--quiet" || name == "-q") {
            options.quiet = true;
        } else if (name == "--csv") {
            if (value.empty()) {
                error = "option '--csv' needs a file name";
                return false;
            }
            options.csvPath = value;
        } else if (name == "--png" || name == "--spectrogram") {
            if (value.empty()) {
                error = "option '" + name + "' needs a file name";
                return false;
            }
            (name == "--png" ? options.pngPath : options.spectrogramPath) = value;
        } else if (name == "--at") {
            if (!parseSeconds(value, options.pictureSeconds)) {
                error = "bad time '" + value + "': give seconds from the start, such as 2 or 0.5";
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
    if (options.pictureSeconds >= 0.0 && options.pngPath.empty() && !options.inputPath.empty()) {
        error = "option '--at' chooses the moment of the window's picture: give '--png' too";
        return false;
    }
    return true;
}

std::string OptionsParser::helpText(const std::string& programName) {
    return "Usage: " + programName +
           " [OPTIONS] [FILE]\n"
           "\n"
           "Runs an audio file through the tq-spectrum analyser plug-in, as a VST host\n"
           "would, reports the levels of its 97 display bands, and pictures the plug-in's\n"
           "window and the band levels over time.\n"
           "\n"
           "FILE is any file libsndfile reads (WAV, AIFF, FLAC, Ogg, ...). Without FILE\n"
           "a built-in demo signal is played: 8 s at 44100 Hz stereo of steady tones,\n"
           "a sweep and noise. A mono file feeds both inputs of the plug-in; of a file\n"
           "with more than 2 channels the first two are used.\n"
           "\n"
           "The plug-in analyses one frame of 1024 samples out of every 4096: the first\n"
           "once 1024 samples have arrived, then one every 4096. Each analysed frame\n"
           "gives 97 band levels from 0 (-30 dB or less) to 1 (+30 dB or more), bands\n"
           "laid out on the linear frequency axis unless --log is given.\n"
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
           "                 is analysed, whether or not the window is open.\n"
           "  --png OUT.png  open the plug-in's window (570 x 180) inside an off-screen\n"
           "                 window of this program, idle it every 10 ms of audio time,\n"
           "                 and save what it shows at the end of the input.\n"
           "  --at SECONDS   save the window at the first idle at or after SECONDS of\n"
           "                 audio instead; needs --png, except in the demo run. A\n"
           "                 moment past the end of the input is an error.\n"
           "  --log          choose \"Logarithmic\" in the window's View menu, as a user\n"
           "                 would, before the first sample: the bands span 10 Hz to\n"
           "                 100 kHz, in the pictures, the CSV file and the summary.\n"
           "  --spectrogram OUT.png\n"
           "                 save a picture of the band levels over time: one column\n"
           "                 per analysed frame from left to right, bands from bottom\n"
           "                 to top, black (-30 dB) through red to pale yellow (+30 dB).\n"
           "  --block N      hand the plug-in blocks of at most N samples (1 to " +
           std::to_string(HostOptions::kMaxBlockSize) +
           ",\n"
           "                 default " +
           std::to_string(HostOptions::kDefaultBlockSize) +
           ").\n"
           "                 Blocks are also cut where a frame completes and where the\n"
           "                 window is idled.\n"
           "  -q, --quiet    print no summary, no paths and no progress; errors are\n"
           "                 still shown.\n"
           "  -h, --help     show this text.\n"
           "\n"
           "Progress goes to stderr when stderr is a terminal or the input is longer\n"
           "than 30 s.\n"
           "\n"
           "Exit status: 0 on success; 1 when the input cannot be read, the plug-in or\n"
           "its window cannot be created, an output file cannot be written or --at is\n"
           "past the end of the input; 2 for bad options.\n";
}
