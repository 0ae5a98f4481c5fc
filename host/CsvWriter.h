// Writes one CSV row per analysed frame: the time in seconds and the 97 band
// levels, after a header line. Numbers are written the same in every locale;
// levels with as many digits as it takes to read back the same float.
#pragma once

#include <cstdio>
#include <string>

#include "host/FrameSink.h"

class CsvWriter : public FrameSink {
public:
    CsvWriter() = default;
    ~CsvWriter() override;

    CsvWriter(const CsvWriter&) = delete;
    CsvWriter& operator=(const CsvWriter&) = delete;

    // Creates or truncates the file and writes the header line; "-" is
    // standard output, flushed but left open at the end.
    bool open(const std::string& path, std::string& error) { return open(path, path, error); }
    // As above, naming shownPath in messages: the file the user asked for,
    // when path is a temporary file that will replace it.
    bool open(const std::string& path, const std::string& shownPath, std::string& error);
    bool addFrame(double timeSeconds, const BandLevels& levels, std::string& error) override;
    // Flushes and closes; a failure here means the file is incomplete.
    bool close(std::string& error);

    static std::string headerLine();
    static std::string formatRow(double timeSeconds, const BandLevels& levels);

private:
    bool writeText(const std::string& text, std::string& error);

    std::FILE* file = nullptr;
    std::string filePath;
};
