// The host callback that tests, fuzz targets and benchmarks hand the
// plug-in. It answers the version query with `version` (2400 unless a test
// changes it) and every other request with 0, and counts the calls of each
// opcode from any thread. A test that wants the calls themselves turns on
// recording: then every call is kept in `calls` and shown to `onCall`.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "vst/AEffect.h"

namespace fakeHost {

struct Call {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
};

constexpr VstInt32 kCountedOpcodes = 64;

inline std::atomic<VstIntPtr> version{2400};
inline std::atomic<bool> recording{false};
inline std::atomic<int64_t> counts[kCountedOpcodes];
// Kept only while recording, which one thread at a time may do.
inline std::vector<Call> calls;
inline std::function<void(const Call&)> onCall;

inline VstIntPtr VSTCALLBACK callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                      void*, float opt) {
    if (opcode >= 0 && opcode < kCountedOpcodes) {
        counts[opcode].fetch_add(1, std::memory_order_relaxed);
    }
    if (recording.load(std::memory_order_relaxed)) {
        const Call call{opcode, index, value, opt};
        calls.push_back(call);
        if (onCall) {
            onCall(call);
        }
    }
    return opcode == audioMasterVersion ? version.load() : 0;
}

// A host of version 2400 with no calls kept and no hook, recording from now
// on when asked to. The counts go on.
inline void reset(bool record = false) {
    version = 2400;
    recording = record;
    calls.clear();
    onCall = nullptr;
}

// Calls of `opcode` so far, from any instance and thread.
inline int64_t count(VstInt32 opcode) {
    return opcode >= 0 && opcode < kCountedOpcodes ? counts[opcode].load() : 0;
}

// The index of every kept call of `opcode`, in order.
inline std::vector<VstInt32> indexesOf(VstInt32 opcode) {
    std::vector<VstInt32> indexes;
    for (const Call& call : calls) {
        if (call.opcode == opcode) {
            indexes.push_back(call.index);
        }
    }
    return indexes;
}

} // namespace fakeHost
