#include "host/CsvWriter.h"

#include <cerrno>
#include <charconv>
#include <cstring>

namespace {

std::string systemError(const std::string& what, const std::string& path, int code) {
    return "cannot " + what + " '" + path + "': " + std::strerror(code);
}

void appendFloat(std::string& line, float value) {
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    line.append(digits, result.ptr);
}

void appendTime(std::string& line, double seconds) {
    char digits[64];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, seconds, std::chars_format::fixed, 6);
    line.append(digits, result.ptr);
}

} // namespace

CsvWriter::~CsvWriter() {
    if (file && file != stdout) {
        std::fclose(file);
    }
}

bool CsvWriter::open(const std::string& path, const std::string& shownPath, std::string& error) {
    if (file) {
        std::string ignored;
        close(ignored);
    }
    filePath = path == "-" ? std::string("standard output") : shownPath;
    errno = 0;
    file = path == "-" ? stdout : std::fopen(path.c_str(), "wb");
    if (!file) {
        error = systemError("create CSV file", filePath, errno);
        return false;
    }
    return writeText(headerLine(), error);
}

bool CsvWriter::addFrame(double timeSeconds, const BandLevels& levels, std::string& error) {
    if (!file) {
        error = "the CSV file is not open";
        return false;
    }
    return writeText(formatRow(timeSeconds, levels), error);
}

bool CsvWriter::close(std::string& error) {
    if (!file) {
        return true;
    }
    errno = 0;
    const bool flushed = std::fflush(file) == 0;
    const int flushError = errno;
    const bool closed = file == stdout || std::fclose(file) == 0;
    file = nullptr;
    if (!flushed || !closed) {
        error = systemError("write CSV file", filePath, flushError ? flushError : errno);
        return false;
    }
    return true;
}

std::string CsvWriter::headerLine() {
    std::string line = "time_s";
    for (size_t band = 0; band < kBandCount; ++band) {
        line += ",band" + std::to_string(band);
    }
    line += '\n';
    return line;
}

std::string CsvWriter::formatRow(double timeSeconds, const BandLevels& levels) {
    std::string line;
    line.reserve(16 + kBandCount * 12);
    appendTime(line, timeSeconds);
    for (float level : levels) {
        line += ',';
        appendFloat(line, level);
    }
    line += '\n';
    return line;
}

bool CsvWriter::writeText(const std::string& text, std::string& error) {
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file) != text.size()) {
        error = systemError("write CSV file", filePath, errno ? errno : EIO);
        return false;
    }
    return true;
}
