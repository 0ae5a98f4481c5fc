#include "events/eventManager.h"

#include <cstdlib>
#include <ctime>
#include <limits>

#include "events/eventListener.h"

namespace {

// Ageing saturates instead of wrapping, so an entry far overdue stays due and
// one pushed far back by a time going backwards stays pending.
int32_t age(int32_t remaining, int32_t elapsed) {
    const int64_t result = static_cast<int64_t>(remaining) - elapsed;
    if (result > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    if (result < std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(result);
}

} // namespace

eventManager::eventManager() : lastTime(0), eventCount(0) {}

eventManager::~eventManager() {
    for (scheduledEvent& entry : events) {
        std::free(entry.record);
    }
}

void eventManager::schedule(eventListener* listener, int32_t delay, eventRecord* record,
                            bool replace) {
    if (listener == nullptr) {
        std::free(record);
        return;
    }
    if (replace) {
        for (scheduledEvent& entry : events) {
            if (entry.listener == listener) {
                entry.remaining = delay;
                std::free(entry.record);
                entry.record = record;
                return;
            }
        }
    }
    events.push_back(scheduledEvent{listener, delay, record});
    eventCount = static_cast<int32_t>(events.size());
}

int64_t eventManager::now() {
    return static_cast<int64_t>(std::time(nullptr));
}

void eventManager::advance(int32_t time) {
    // The audio thread calls this for every block, nearly always with
    // nothing scheduled: that costs no more than a check.
    if (events.empty()) {
        lastTime = time;
        return;
    }
    deliverDue(time);
}

void eventManager::deliverDue(int32_t time) {
    const int32_t elapsed =
        static_cast<int32_t>(static_cast<uint32_t>(time) - static_cast<uint32_t>(lastTime));
    // The bound is read anew on every turn: an entry a listener appends from
    // inside onEvent is aged and tested in the same walk.
    size_t i = 0;
    while (i < events.size()) {
        scheduledEvent& entry = events[i];
        entry.remaining = age(entry.remaining, elapsed);
        if (entry.remaining > 0) {
            ++i;
            continue;
        }
        // The entry leaves the list before its listener runs, so a schedule
        // with replace from inside onEvent cannot touch the record in hand.
        const scheduledEvent due = entry;
        events.erase(events.begin() + static_cast<std::ptrdiff_t>(i));
        eventCount = static_cast<int32_t>(events.size());
        due.listener->onEvent(due.record);
        std::free(due.record);
    }
    lastTime = time;
}

void eventManager::advanceToNow() {
    advance(static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(now()))));
}

const scheduledEvent* eventManager::getEvent(size_t index) const {
    return index < events.size() ? &events[index] : nullptr;
}
