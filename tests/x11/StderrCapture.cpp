#include "StderrCapture.h"

#include <cstdio>
#include <unistd.h>

StderrCapture::StderrCapture() {
    std::fflush(stderr);
    FILE* scratch = std::tmpfile();
    if (!scratch) {
        return;
    }
    file = dup(fileno(scratch));
    std::fclose(scratch);
    saved = dup(2);
    dup2(file, 2);
}

StderrCapture::~StderrCapture() {
    std::fflush(stderr);
    if (saved >= 0) {
        dup2(saved, 2);
        close(saved);
    }
    if (file >= 0) {
        close(file);
    }
}

std::string StderrCapture::text() const {
    std::fflush(stderr);
    std::string out;
    if (file < 0) {
        return out;
    }
    char buffer[4096];
    off_t at = 0;
    ssize_t n = 0;
    while ((n = pread(file, buffer, sizeof buffer, at)) > 0) {
        out.append(buffer, size_t(n));
        at += n;
    }
    return out;
}
