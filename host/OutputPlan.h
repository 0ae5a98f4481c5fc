// Which files each input's run writes, decided and checked before anything
// is read or written. An output option that names an existing folder (with
// several inputs it must) receives STEM.csv, STEM.png, STEM-spectrogram.png
// and STEM-bands.csv, STEM being the input's name without its extension.
// Refused: an output that is one of the inputs, standard output included
// when anything goes there, even when forced; two outputs that are one
// file; and, unless forced, an existing file that is neither empty nor
// recognisably one this program wrote (a CSV file that starts with one of
// its headers, a PNG file that carries its Software text).
#pragma once

#include <string>
#include <vector>

#include "host/HostOptions.h"

class OutputPlan {
public:
    struct Run {
        std::string input;       // empty: the demo signal; "-": standard input
        std::string csv;         // empty: none; "-": standard output
        std::string png;         // empty: none
        std::string spectrogram; // empty: none
        std::string bands;       // empty: none
    };

    // False, with a message in error, when the outputs are refused.
    bool make(const HostOptions& options, std::string& error);
    const std::vector<Run>& runs() const { return planned; }

    // The name an input's outputs take in a folder.
    static std::string stem(const std::string& input);
    // Whether a run may replace the file without --force: empty, or one of
    // this program's own outputs.
    static bool replaceable(const std::string& path);

private:
    bool name(const std::string& option, const std::string& value, const std::string& suffix,
              const std::string& input, size_t inputCount, std::string& path, std::string& error);
    bool check(const HostOptions& options, std::string& error) const;

    std::vector<Run> planned;
};
