#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <vector>

#include "events/eventListener.h"
#include "events/eventManager.h"
#include "events/eventRecord.h"
#include "tests/events/freeTracker.h"
#include "tests/events/vtableSlot.h"

namespace {

eventRecord* newRecord(int32_t tag) {
    auto* record = static_cast<eventRecord*>(std::malloc(sizeof(eventRecord)));
    record->reserved = 0;
    record->eventKind = 1;
    record->status = 0x90;
    record->tag = tag;
    record->data1 = 60;
    record->data2 = 100;
    return record;
}

// Notes every delivery: the record's address and the tag read while valid.
class countingListener : public eventListener {
public:
    void onEvent(eventRecord* record) override {
        delivered.push_back(record);
        tags.push_back(record != nullptr ? record->tag : -1);
    }
    std::vector<const eventRecord*> delivered;
    std::vector<int32_t> tags;
};

} // namespace

TEST(eventManager, DeliversAndReleasesAnEventDueInsideTheFirstAdvance) {
    freeTracker frees;
    eventManager manager;
    countingListener listener;
    eventRecord* record = newRecord(7);
    manager.schedule(&listener, 10, record, false);
    EXPECT_EQ(manager.getEventCount(), 1);

    manager.advance(512);
    ASSERT_EQ(listener.delivered.size(), 1u);
    EXPECT_EQ(listener.delivered[0], record);
    EXPECT_EQ(listener.tags[0], 7);
    EXPECT_TRUE(frees.wasFreed(record));
    EXPECT_EQ(manager.getEventCount(), 0);
    EXPECT_EQ(manager.getLastTime(), 512);
}

TEST(eventManager, KeepsAnEventUntilItsDelayHasRunOut) {
    eventManager manager;
    countingListener listener;
    manager.schedule(&listener, 600, newRecord(1), false);
    manager.advance(512);
    EXPECT_TRUE(listener.delivered.empty());
    ASSERT_NE(manager.getEvent(0), nullptr);
    EXPECT_EQ(manager.getEvent(0)->remaining, 88);

    manager.advance(1024);
    EXPECT_EQ(listener.delivered.size(), 1u);
    EXPECT_EQ(manager.getEventCount(), 0);
}

TEST(eventManager, DeliversDueEventsInSchedulingOrderWithinOneAdvance) {
    eventManager manager;
    countingListener listener;
    manager.schedule(&listener, 5, newRecord(1), false);
    manager.schedule(&listener, 5, newRecord(2), false);
    manager.advance(10);
    EXPECT_EQ(listener.tags, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(manager.getEventCount(), 0);
}

TEST(eventManager, LeavesLaterEventsPendingWithTheirRemainingTime) {
    eventManager manager;
    countingListener listener;
    manager.schedule(&listener, 5, newRecord(1), false);
    manager.schedule(&listener, 5, newRecord(2), false);
    manager.schedule(&listener, 20, newRecord(3), false);
    manager.advance(10);
    EXPECT_EQ(listener.tags, (std::vector<int32_t>{1, 2}));
    ASSERT_EQ(manager.getEventCount(), 1);
    EXPECT_EQ(manager.getEvent(0)->remaining, 10);

    manager.advance(20);
    EXPECT_EQ(listener.tags, (std::vector<int32_t>{1, 2, 3}));
}

TEST(eventManager, ReplaceSwapsTheRecordOfTheListenersFirstEntryInPlace) {
    freeTracker frees;
    eventManager manager;
    countingListener first;
    countingListener second;
    eventRecord* old = newRecord(1);
    manager.schedule(&first, 50, old, false);
    manager.schedule(&second, 60, newRecord(2), false);

    eventRecord* replacement = newRecord(3);
    manager.schedule(&first, 5, replacement, true);
    EXPECT_TRUE(frees.wasFreed(old));
    EXPECT_EQ(manager.getEventCount(), 2);
    EXPECT_EQ(manager.getEvent(0)->listener, &first);
    EXPECT_EQ(manager.getEvent(0)->record, replacement);
    EXPECT_EQ(manager.getEvent(0)->remaining, 5);

    manager.advance(10);
    EXPECT_EQ(first.tags, std::vector<int32_t>{3});
    EXPECT_TRUE(second.tags.empty());
}

TEST(eventManager, ReplaceWithoutAnEntryForTheListenerAppends) {
    eventManager manager;
    countingListener first;
    countingListener second;
    manager.schedule(&first, 50, newRecord(1), false);
    manager.schedule(&second, 5, newRecord(2), true);
    EXPECT_EQ(manager.getEventCount(), 2);
    EXPECT_EQ(manager.getEvent(1)->listener, &second);
}

TEST(eventManager, DeliversADelayOfZeroEvenWhenTheTimeDoesNotMove) {
    eventManager manager;
    countingListener listener;
    manager.advance(100);
    manager.schedule(&listener, 0, newRecord(1), false);
    manager.advance(100);
    EXPECT_EQ(listener.delivered.size(), 1u);

    manager.schedule(&listener, -5, newRecord(2), false);
    manager.advance(100);
    EXPECT_EQ(listener.delivered.size(), 2u);
}

TEST(eventManager, CountsTheTrueDistanceAcrossTheWrapOfTheTime) {
    eventManager manager;
    countingListener listener;
    manager.advance(std::numeric_limits<int32_t>::max());
    manager.schedule(&listener, 1, newRecord(1), false);
    manager.schedule(&listener, 2, newRecord(2), false);
    manager.advance(std::numeric_limits<int32_t>::min());
    EXPECT_EQ(listener.tags, std::vector<int32_t>{1});
    ASSERT_EQ(manager.getEventCount(), 1);
    EXPECT_EQ(manager.getEvent(0)->remaining, 1);
}

TEST(eventManager, ATimeGoingBackLengthensEveryWait) {
    eventManager manager;
    countingListener listener;
    manager.advance(100);
    manager.schedule(&listener, 10, newRecord(1), false);
    manager.advance(90);
    EXPECT_TRUE(listener.delivered.empty());
    EXPECT_EQ(manager.getEvent(0)->remaining, 20);
}

TEST(eventManager, FarOverdueEntriesStayDueInsteadOfWrappingBack) {
    eventManager manager;
    countingListener listener;
    manager.schedule(&listener, std::numeric_limits<int32_t>::min() + 1, newRecord(1), false);
    manager.advance(10);
    EXPECT_EQ(listener.delivered.size(), 1u);
}

TEST(eventManager, DestroyingReleasesPendingRecordsWithoutDelivering) {
    freeTracker frees;
    countingListener listener;
    eventRecord* a = newRecord(1);
    eventRecord* b = newRecord(2);
    {
        eventManager manager;
        manager.schedule(&listener, 10, a, false);
        manager.schedule(&listener, 20, b, false);
    }
    EXPECT_TRUE(listener.delivered.empty());
    EXPECT_TRUE(frees.wasFreed(a));
    EXPECT_TRUE(frees.wasFreed(b));
}

TEST(eventManager, ANullListenerIsNeverCalledAndItsRecordIsReleasedAtOnce) {
    freeTracker frees;
    eventManager manager;
    eventRecord* record = newRecord(1);
    manager.schedule(nullptr, 0, record, false);
    EXPECT_TRUE(frees.wasFreed(record));
    EXPECT_EQ(manager.getEventCount(), 0);
    manager.advance(10); // would call through null if it had been entered
    EXPECT_EQ(manager.getEventCount(), 0);
}

TEST(eventManager, EntriesAppendedFromInsideOnEventAreAgedInTheSameWalk) {
    eventManager manager;
    // Schedules a follow-up of delay 5 from inside its first callback.
    struct reschedulingListener : eventListener {
        eventManager* manager = nullptr;
        std::vector<int32_t> tags;
        void onEvent(eventRecord* record) override {
            tags.push_back(record->tag);
            if (tags.size() == 1) {
                manager->schedule(this, 5, newRecord(record->tag + 1), false);
            }
        }
    } listener;
    listener.manager = &manager;
    manager.schedule(&listener, 1, newRecord(10), false);
    manager.advance(10); // the follow-up of delay 5 is aged by 10 at once
    EXPECT_EQ(listener.tags, (std::vector<int32_t>{10, 11}));
    EXPECT_EQ(manager.getEventCount(), 0);
}

TEST(eventManager, ReplaceFromInsideOnEventLeavesTheRecordInHandAlone) {
    freeTracker frees;
    eventManager manager;
    struct replacingListener : eventListener {
        eventManager* manager = nullptr;
        int32_t seenTag = 0;
        void onEvent(eventRecord* record) override {
            manager->schedule(this, 100, newRecord(99), true);
            seenTag = record->tag; // still valid: the entry left the list first
        }
    } listener;
    listener.manager = &manager;
    manager.schedule(&listener, 1, newRecord(5), false);
    manager.advance(1);
    EXPECT_EQ(listener.seenTag, 5);
    ASSERT_EQ(manager.getEventCount(), 1);
    EXPECT_EQ(manager.getEvent(0)->record->tag, 99);
}

TEST(eventManager, VirtualOperationsSitInTheirSlots) {
    EXPECT_EQ(vtableSlot(&eventManager::schedule), 1);
    EXPECT_EQ(vtableSlot(&eventManager::now), 2);
    EXPECT_EQ(vtableSlot(&eventManager::advance), 3);
    EXPECT_EQ(vtableSlot(&eventManager::advanceToNow), 4);
    EXPECT_EQ(vtableSlot(&eventListener::onEvent), 1);
}
