#pragma once

#include <cstdint>

// What a record's eventKind asks of its listener.
enum eventKindCode : int32_t {
    kEventKindEmpty = 0, // no action
    kEventKindMidi = 1,  // a deferred MIDI channel message
};

// A record handed to the event manager: 76 bytes from malloc, of which the
// first six words are defined. The manager releases it with free.
struct eventRecord {
    int32_t reserved;  // 0, read by no one
    int32_t eventKind; // an eventKindCode
    int32_t status;    // message type, channel bits cleared
    int32_t tag;
    int32_t data1;
    int32_t data2;
    uint8_t spare[52]; // written and read by no one
};

static_assert(sizeof(eventRecord) == 76, "an event record is 76 bytes");
