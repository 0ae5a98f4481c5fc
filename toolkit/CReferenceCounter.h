// Shared ownership of views and bitmaps: creation gives one reference,
// every holder adds one with remember() and drops it with forget(); the last
// forget() deletes the object.
#pragma once

#include <cstdint>

class CReferenceCounter {
public:
    CReferenceCounter() = default;
    virtual ~CReferenceCounter() = default;
    CReferenceCounter(const CReferenceCounter&) = delete;
    CReferenceCounter& operator=(const CReferenceCounter&) = delete;

    void remember() { ++nbReference; }
    void forget();
    int32_t getNbReference() const { return nbReference; }

private:
    int32_t nbReference = 1;
};
