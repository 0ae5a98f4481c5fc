#pragma once

#include <cstdint>

class eventListener;
struct eventRecord;

// The manager's entry for one pending record.
struct scheduledEvent {
    eventListener* listener; // not owned
    int32_t remaining;       // due when 0 or less
    eventRecord* record;     // owned, released with free
};
