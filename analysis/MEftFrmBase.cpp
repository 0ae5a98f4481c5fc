#include "analysis/MEftFrmBase.h"

MEftFrmBase::MEftFrmBase(const MEftWinBase* owner)
    : owner(owner), sampleRate(44100.0f), size(1024) {}

MEftFrmBase::~MEftFrmBase() = default;

int32_t MEftFrmBase::prepare() {
    int32_t r = setSampleRate(sampleRate);
    if (r == 0) {
        r = setSize(size);
    }
    return r;
}

int32_t MEftFrmBase::setSampleRate(float rate) {
    sampleRate = rate;
    return 0;
}

int32_t MEftFrmBase::setSize(int32_t n) {
    size = n;
    return 0;
}
