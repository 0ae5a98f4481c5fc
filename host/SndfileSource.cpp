#include "host/SndfileSource.h"

#include <sndfile.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

std::string majorFormatName(int format) {
    SF_FORMAT_INFO info{};
    info.format = format & SF_FORMAT_TYPEMASK;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) == 0 && info.name) {
        return info.name;
    }
    return "audio";
}

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", value);
    return text;
}

} // namespace

std::unique_ptr<SndfileSource> SndfileSource::open(const std::string& path, std::string& error) {
    // libsndfile's own texts for these cases are vague; say what is wrong.
    struct stat status {};
    if (path != "-" && ::stat(path.c_str(), &status) != 0) {
        error = "cannot open '" + path + "': " + std::strerror(errno);
        return nullptr;
    }
    if (path != "-" && S_ISDIR(status.st_mode)) {
        error = "cannot open '" + path + "': it is a directory";
        return nullptr;
    }

    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = "cannot read '" + path + "' as audio: " + sf_strerror(nullptr);
        return nullptr;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        sf_close(file);
        error = "cannot read '" + path + "' as audio: no channels or no sample rate";
        return nullptr;
    }
    // Streams of unknown length report a huge count.
    const int64_t frames = info.frames >= 0 && info.frames < SF_COUNT_MAX ? info.frames : -1;
    return std::unique_ptr<SndfileSource>(new SndfileSource(
        file, path, info.samplerate, info.channels, frames, majorFormatName(info.format)));
}

SndfileSource::SndfileSource(sf_private_tag* file, std::string path, double rate, int32_t channels,
                             int64_t frames, std::string formatName)
    : file(file), path(std::move(path)), rate(rate), channels(channels), frames(frames),
      formatName(std::move(formatName)) {}

SndfileSource::~SndfileSource() {
    sf_close(file);
}

std::string SndfileSource::describe() const {
    std::string text = (path == "-" ? std::string("standard input") : path) + ": " + formatName +
                       ", " + std::to_string(static_cast<int>(rate)) + " Hz, " +
                       std::to_string(channels) + (channels == 1 ? " channel" : " channels");
    if (frames >= 0) {
        text += ", " + seconds(frames / rate);
    }
    if (channels == 1) {
        text += "; mono, fed to both inputs";
    } else if (channels > 2) {
        text += "; channels 1 and 2 analysed";
    }
    return text;
}

size_t SndfileSource::read(float* left, float* right, size_t maxFrames) {
    if (maxFrames == 0 || !readError.empty()) {
        return 0;
    }
    const size_t width = static_cast<size_t>(channels);
    if (interleaved.size() < maxFrames * width) {
        interleaved.resize(maxFrames * width);
    }
    const sf_count_t got =
        sf_readf_float(file, interleaved.data(), static_cast<sf_count_t>(maxFrames));
    if (got <= 0) {
        if (sf_error(file) != SF_ERR_NO_ERROR) {
            readError = "error reading '" + path + "': " + sf_strerror(file);
        }
        return 0;
    }
    const size_t count = static_cast<size_t>(got);
    const size_t rightChannel = channels > 1 ? 1 : 0;
    for (size_t i = 0; i < count; ++i) {
        left[i] = interleaved[i * width];
        right[i] = interleaved[i * width + rightChannel];
    }
    return count;
}
