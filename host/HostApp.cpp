#include "host/HostApp.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "host/AnalysisRunner.h"
#include "host/CsvWriter.h"
#include "host/DemoSignal.h"
#include "host/EditorSession.h"
#include "host/FrameSchedule.h"
#include "host/OptionsParser.h"
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

bool HostApp::createPictureFiles(const HostOptions& options, std::string& error) {
    for (const std::string* path : {&options.pngPath, &options.spectrogramPath}) {
        if (path->empty()) {
            continue;
        }
        errno = 0;
        std::FILE* file = std::fopen(path->c_str(), "wb");
        if (!file) {
            error = "cannot create PNG file '" + *path + "': " + std::strerror(errno);
            removePictureFiles(options);
            return false;
        }
        std::fclose(file);
    }
    return true;
}

void HostApp::removePictureFiles(const HostOptions& options) {
    for (const std::string* path : {&options.pngPath, &options.spectrogramPath}) {
        if (!path->empty()) {
            std::remove(path->c_str());
        }
    }
}

int HostApp::analyse(HostOptions options) {
    std::string error;
    std::unique_ptr<AudioSource> source;
    if (options.inputPath.empty()) {
        source = std::make_unique<DemoSignal>();
        if (options.pngPath.empty()) {
            options.pngPath = HostOptions::kDemoWindowPng;
        }
        if (options.pictureSeconds < 0.0) {
            options.pictureSeconds = HostOptions::kDemoPictureSeconds;
        }
        if (options.spectrogramPath.empty()) {
            options.spectrogramPath = HostOptions::kDemoSpectrogramPng;
        }
    } else {
        source = SndfileSource::open(options.inputPath, error);
        if (!source) {
            return fail(error);
        }
    }
    const double rate = source->sampleRate();
    const int64_t total = source->frameCount();
    if (options.pictureSeconds >= 0.0 && total >= 0 &&
        options.pictureSeconds * rate > static_cast<double>(total)) {
        return fail("cannot picture the window at " + seconds(options.pictureSeconds, 3) +
                    ": the input ends at " + seconds(static_cast<double>(total) / rate, 3));
    }

    CsvWriter csv;
    if (!options.csvPath.empty() && !csv.open(options.csvPath, error)) {
        return fail(error);
    }
    if (!createPictureFiles(options, error)) {
        return fail(error);
    }

    PluginHost host;
    if (!host.open(rate, options.blockSize, error)) {
        removePictureFiles(options);
        return fail(error);
    }
    // The window opens before the first sample, as a host opens it before
    // playing; its View menu may change the bands the run reports.
    std::unique_ptr<EditorSession> window;
    if (!options.pngPath.empty() || options.logarithmic) {
        window = std::make_unique<EditorSession>(host, rate);
        if (!window->open(error) || (options.logarithmic && !window->chooseLogarithmic(error))) {
            removePictureFiles(options);
            return fail(error);
        }
        window->takePictureAt(options.pictureSeconds);
    }
    const BandTable bands(rate, host.bandStartBins(),
                          options.logarithmic ? BandTable::Axis::logarithmic
                                              : BandTable::Axis::linear);

    Summary summary(bands);
    Spectrogram spectrogram(bands, static_cast<double>(FrameSchedule::kHopLength) / rate);
    AnalysisRunner runner(*source, host, options.blockSize);
    runner.addSink(summary);
    if (!options.csvPath.empty()) {
        runner.addSink(csv);
    }
    if (!options.spectrogramPath.empty()) {
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
    if (!played || !csv.close(error) ||
        (window && !options.pngPath.empty() && !window->writePicture(options.pngPath, error)) ||
        (!options.spectrogramPath.empty() && !spectrogram.write(options.spectrogramPath, error))) {
        removePictureFiles(options);
        return fail(error);
    }
    if (options.quiet) {
        return kExitSuccess;
    }
    summary.print(out, source->describe());
    if (!options.pngPath.empty() || !options.spectrogramPath.empty()) {
        out << '\n';
    }
    if (!options.pngPath.empty()) {
        out << "Window:      " << shownPath(options.pngPath) << " (" << window->pictureWidth()
            << " x " << window->pictureHeight() << ", at " << seconds(window->pictureTime())
            << (options.logarithmic ? ", logarithmic axis" : "") << ")\n";
    }
    if (!options.spectrogramPath.empty()) {
        const Spectrogram::Layout layout = spectrogram.layout();
        out << "Spectrogram: " << shownPath(options.spectrogramPath) << " (" << layout.width
            << " x " << layout.height << ", " << spectrogram.frames() << " frames)\n";
    }
    return kExitSuccess;
}
