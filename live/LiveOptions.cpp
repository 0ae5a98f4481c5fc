#include "live/LiveOptions.h"

namespace {

// "--name=VALUE" or "--name VALUE"; false when this argument is another one.
bool takeValue(const std::vector<std::string>& args, size_t& i, const char* longName,
               const char* shortName, std::string& value, bool& missing) {
    const std::string& arg = args[i];
    const std::string prefix = std::string(longName) + "=";
    if (arg.compare(0, prefix.size(), prefix) == 0) {
        value = arg.substr(prefix.size());
        return true;
    }
    if (arg != longName && arg != shortName) {
        return false;
    }
    if (i + 1 >= args.size()) {
        missing = true;
        return true;
    }
    value = args[++i];
    return true;
}

} // namespace

LiveOptions LiveOptions::parse(const std::vector<std::string>& args) {
    LiveOptions options;
    auto fail = [&options](const std::string& message) {
        options.action = Action::usageError;
        options.error = message;
        return options;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string value;
        bool missing = false;
        if (arg == "-h" || arg == "--help") {
            options.action = Action::help;
            return options;
        }
        if (arg == "--version") {
            options.action = Action::version;
            return options;
        }
        if (arg == "--no-connect") {
            options.noConnect = true;
        } else if (takeValue(args, i, "--connect", "-c", value, missing)) {
            if (missing || value.empty()) {
                return fail("--connect needs a JACK port name or pattern");
            }
            options.connect.push_back(value);
        } else if (takeValue(args, i, "--name", "-n", value, missing)) {
            if (missing || value.empty()) {
                return fail("--name needs a client name");
            }
            options.clientName = value;
        } else {
            return fail("unknown argument '" + arg + "'");
        }
    }
    if (options.noConnect && !options.connect.empty()) {
        return fail("--no-connect and --connect exclude each other");
    }
    return options;
}

std::string LiveOptions::helpText() {
    return std::string("Usage: ") + kProgramName +
           " [OPTION]...\n"
           "Shows the spectrum of what reaches its two JACK input ports, in the window of\n"
           "the tq-spectrum plug-in. Runs on a JACK server or on PipeWire (pipewire-jack).\n"
           "\n"
           "  -c, --connect PORT  read from the JACK output port PORT: a full port name or a\n"
           "                      regular expression as jack_lsp takes it; may be repeated.\n"
           "                      The ports found feed in_1, in_2, in_1, ... in order;\n"
           "                      matching ports that appear later are connected too\n"
           "      --no-connect    connect nothing (connect later with jack_connect or a\n"
           "                      patchbay)\n"
           "  -n, --name NAME     the JACK client name (default " +
           kProgramName +
           "); JACK adds\n"
           "                      a number when the name is taken\n"
           "  -h, --help          show this help and exit\n"
           "      --version       show the version and exit\n"
           "\n"
           "With neither --connect nor --no-connect it reads the physical capture ports.\n"
           "It never starts a JACK server; JACK_DEFAULT_SERVER chooses which one to use.\n"
           "When the server stops, the window dims and the program waits for it to come\n"
           "back. Watch what PipeWire plays with its monitor ports, e.g.:\n"
           "  pw-jack " +
           kProgramName +
           " --connect ':monitor_F[LR]$'\n"
           "Closing the window, Ctrl+C or SIGTERM ends it (exit status 0).\n";
}
