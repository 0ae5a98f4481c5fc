#include "host/OptionsParser.h"

#include <charconv>

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
        const bool takesValue = name == "--csv" || name == "--block";
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
    return true;
}

std::string OptionsParser::helpText(const std::string& programName) {
    return "Usage: " + programName +
           " [OPTIONS] [FILE]\n"
           "\n"
           "Runs an audio file through the tq-spectrum analyser plug-in, as a VST host\n"
           "would, and reports the levels of its 97 display bands.\n"
           "\n"
           "FILE is any file libsndfile reads (WAV, AIFF, FLAC, Ogg, ...). Without FILE\n"
           "a built-in demo signal is played: 8 s at 44100 Hz stereo of steady tones,\n"
           "a sweep and noise. A mono file feeds both inputs of the plug-in; of a file\n"
           "with more than 2 channels the first two are used.\n"
           "\n"
           "The plug-in analyses one frame of 1024 samples out of every 4096: the first\n"
           "once 1024 samples have arrived, then one every 4096. Each analysed frame\n"
           "gives 97 band levels from 0 (-30 dB or less) to 1 (+30 dB or more), bands\n"
           "laid out on the linear frequency axis.\n"
           "\n"
           "Options:\n"
           "  --csv OUT.csv  write one row per analysed frame: time_s,band0,...,band96.\n"
           "                 time_s is the time at which the frame's last sample\n"
           "                 arrived (the end of the frame), in seconds from the start.\n"
           "  --block N      hand the plug-in blocks of at most N samples (1 to " +
           std::to_string(HostOptions::kMaxBlockSize) + ", default " +
           std::to_string(HostOptions::kDefaultBlockSize) +
           ").\n"
           "                 Blocks are also cut where a frame completes.\n"
           "  -q, --quiet    print no summary and no progress; errors are still shown.\n"
           "  -h, --help     show this text.\n"
           "\n"
           "Progress goes to stderr when stderr is a terminal or the input is longer\n"
           "than 30 s.\n"
           "\n"
           "Exit status: 0 on success, 1 when the input cannot be read, the plug-in\n"
           "cannot be created or the CSV file cannot be written, 2 for bad options.\n";
}
