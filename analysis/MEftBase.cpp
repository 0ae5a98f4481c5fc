#include "analysis/MEftBase.h"

#include <cstring>

MEftBase::MEftBase() : sampleRate(44100.0f), blockSize(1024), numInputs(2), numOutputs(2) {
    updateHook();
}

MEftBase::~MEftBase() = default;

int32_t MEftBase::prepare() {
    updateHook();
    int32_t r = setSampleRate(sampleRate);
    if (r == 0) {
        r = setBlockSize(blockSize);
    }
    updateHook();
    reset();
    return r;
}

int32_t MEftBase::setSampleRate(float rate) {
    sampleRate = rate;
    return 0;
}

int32_t MEftBase::setBlockSize(int32_t n) {
    blockSize = n;
    return 0;
}

void MEftBase::processAccumulating(float** inputs, float** outputs, int32_t sampleFrames) {
    if (inputs == nullptr || outputs == nullptr || sampleFrames <= 0) {
        return;
    }
    const float* in = inputs[0];
    float* out = outputs[0];
    if (in == nullptr || out == nullptr) {
        return;
    }
    for (int32_t i = 0; i < sampleFrames; ++i) {
        out[i] += in[i];
    }
}

void MEftBase::processReplacing(float** inputs, float** outputs, int32_t sampleFrames) {
    if (inputs == nullptr || outputs == nullptr || sampleFrames <= 0) {
        return;
    }
    const float* in = inputs[0];
    float* out = outputs[0];
    if (in == nullptr || out == nullptr || in == out) {
        return;
    }
    std::memmove(out, in, static_cast<size_t>(sampleFrames) * sizeof(float));
}

void MEftBase::hookA(int32_t, int32_t) {}

void MEftBase::hookB(int32_t, int32_t) {}

void MEftBase::reset() {}

void MEftBase::setNumInputs(int32_t n) {
    numInputs = n;
}

void MEftBase::setNumOutputs(int32_t n) {
    numOutputs = n;
}

void MEftBase::updateHook() {}
