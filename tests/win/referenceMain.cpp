// Writes the headless pictures the Windows test compares with:
//   tq_win_reference <folder>
#include <cstdio>

#include "HeadlessReference.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    HeadlessReference reference;
    if (!reference.run()) {
        std::fprintf(stderr, "the plug-in's editor did not open\n");
        return 1;
    }
    if (!reference.write(argv[1])) {
        std::fprintf(stderr, "cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
