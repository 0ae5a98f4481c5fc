// C libraries the order has not been checked on. The Windows builds call
// log10 in msvcrt.dll, which is Windows' own library at run time and cannot
// be checked where the plug-in is built: every bin gets its own logarithm.
#include "analysis/LevelOrder.h"

bool LevelOrder::followsPower() {
    return false;
}
