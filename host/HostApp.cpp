#include "host/HostApp.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "analysis/SpectrumLayout.h"
#include "generated/version.h"
#include "host/AnalysisRunner.h"
#include "host/CsvWriter.h"
#include "host/DemoSignal.h"
#include "host/EditorSession.h"
#include "host/LevelScale.h"
#include "host/OptionsParser.h"
#include "host/OutputFile.h"
#include "host/PluginHost.h"
#include "host/ProgressReporter.h"
#include "host/SndfileSource.h"
#include "host/Spectrogram.h"
#include "host/Summary.h"

namespace {

constexpr char kProgramName[] = "tq-spectrum";
// Inputs longer than this get progress lines even when stderr is not a terminal.
constexpr double kLongInputSeconds = 30.0;

std::string seconds(double value, int decimals = 2) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f s", decimals, value);
    return text;
}

// The path as the user can find it from anywhere.
std::string shownPath(const std::string& path) {
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
    return absolute.empty() ? path : absolute.lexically_normal().string();
}

std::string writeError(const std::string& path, int code) {
    return "cannot write PNG file '" + path + "': " + std::strerror(code ? code : EIO);
}

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
    if (options.showVersion) {
        out << kProgramName << ' ' << productVersion::kText << '\n';
        return kExitSuccess;
    }
    OutputPlan plan;
    if (!plan.make(options, error)) {
        err << kProgramName << ": " << error << '\n';
        return kExitUsage;
    }
    size_t failed = 0;
    for (const OutputPlan::Run& run : plan.runs()) {
        failed += analyse(options, run, &run == &plan.runs().front()) == kExitSuccess ? 0 : 1;
    }
    if (failed > 0 && plan.runs().size() > 1) {
        err << kProgramName << ": " << failed << " of " << plan.runs().size()
            << " input files failed\n";
    }
    return failed > 0 ? kExitFailure : kExitSuccess;
}

int HostApp::analyse(const HostOptions& options, const OutputPlan::Run& run, bool first) {
    std::string error;
    std::unique_ptr<AudioSource> source;
    double pictureSeconds = options.pictureSeconds;
    if (run.input.empty()) {
        source = std::make_unique<DemoSignal>();
        if (pictureSeconds < 0.0) {
            pictureSeconds = HostOptions::kDemoPictureSeconds;
        }
    } else {
        source = SndfileSource::open(run.input, error);
        if (!source) {
            return fail(error);
        }
    }
    const double rate = source->sampleRate();
    const int64_t total = source->frameCount();
    if (pictureSeconds >= 0.0 && total >= 0 && pictureSeconds * rate > static_cast<double>(total)) {
        return fail("cannot picture the window at " + seconds(pictureSeconds, 3) +
                    ": the input ends at " + seconds(static_cast<double>(total) / rate, 3));
    }

    // Each output is kept aside until the whole run has succeeded; returning
    // before then leaves every file as it was.
    OutputFile csvFile(run.csv);
    OutputFile pngFile(run.png);
    OutputFile spectrogramFile(run.spectrogram);
    OutputFile bandsFile(run.bands);
    CsvWriter csv;
    if ((!run.csv.empty() && !csvFile.create("CSV file", error)) ||
        (!run.png.empty() && !pngFile.create("PNG file", error)) ||
        (!run.spectrogram.empty() && !spectrogramFile.create("PNG file", error)) ||
        (!run.bands.empty() && !bandsFile.create("CSV file", error)) ||
        (!run.csv.empty() &&
         !csv.open(csvFile.stream(),
                   run.csv == "-" ? std::string("standard output") : "'" + run.csv + "'", error))) {
        return fail(error);
    }

    PluginHost host;
    if (!host.open(rate, options.blockSize, error)) {
        return fail(error);
    }
    // The window opens before the first sample, as a host opens it before
    // playing; its View menu may change the bands the run reports.
    std::unique_ptr<EditorSession> window;
    if (!run.png.empty() || options.logarithmic) {
        window = std::make_unique<EditorSession>(host, rate, options.windowScale);
        if (!window->open(error) || (options.logarithmic && !window->chooseLogarithmic(error))) {
            return fail(error);
        }
        window->takePictureAt(pictureSeconds);
    }
    const BandTable bands(rate, host.bandStartBins(),
                          options.logarithmic ? BandTable::Axis::logarithmic
                                              : BandTable::Axis::linear);

    Summary summary(bands);
    summary.setGain(options.gainDb);
    Spectrogram spectrogram(bands, static_cast<double>(SpectrumLayout::kHopLength) / rate,
                            options.gainDb);
    AnalysisRunner runner(*source, host, options.blockSize);
    runner.setGain(static_cast<float>(std::pow(10.0, options.gainDb / 20.0)));
    runner.addSink(summary);
    if (!run.csv.empty()) {
        runner.addSink(csv);
    }
    if (!run.spectrogram.empty()) {
        runner.addSink(spectrogram);
    }
    runner.setClock(window.get());

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
    if (!played || !csv.close(error)) {
        return fail(error);
    }
    // Each picture names this program, so that a later run may replace it.
    const std::string software = std::string(kProgramName) + " " + productVersion::kText;
    errno = 0;
    if (!run.png.empty() && !window->writePicture(pngFile.stream(), software, error)) {
        return fail(writeError(pngFile.destination(), errno));
    }
    if (!run.spectrogram.empty() && !spectrogram.write(spectrogramFile.stream(), software, error)) {
        return fail(writeError(spectrogramFile.destination(), errno));
    }
    if (!run.bands.empty()) {
        const std::string text = bands.csvText();
        errno = 0;
        if (std::fwrite(text.data(), 1, text.size(), bandsFile.stream()) != text.size()) {
            return fail("cannot write CSV file '" + bandsFile.destination() +
                        "': " + std::strerror(errno ? errno : EIO));
        }
    }
    if (!csvFile.commit(error) || !pngFile.commit(error) || !spectrogramFile.commit(error) ||
        !bandsFile.commit(error)) {
        return fail(error);
    }

    const int64_t read = runner.samplesProcessed();
    if (total >= 0 && read < total) {
        const double end = static_cast<double>(read) / rate;
        const double declared = static_cast<double>(total) / rate;
        summary.setEarlyEnd(end, declared);
        err << kProgramName << ": warning: "
            << (run.input == "-" ? std::string("standard input") : "'" + run.input + "'")
            << " ended at " << seconds(end) << ", before the " << seconds(declared)
            << " its header declares; the rest is missing\n";
    }
    if (options.quiet) {
        return kExitSuccess;
    }
    std::ostream& report = run.csv == "-" ? err : out;
    if (!first) {
        report << '\n';
    }
    summary.print(report, source->describe());
    if (!run.png.empty() || !run.spectrogram.empty()) {
        report << '\n';
    }
    if (!run.png.empty()) {
        report << "Window:      " << shownPath(run.png) << " (" << window->pictureWidth() << " x "
               << window->pictureHeight() << ", at " << seconds(window->pictureTime())
               << (options.logarithmic ? ", logarithmic axis" : "")
               << (options.gainDb != 0.0
                       ? "; the input gain of " + LevelScale::gainText(options.gainDb) +
                             " is not shown in it"
                       : "")
               << ")\n";
    }
    if (!run.spectrogram.empty()) {
        const Spectrogram::Layout layout = spectrogram.layout();
        report << "Spectrogram: " << shownPath(run.spectrogram) << " (" << layout.width << " x "
               << layout.height << ", " << spectrogram.frames() << " frames)\n";
    }
    return kExitSuccess;
}
