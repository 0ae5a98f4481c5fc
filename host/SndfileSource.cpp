#include "host/SndfileSource.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <utility>

namespace {

// Data sizes from this on are what writers that cannot seek back put in a
// header for "length unknown" (0x7FFFF000, 0xFFFFFFFF), not a promise.
constexpr uint64_t kUnknownDataSize = 0x7FFF0000u;

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

// Bytes of one sample frame of uncompressed audio; 0 for other encodings.
int32_t bytesPerFrame(const SF_INFO& info) {
    switch (info.format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
        return info.channels;
    case SF_FORMAT_PCM_16:
        return 2 * info.channels;
    case SF_FORMAT_PCM_24:
        return 3 * info.channels;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
        return 4 * info.channels;
    case SF_FORMAT_DOUBLE:
        return 8 * info.channels;
    default:
        return 0;
    }
}

// libsndfile fits the length of a cut-short WAV, AIFF or AU file to what it
// holds, and notes what the header said in its log, as
// "data : 1764000 (should be 88200)" (the AIFF chunk is "SSND", the AU field
// "Data Size"). Gives the length the header declares, or framesPresent when
// it declares no more than the file holds.
int64_t declaredFrames(const std::string& log, int64_t framesPresent, const SF_INFO& info) {
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        const size_t colon = line.find(':');
        if (colon == std::string::npos) {
            continue;
        }
        const size_t first = line.find_first_not_of(' ');
        const std::string label =
            line.substr(first, line.find_last_not_of(' ', colon - 1) + 1 - first);
        uint64_t declared = 0;
        uint64_t present = 0;
        if ((label != "data" && label != "SSND" && label != "Data Size") ||
            std::sscanf(line.c_str() + colon + 1, " %" SCNu64 " (should be %" SCNu64 ")", &declared,
                        &present) != 2) {
            continue;
        }
        if (declared <= present || declared >= kUnknownDataSize || present == 0) {
            return framesPresent;
        }
        const int32_t frameBytes = bytesPerFrame(info);
        if (frameBytes > 0) {
            return framesPresent + static_cast<int64_t>((declared - present) / frameBytes);
        }
        return static_cast<int64_t>(static_cast<double>(framesPresent) * declared / present);
    }
    return framesPresent;
}

// Some decoders print remarks of their own on stderr while a file opens
// (libmpg123 on a cut-short MP3's seek table); the program speaks for itself.
SNDFILE* openQuietly(const std::string& path, int fd, SF_INFO& info) {
    const int saved = ::dup(STDERR_FILENO);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved >= 0 && null >= 0) {
        ::dup2(null, STDERR_FILENO);
    }
    SNDFILE* file =
        fd >= 0 ? sf_open_fd(fd, SFM_READ, &info, SF_TRUE) : sf_open(path.c_str(), SFM_READ, &info);
    if (saved >= 0 && null >= 0) {
        ::dup2(saved, STDERR_FILENO);
    }
    for (int spareFd : {saved, null}) {
        if (spareFd >= 0) {
            ::close(spareFd);
        }
    }
    return file;
}

// A pipe on standard input, copied into a temporary file that is gone once
// closed; the descriptor, or -1 with a message in error.
int spoolStandardInput(std::string& error) {
    const char* folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder && *folder ? folder : "/tmp") + "/tq-spectrum-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        error = "cannot keep standard input in '" + pattern + "': " + std::strerror(errno);
        return -1;
    }
    ::unlink(pattern.c_str());
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got == 0) {
            break;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        ssize_t done = 0;
        while (got > 0 && done < got) {
            const ssize_t put = ::write(fd, buffer + done, static_cast<size_t>(got - done));
            if (put < 0 && errno != EINTR) {
                break;
            }
            done += put > 0 ? put : 0;
        }
        if (got < 0 || done < got) {
            error = std::string("cannot keep standard input in a temporary file: ") +
                    std::strerror(errno);
            ::close(fd);
            return -1;
        }
    }
    ::lseek(fd, 0, SEEK_SET);
    return fd;
}

} // namespace

std::unique_ptr<SndfileSource> SndfileSource::open(const std::string& path, std::string& error) {
    const bool standardInput = path == "-";
    const std::string name = standardInput ? "standard input" : "'" + path + "'";
    // libsndfile's own texts for these cases are vague; say what is wrong.
    struct stat status {};
    if (standardInput ? ::fstat(STDIN_FILENO, &status) != 0 : ::stat(path.c_str(), &status) != 0) {
        error = "cannot open " + name + ": " + std::strerror(errno);
        return nullptr;
    }
    if (S_ISDIR(status.st_mode)) {
        error = "cannot open " + name + ": it is a directory";
        return nullptr;
    }
    if (standardInput && ::isatty(STDIN_FILENO)) {
        error = "standard input is a terminal: pipe or redirect audio into it";
        return nullptr;
    }

    SF_INFO info{};
    SNDFILE* file = nullptr;
    int spare = -1; // standard input's file again, for a second look
    if (standardInput) {
        const int fd = S_ISREG(status.st_mode) ? ::dup(STDIN_FILENO) : spoolStandardInput(error);
        if (fd < 0) {
            if (error.empty()) {
                error = "cannot open standard input: " + std::string(std::strerror(errno));
            }
            return nullptr;
        }
        spare = ::dup(fd);
        file = openQuietly(path, fd, info);
    } else {
        file = openQuietly(path, -1, info);
    }
    if (!file || info.channels < 1 || info.samplerate < 1) {
        if (spare >= 0) {
            ::close(spare);
        }
    }
    if (!file) {
        error = "cannot read " + name + " as audio: " + sf_strerror(nullptr);
        return nullptr;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        sf_close(file);
        error = "cannot read " + name + " as audio: no channels or no sample rate";
        return nullptr;
    }
    // Streams of unknown length report a huge count.
    int64_t frames = info.frames >= 0 && info.frames < SF_COUNT_MAX ? info.frames : -1;
    if (frames >= 0) {
        std::string log(1 << 14, '\0');
        sf_command(file, SFC_GET_LOG_INFO, log.data(), static_cast<int>(log.size()));
        log.resize(std::strlen(log.c_str()));
        frames = declaredFrames(log, frames, info);
    }
    std::unique_ptr<SndfileSource> source(new SndfileSource(
        file, path, info.samplerate, info.channels, frames, majorFormatName(info.format)));
    source->spare = spare;
    return source;
}

bool SndfileSource::isAudio(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = openQuietly(path, -1, info);
    if (file) {
        sf_close(file);
    }
    return file != nullptr;
}

SndfileSource::SndfileSource(sf_private_tag* file, std::string path, double rate, int32_t channels,
                             int64_t frames, std::string formatName)
    : file(file), path(std::move(path)), rate(rate), channels(channels), frames(frames),
      formatName(std::move(formatName)), log(1 << 14, '\0') {
    errorsLogged = decodingErrors();
}

std::string SndfileSource::damageText(int64_t frame) const {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(frame) / rate);
    return (path == "-" ? shownName() : "'" + path + "'") + " is damaged at about " + text +
           " s: audio there cannot be decoded and more follows, which would be shifted in time";
}

bool SndfileSource::audioAt(int64_t frame) const {
    // A decoder that failed cannot seek: the file is opened afresh.
    SF_INFO info{};
    const int fd = path == "-" ? ::dup(spare) : -1;
    if (path == "-" && (fd < 0 || ::lseek(fd, 0, SEEK_SET) != 0)) {
        if (fd >= 0) {
            ::close(fd);
        }
        return false;
    }
    SNDFILE* again = openQuietly(path, fd, info);
    if (!again) {
        return false;
    }
    std::vector<float> one(static_cast<size_t>(std::max(info.channels, 1)));
    const bool found =
        sf_seek(again, frame, SEEK_SET) == frame && sf_readf_float(again, one.data(), 1) == 1;
    sf_close(again);
    return found;
}

int SndfileSource::decodingErrors() {
    // Decoders log each frame they cannot decode as "ERROR : ..." lines.
    const int length = sf_command(file, SFC_GET_LOG_INFO, log.data(), static_cast<int>(log.size()));
    int count = 0;
    for (const char* at = log.c_str(); length > 0 && (at = std::strstr(at, "ERROR :")); ++at) {
        ++count;
    }
    return count;
}

SndfileSource::~SndfileSource() {
    sf_close(file);
    if (spare >= 0) {
        ::close(spare);
    }
}

std::string SndfileSource::shownName() const {
    return path == "-" ? std::string("standard input") : path;
}

std::string SndfileSource::describe() const {
    std::string text = shownName() + ": " + formatName + ", " +
                       std::to_string(static_cast<int>(rate)) + " Hz, " + std::to_string(channels) +
                       (channels == 1 ? " channel" : " channels");
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
    const int errors = decodingErrors();
    if (errors > errorsLogged) {
        errorsLogged = errors;
        if (damagedAt < 0) {
            damagedAt = framesRead;
        }
    } else if (damagedAt >= 0 && got > 0) {
        readError = damageText(damagedAt);
        return 0;
    }
    if (got <= 0) {
        const bool failed = sf_error(file) != SF_ERR_NO_ERROR;
        if ((failed || damagedAt >= 0) && framesRead < frames) {
            // A decoder stops at damage it cannot get past; whether audio
            // follows tells damage from an early end, which is no error.
            if (audioAt(frames - 1)) {
                readError = damageText(damagedAt >= 0 ? damagedAt : framesRead);
            }
            return 0;
        }
        if (failed) {
            readError = "error reading " + (path == "-" ? shownName() : "'" + path + "'") +
                        " after " + seconds(framesRead / rate);
            if (frames >= 0) {
                readError += " of its " + seconds(frames / rate);
            }
            readError += std::string(": ") + sf_strerror(file);
        }
        return 0;
    }
    const size_t count = static_cast<size_t>(got);
    const size_t rightChannel = channels > 1 ? 1 : 0;
    for (size_t i = 0; i < count; ++i) {
        left[i] = interleaved[i * width];
        right[i] = interleaved[i * width + rightChannel];
    }
    framesRead += got;
    return count;
}
