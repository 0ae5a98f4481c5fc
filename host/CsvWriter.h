// Writes one CSV row per analysed frame: the time in seconds and the 97 band
// levels, after a header line. Numbers are written the same in every locale;
// levels with as many digits as it takes to read back the same float.
#pragma once

#include <cstdio>
#include <string>

#include "host/FrameSink.h"

class CsvWriter : public FrameSink {
public:
    // Writes the header line to a stream its owner keeps open and closes;
    // shownName (a quoted path, or "standard output") names it in messages.
    bool open(std::FILE* stream, const std::string& shownName, std::string& error);
    bool addFrame(double timeSeconds, const BandLevels& levels, std::string& error) override;
    // Flushes what is buffered; a failure here means the file is incomplete.
    bool close(std::string& error);

    static std::string headerLine();
    static std::string formatRow(double timeSeconds, const BandLevels& levels);

private:
    bool writeText(const std::string& text, std::string& error);

    std::FILE* file = nullptr;
    std::string fileName;
};
