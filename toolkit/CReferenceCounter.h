// Shared ownership of views and bitmaps: creation gives one reference,
// every holder adds one with remember() and drops it with forget(); the last
// forget() deletes the object.
#pragma once

#include <cstdint>
#include <memory>

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

// One reference held by a scope: dropped when the scope ends, however it
// ends, unless release() hands it on first (to the container a new view
// went into, say).
struct CForget {
    void operator()(CReferenceCounter* object) const { object->forget(); }
};
template <class T>
using COwned = std::unique_ptr<T, CForget>;
