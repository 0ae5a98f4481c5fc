// Collects what is written to file descriptor 2 while it lives, where the
// plug-in reports X errors it has ignored.
#pragma once

#include <string>

class StderrCapture {
public:
    StderrCapture();
    // Puts the old stderr back.
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Everything written so far.
    std::string text() const;

private:
    int saved = -1;
    int file = -1;
};
