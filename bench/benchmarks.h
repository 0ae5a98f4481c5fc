// Registration of every benchmark family together with the rows of the
// ratio table that compare it against its baseline.
#pragma once

class RatioReporter;

// processReplacing through the AEffect entry, blocks of 64, 512 and 4096,
// against memcpy of the same buffers and against FftwAnalysis.
void registerProcessBenchmarks(RatioReporter& table);
// The 1024-point transform alone and with its window, against FFTW.
void registerTransformBenchmarks(RatioReporter& table);
// The level pass over 512 bins: magnitude, log and mapping.
void registerLevelBenchmarks(RatioReporter& table);
// VSTPluginMain to a ready AEffect, then effClose.
void registerEntryBenchmarks(RatioReporter& table);

// The editor on the headless layer: one decay step with its redraw of 97
// bars (target <= 100 us), a full-window redraw, an idle with nothing due,
// and effEditOpen with effEditClose.
void registerEditorBenchmarks(RatioReporter& table);
