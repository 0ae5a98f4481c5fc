// The library's entry point, exported as VSTPluginMain and as main.
#pragma once

#include "vst/AEffect.h"

extern "C" AEffect* VSTPluginMain(audioMasterCallback audioMaster);
