#pragma once

#include <cstdint>
#include <memory>

// A received byte message; the record owns its copy of the bytes.
struct byteMessageRecord {
    int32_t length = 0;
    std::unique_ptr<uint8_t[]> bytes;
};
