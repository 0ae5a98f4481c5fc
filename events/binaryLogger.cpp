#include "events/binaryLogger.h"

binaryLogger::~binaryLogger() = default;

void binaryLogger::reservedFirst(int32_t) {}

void binaryLogger::traceInteger(int32_t, int32_t, int32_t, int32_t, int32_t) {}

void binaryLogger::traceFloat(int32_t, float, float, float, float) {}

void binaryLogger::tracePointer(int32_t, const void*, const void*, const void*, const void*) {}

void binaryLogger::reservedLast(int32_t) {}
