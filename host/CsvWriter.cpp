#include "host/CsvWriter.h"

#include <cerrno>
#include <charconv>
#include <cstring>

namespace {

std::string writeError(const std::string& name, int code) {
    return "cannot write CSV file " + name + ": " + std::strerror(code ? code : EIO);
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

bool CsvWriter::open(std::FILE* stream, const std::string& shownName, std::string& error) {
    file = stream;
    fileName = shownName;
    if (!file) {
        error = "the CSV file " + shownName + " is not open";
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
    const bool flushed = std::fflush(file) == 0 && std::ferror(file) == 0;
    const int code = errno;
    file = nullptr;
    if (!flushed) {
        error = writeError(fileName, code);
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
        error = writeError(fileName, errno);
        return false;
    }
    return true;
}
