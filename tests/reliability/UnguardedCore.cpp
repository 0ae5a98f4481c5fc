#include "tests/reliability/UnguardedCore.h"

#include "analysis/MEftFrmFft.h"

void UnguardedCore::analyseFrame(float* frame, float* spectrum) {
    MEftFrmFft* transformer = fft();
    transformer->transformFrame(frame, spectrum);
    binPowers(transformer->getRe(), transformer->getIm(), spectrum, getFrameLength() / 2);
    raiseBandLevels(spectrum);
}
