#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "events/scheduledEvent.h"

class eventListener;
struct eventRecord;

// Holds records that fall due later and hands each to its listener once its
// delay has run out. The time unit is whatever schedule and advance agree on:
// the plug-in core uses sample frames.
class eventManager {
public:
    eventManager();
    virtual ~eventManager();
    eventManager(const eventManager&) = delete;
    eventManager& operator=(const eventManager&) = delete;

    // Takes over record (from malloc). Due once delay units have passed since
    // the last advance. With replace, the first pending entry of the same
    // listener gets the new delay and record instead. A null listener could
    // never be called, so its record is released at once and nothing is
    // entered.
    virtual void schedule(eventListener* listener, int32_t delay, eventRecord* record,
                          bool replace);
    // Calendar time in seconds.
    virtual int64_t now();
    // The time is now `time`: delivers every due event in scheduling order.
    // Allocates nothing.
    virtual void advance(int32_t time);
    virtual void advanceToNow();

    int32_t getEventCount() const { return eventCount; }
    int32_t getLastTime() const { return lastTime; }
    // The pending entry at position index, or null.
    const scheduledEvent* getEvent(size_t index) const;

private:
    // advance with at least one entry pending.
    void deliverDue(int32_t time);

    int32_t lastTime;
    std::vector<scheduledEvent> events;
    int32_t eventCount;
};
