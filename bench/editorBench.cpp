// The editor on the headless layer, driven through the host's opcodes: one
// decay step with its redraw of 97 bars, a full-window redraw, an idle with
// nothing due, and effEditOpen with effEditClose.
#include "analysis/tq_spectrumCore.h"
#include "bench/benchmarks.h"
#include "bench/EditorInstance.h"
#include "bench/RatioReporter.h"
#include "editor/tq_spectrumEditor.h"
#include "toolkit/CVuMeter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr size_t kBands = SpectrumLayout::kBandCount;
// Analysis frames in the level pattern; the steps cycle through them.
constexpr size_t kPatternFrames = 32;
constexpr uint32_t kLitGreen = 0xFF33FF00u;

// Band maxima as the analysis leaves them between two decay steps: a
// spectrum falling towards the top band with a random spread, so that the
// bars stay lit and move at every step.
const std::vector<float>& levelPattern() {
    static const std::vector<float> pattern = [] {
        std::vector<float> levels(kPatternFrames * kBands);
        uint32_t seed = 12345u;
        for (size_t f = 0; f < kPatternFrames; ++f) {
            for (size_t b = 0; b < kBands; ++b) {
                seed = seed * 1664525u + 1013904223u;
                const float spread = static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
                const float tilt = 0.85f - 0.45f * static_cast<float>(b) / 96.0f;
                levels[f * kBands + b] = std::min(std::max(tilt + 0.7f * spread, 0.0f), 1.0f);
            }
        }
        return levels;
    }();
    return pattern;
}

// What the audio thread does between two steps: raises the band maxima.
void raiseLevels(tq_spectrumCore* core, size_t frame) {
    const float* levels = levelPattern().data() + (frame % kPatternFrames) * kBands;
    for (size_t b = 0; b < kBands; ++b) {
        const float now = core->bandLevel[b].load(std::memory_order_relaxed);
        core->bandLevel[b].store(std::max(now, levels[b]), std::memory_order_relaxed);
    }
}

void decayStep(benchmark::State& state) {
    EditorInstance editor;
    size_t frame = 0;
    for (auto _ : state) {
        raiseLevels(editor.core(), frame++);
        editor.idleForDecayStep();
    }
}

// The same step with the levels left alone: every bar falls to zero and
// then stays dark, yet is drawn again.
void decayStepDark(benchmark::State& state) {
    EditorInstance editor;
    for (auto _ : state) {
        editor.idleForDecayStep();
    }
}

// One step with the first pattern, so that the bars stand lit.
void lightBars(EditorInstance& editor) {
    raiseLevels(editor.core(), 0);
    editor.idleForDecayStep();
}

void fullRedraw(benchmark::State& state) {
    EditorInstance editor;
    lightBars(editor);
    for (auto _ : state) {
        editor.idleForFullRedraw();
    }
}

void idleNothingDue(benchmark::State& state) {
    EditorInstance editor;
    lightBars(editor);
    for (auto _ : state) {
        editor.idle();
    }
}

// Open and close; with `showFirst`, also the first idle that draws the whole
// window: what a user who opens and closes the window waits for.
void openCloseCycles(benchmark::State& state, bool showFirst) {
    EditorInstance editor;
    editor.close();
    for (auto _ : state) {
        if (!editor.open()) {
            state.SkipWithError("effEditOpen failed");
            break;
        }
        if (showFirst) {
            editor.idle();
        }
        editor.close();
    }
}

void openClose(benchmark::State& state) {
    openCloseCycles(state, false);
}

void openShowClose(benchmark::State& state) {
    openCloseCycles(state, true);
}

// Checks that the decay benchmark draws moving, lit bars: over a run of
// steps, how many bars change their shown level per step and what share of
// the bars' segments the window shows lit.
std::string feedSummary() {
    EditorInstance editor;
    constexpr size_t kSteps = 2 * kPatternFrames;
    size_t changed = 0;
    size_t litRows = 0;
    std::vector<float> before(kBands);
    for (size_t step = 0; step < kSteps; ++step) {
        for (size_t b = 0; b < kBands; ++b) {
            before[b] = editor.editor()->bars[b]->getShownValue();
        }
        raiseLevels(editor.core(), step);
        editor.idleForDecayStep();
        for (size_t b = 0; b < kBands; ++b) {
            const int32_t column = 44 + 5 * static_cast<int32_t>(b) + 1;
            changed += editor.editor()->bars[b]->getShownValue() != before[b] ? 1 : 0;
            for (int32_t y = 36; y < 136; ++y) {
                litRows += editor.parent().pixel(column, y) == kLitGreen ? 1 : 0;
            }
        }
    }
    char text[240];
    std::snprintf(text, sizeof(text),
                  "Editor decay step: over %zu steps, %.1f of the %zu bars change per step and "
                  "%.0f%% of their segments show lit.",
                  kSteps, static_cast<double>(changed) / kSteps, kBands,
                  100.0 * static_cast<double>(litRows) / (kSteps * kBands * 100));
    return text;
}

} // namespace

void registerEditorBenchmarks(RatioReporter& table) {
    table.addNote(feedSummary());
    const char* step = "editor/decay-step+redraw";
    const char* dark = "editor/decay-step+redraw-dark";
    const char* full = "editor/full-window-redraw";
    const char* nothing = "editor/idle-nothing-due";
    const char* openPair = "editor/effEditOpen+effEditClose";
    const char* openShown = "editor/effEditOpen+first-idle+effEditClose";
    for (auto* b : {benchmark::RegisterBenchmark(step, decayStep),
                    benchmark::RegisterBenchmark(dark, decayStepDark),
                    benchmark::RegisterBenchmark(full, fullRedraw),
                    benchmark::RegisterBenchmark(nothing, idleNothingDue),
                    benchmark::RegisterBenchmark(openPair, openClose),
                    benchmark::RegisterBenchmark(openShown, openShowClose)}) {
        RatioReporter::measured(b)->Unit(benchmark::kMicrosecond);
    }
    const auto us = RatioReporter::Unit::microseconds;
    table.addRow({"editor: decay step with its redraw of 97 bars (target <= 100 us)", step, "", "",
                  1.0, us});
    table.addRow({"editor: decay step with its redraw of 97 bars", step, full, "full-window redraw",
                  1.0, us});
    table.addRow({"editor: decay step, bars dark", dark, step, "bars lit and moving", 1.0, us});
    table.addRow({"editor: full-window redraw", full, "", "", 1.0, us});
    table.addRow({"editor: idle with no step due", nothing, "", "", 1.0, us});
    table.addRow({"editor: effEditOpen + effEditClose", openPair, "", "", 1.0, us});
    table.addRow({"editor: effEditOpen, first idle drawing the window, effEditClose", openShown,
                  openPair, "effEditOpen + effEditClose", 1.0, us});
}
