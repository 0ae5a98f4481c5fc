#pragma once

#include <cstdint>

// Processor base of the analysis engine: sample rate, host block size and
// channel counts, the two block entry points, and the prepare/reset protocol
// that every engine class follows.
class MEftBase {
public:
    // Results of the engine's int32 operations, the transform's included.
    static constexpr int32_t kSuccess = 0;
    static constexpr int32_t kOutOfRange = 22;         // an argument out of range
    static constexpr int32_t kArrayNotAllocated = 13;  // a transform array cannot be allocated
    static constexpr int32_t kObjectNotAllocated = 18; // the transform cannot be allocated
    static constexpr int32_t kRefusedChannels = -1;    // a channel layout prepare refuses

    MEftBase();
    virtual ~MEftBase();

    // Applies the stored settings in a fixed order; kSuccess or a code.
    virtual int32_t prepare();
    virtual int32_t setSampleRate(float rate);
    virtual int32_t setBlockSize(int32_t n);
    // Adds channel 0 of inputs into channel 0 of outputs.
    virtual void processAccumulating(float** inputs, float** outputs, int32_t sampleFrames);
    // Copies channel 0 of inputs to channel 0 of outputs.
    virtual void processReplacing(float** inputs, float** outputs, int32_t sampleFrames);
    // Empty and never called; they hold slots 6 and 7 of the engine's fixed
    // table order, so that reset and the slots after it stay where they are.
    virtual void hookA(int32_t a, int32_t b);
    virtual void hookB(int32_t a, int32_t b);
    virtual void reset();
    virtual void setNumInputs(int32_t n);
    virtual void setNumOutputs(int32_t n);
    // Called around prepare's settings; empty in every engine class, kept
    // as slot 11 of the table order for a derived class to take.
    virtual void updateHook();

    float getSampleRate() const { return sampleRate; }
    int32_t getBlockSize() const { return blockSize; }
    int32_t getNumInputs() const { return numInputs; }
    int32_t getNumOutputs() const { return numOutputs; }

protected:
    float sampleRate;
    int32_t blockSize;
    int32_t numInputs;
    int32_t numOutputs;
};
