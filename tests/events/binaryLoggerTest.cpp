#include <gtest/gtest.h>

#include <cstddef>
#include <type_traits>

#include "events/binaryLogger.h"
#include "events/eventRecord.h"
#include "tests/events/vtableSlot.h"

// A logger with state could record something; this one holds nothing
// beyond its table of operations.
static_assert(sizeof(binaryLogger) == sizeof(void*));
static_assert(std::is_polymorphic<binaryLogger>::value);

// An event record defines six words at the start of its 76 bytes.
static_assert(sizeof(eventRecord) == 76);
static_assert(offsetof(eventRecord, reserved) == 0);
static_assert(offsetof(eventRecord, eventKind) == 4);
static_assert(offsetof(eventRecord, status) == 8);
static_assert(offsetof(eventRecord, tag) == 12);
static_assert(offsetof(eventRecord, data1) == 16);
static_assert(offsetof(eventRecord, data2) == 20);

TEST(binaryLogger, OperationsSitInTheirSlots) {
    EXPECT_EQ(vtableSlot(&binaryLogger::reservedFirst), 1);
    EXPECT_EQ(vtableSlot(&binaryLogger::traceInteger), 2);
    EXPECT_EQ(vtableSlot(&binaryLogger::traceFloat), 3);
    EXPECT_EQ(vtableSlot(&binaryLogger::tracePointer), 4);
    EXPECT_EQ(vtableSlot(&binaryLogger::reservedLast), 5);
}
