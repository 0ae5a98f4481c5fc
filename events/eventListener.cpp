#include "events/eventListener.h"

eventListener::~eventListener() = default;
