#include "toolkit/CReferenceCounter.h"

void CReferenceCounter::forget() {
    // A release beyond the last one finds the count at 0 while the object is
    // being deleted; it must not delete it a second time.
    if (nbReference <= 0) {
        return;
    }
    if (--nbReference == 0) {
        delete this;
    }
}
