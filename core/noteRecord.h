#pragma once

#include <cstdint>

// A sounding note.
struct noteRecord {
    int32_t tag = 0;  // as received with the note-on
    int32_t note = 0; // 0..127
    int32_t velocity = 0;
    float frequency = 0.0f; // the pitch table's entry when the note started
};
