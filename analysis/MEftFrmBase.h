#pragma once

#include <cstdint>

class MEftWinBase;

// Abstract frame transform: a length and a sample rate. The owning analyser
// supplies the frame length and the window table.
class MEftFrmBase {
public:
    // owner is not owned; it must outlive the transform.
    explicit MEftFrmBase(const MEftWinBase* owner);
    virtual ~MEftFrmBase();

    MEftFrmBase(const MEftFrmBase&) = delete;
    MEftFrmBase& operator=(const MEftFrmBase&) = delete;

    // Re-applies the stored sample rate and size; 0 on success.
    virtual int32_t prepare();
    virtual int32_t setSampleRate(float rate);
    virtual int32_t setSize(int32_t n);
    // frame holds the owner's frame length of samples; spectrum may be unused.
    virtual void transformFrame(const float* frame, float* spectrum) = 0;

    float getSampleRate() const { return sampleRate; }
    int32_t getSize() const { return size; }
    const MEftWinBase* getOwner() const { return owner; }

protected:
    const MEftWinBase* owner;
    float sampleRate;
    int32_t size;
};
