#pragma once

#include <cstdint>

// The core's trace sink. Every report carries a code and four values; this
// logger records nothing, so a report has no effect.
class binaryLogger {
public:
    virtual ~binaryLogger();
    virtual void reservedFirst(int32_t value);
    virtual void traceInteger(int32_t code, int32_t a, int32_t b, int32_t c, int32_t d);
    virtual void traceFloat(int32_t code, float a, float b, float c, float d);
    virtual void tracePointer(int32_t code, const void* a, const void* b, const void* c,
                              const void* d);
    virtual void reservedLast(int32_t value);
};
