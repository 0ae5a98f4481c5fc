// The contract's calls answer with a status and never throw. A layer runs
// each call that allocates through guarded(), so that running out of
// memory on the way answers Status::failed; the layer's own objects clean up
// after themselves as the exception passes.
#pragma once

#include <exception>

#include "platform/platform.h"

namespace platform {

template <class Call>
Status guarded(Call&& call) noexcept {
    try {
        return call();
    } catch (const std::exception&) {
        return Status::failed;
    }
}

} // namespace platform
