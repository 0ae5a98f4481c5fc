#pragma once

struct eventRecord;

// Receives records whose delay has run out. The record is valid during the
// call only: the manager releases it as soon as onEvent returns.
class eventListener {
public:
    virtual ~eventListener();
    virtual void onEvent(eventRecord* record) = 0;
};
