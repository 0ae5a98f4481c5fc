#include "host/HostApp.h"

#include <memory>

#include "host/AnalysisRunner.h"
#include "host/CsvWriter.h"
#include "host/DemoSignal.h"
#include "host/OptionsParser.h"
#include "host/PluginHost.h"
#include "host/ProgressReporter.h"
#include "host/SndfileSource.h"
#include "host/Summary.h"

namespace {

constexpr char kProgramName[] = "tq-spectrum";
// Inputs longer than this get progress lines even when stderr is not a terminal.
constexpr double kLongInputSeconds = 30.0;

} // namespace

HostApp::HostApp(std::ostream& out, std::ostream& err, bool errIsTerminal)
    : out(out), err(err), errIsTerminal(errIsTerminal) {}

int HostApp::fail(const std::string& message) {
    err << kProgramName << ": " << message << '\n';
    return kExitFailure;
}

int HostApp::run(const std::vector<std::string>& args) {
    HostOptions options;
    std::string error;
    if (!OptionsParser().parse(args, options, error)) {
        err << kProgramName << ": " << error << '\n'
            << "Try '" << kProgramName << " --help' for more information.\n";
        return kExitUsage;
    }
    if (options.showHelp) {
        out << OptionsParser::helpText(kProgramName);
        return kExitSuccess;
    }
    return analyse(options);
}

int HostApp::analyse(const HostOptions& options) {
    std::string error;
    std::unique_ptr<AudioSource> source;
    if (options.inputPath.empty()) {
        source = std::make_unique<DemoSignal>();
    } else {
        source = SndfileSource::open(options.inputPath, error);
        if (!source) {
            return fail(error);
        }
    }
    const double rate = source->sampleRate();

    CsvWriter csv;
    if (!options.csvPath.empty() && !csv.open(options.csvPath, error)) {
        return fail(error);
    }

    PluginHost host;
    if (!host.open(rate, options.blockSize, error)) {
        return fail(error);
    }

    Summary summary(rate);
    AnalysisRunner runner(*source, host, options.blockSize);
    runner.addSink(summary);
    if (!options.csvPath.empty()) {
        runner.addSink(csv);
    }

    const int64_t total = source->frameCount();
    const bool longInput = total < 0 || total / rate > kLongInputSeconds;
    std::unique_ptr<ProgressReporter> progress;
    if (!options.quiet && (errIsTerminal || longInput)) {
        progress = std::make_unique<ProgressReporter>(err, errIsTerminal, total, rate);
        runner.setProgress(progress.get());
    }

    const bool played = runner.run(error);
    if (progress) {
        progress->finish();
    }
    host.close();
    if (!played) {
        return fail(error);
    }
    if (!csv.close(error)) {
        return fail(error);
    }
    if (!options.quiet) {
        summary.print(out, source->describe());
    }
    return kExitSuccess;
}
