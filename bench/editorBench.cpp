// The editor on the headless layer, driven through the host's opcodes: one
// decay step with its redraw of 97 bars, a full-window redraw, an idle with
// nothing due, and effEditOpen with effEditClose; and the unpacking of the
// bitmaps that the first open at a scale does once.
#include "analysis/tq_spectrumCore.h"
#include "bench/benchmarks.h"
#include "bench/EditorInstance.h"
#include "bench/RatioReporter.h"
#include "editor/tq_spectrumEditor.h"
#include "platform/platform.h"
#include "resources/bitmapIds.h"
#include "resources/BmpCodec.h"
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

// The seven bitmaps of a scale as the first editor open at that scale
// decodes them from their packed resources (the bitmap cache keeps them
// after that); `plain` decodes the same pixels from .bmp bytes instead.
void decodeBitmaps(benchmark::State& state, int32_t scale, bool plain) {
    std::vector<std::vector<uint32_t>> pixels;
    std::vector<std::vector<uint8_t>> bmps;
    std::vector<int32_t> ids;
    for (int32_t id = bitmapIds::kBackground; id <= bitmapIds::kLabelBackground; ++id) {
        const int32_t scaled = bitmapIds::atScale(id, scale);
        int32_t w = 0;
        int32_t h = 0;
        if (platform::bitmapSize(scaled, &w, &h) != platform::Status::ok) {
            state.SkipWithError("a bitmap is missing");
            return;
        }
        ids.push_back(scaled);
        pixels.emplace_back(static_cast<size_t>(w) * static_cast<size_t>(h));
        platform::loadBitmap(scaled, pixels.back().data(), pixels.back().size());
        bmps.push_back(BmpCodec::encode(w, h, pixels.back().data()));
    }
    for (auto _ : state) {
        for (size_t i = 0; i < ids.size(); ++i) {
            const bool ok = plain ? BmpCodec::decode(bmps[i].data(), bmps[i].size(),
                                                     pixels[i].data(), pixels[i].size())
                                  : platform::loadBitmap(ids[i], pixels[i].data(),
                                                         pixels[i].size()) == platform::Status::ok;
            if (!ok) {
                state.SkipWithError("decoding failed");
                return;
            }
        }
        benchmark::DoNotOptimize(pixels.front().data());
        benchmark::ClobberMemory();
    }
}

void decodePacked1x(benchmark::State& state) {
    decodeBitmaps(state, 100, false);
}

void decodePacked2x(benchmark::State& state) {
    decodeBitmaps(state, 200, false);
}

void decodePlain2x(benchmark::State& state) {
    decodeBitmaps(state, 200, true);
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
    const char* unpack1x = "editor/unpack-bitmaps-1x";
    const char* unpack2x = "editor/unpack-bitmaps-2x";
    const char* plain2x = "editor/bmp-decode-bitmaps-2x";
    for (auto* b : {benchmark::RegisterBenchmark(step, decayStep),
                    benchmark::RegisterBenchmark(dark, decayStepDark),
                    benchmark::RegisterBenchmark(full, fullRedraw),
                    benchmark::RegisterBenchmark(nothing, idleNothingDue),
                    benchmark::RegisterBenchmark(openPair, openClose),
                    benchmark::RegisterBenchmark(openShown, openShowClose),
                    benchmark::RegisterBenchmark(unpack1x, decodePacked1x),
                    benchmark::RegisterBenchmark(unpack2x, decodePacked2x),
                    benchmark::RegisterBenchmark(plain2x, decodePlain2x)}) {
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
    table.addRow({"editor: unpacking the seven 1x bitmaps (first open, once per process)", unpack1x,
                  "", "", 1.0, us});
    table.addRow({"editor: unpacking the seven 2x bitmaps", unpack2x, plain2x,
                  "decoding them from .bmp bytes", 1.0, us});
}
