// Targets without a flush-to-zero switch the analysis can reach (x87
// arithmetic on 32-bit x86, other processors): the guard does nothing.
#include "analysis/DenormalGuard.h"

DenormalGuard::DenormalGuard() : saved(0) {
    (void)saved;
}

DenormalGuard::~DenormalGuard() = default;

bool DenormalGuard::supported() {
    return false;
}

bool DenormalGuard::flushing() {
    return false;
}
