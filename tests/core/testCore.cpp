#include "tests/core/testCore.h"

void addStandardParameters(testCore& core) {
    core.addParameter("Level", 6, -60.0f, 6.0f, -3.5f);
    core.addParameter("Mode", 2, 0.0f, 1.0f, 1.0f);
    core.addParameter("Cutoff", 27, 20.0f, 20000.0f, 1000.0f);
    core.addParameter("Title", 28, 0.0f, 1.0f, 0.0f, 16);
    core.addParameter("Blob", 29, 0.0f, 1.0f, 0.0f, 8);
    core.addParameter("Secret", 10, 0.0f, 10.0f, 3.0f, 0, true);
    core.addParameter("Amount", 12, 0.0f, 10.0f, 0.0f);
}
