#include <gtest/gtest.h>

#include "events/binaryLogger.h"
#include "events/eventRecord.h"
#include "tests/events/vtableSlot.h"

TEST(binaryLogger, HoldsNoStateBeyondItsTableOfOperations) {
    // A logger with state could record something; this one never does.
    EXPECT_EQ(sizeof(binaryLogger), sizeof(void*));
    EXPECT_TRUE(std::is_polymorphic<binaryLogger>::value);
}

TEST(binaryLogger, OperationsSitInTheirSlots) {
    EXPECT_EQ(vtableSlot(&binaryLogger::reservedFirst), 1);
    EXPECT_EQ(vtableSlot(&binaryLogger::traceInteger), 2);
    EXPECT_EQ(vtableSlot(&binaryLogger::traceFloat), 3);
    EXPECT_EQ(vtableSlot(&binaryLogger::tracePointer), 4);
    EXPECT_EQ(vtableSlot(&binaryLogger::reservedLast), 5);
}

TEST(eventRecord, DefinesSixWordsAtTheStartOfSeventySixBytes) {
    EXPECT_EQ(sizeof(eventRecord), 76u);
    EXPECT_EQ(offsetof(eventRecord, reserved), 0u);
    EXPECT_EQ(offsetof(eventRecord, eventKind), 4u);
    EXPECT_EQ(offsetof(eventRecord, status), 8u);
    EXPECT_EQ(offsetof(eventRecord, tag), 12u);
    EXPECT_EQ(offsetof(eventRecord, data1), 16u);
    EXPECT_EQ(offsetof(eventRecord, data2), 20u);
}
