// VSTPluginMain to a ready AEffect and effClose, as a host loading and
// unloading the plug-in sees it.
#include "analysis/tq_spectrumCore.h"
#include "bench/benchmarks.h"
#include "bench/RatioReporter.h"
#include "shell/vstPluginMain.h"
#include "tests/support/fakeHost.h"

#include <benchmark/benchmark.h>

namespace {

void entry(benchmark::State& state) {
    for (auto _ : state) {
        AEffect* effect = VSTPluginMain(fakeHost::callback);
        benchmark::DoNotOptimize(effect);
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    }
}

// The analysis core alone: its share of the start-up.
void coreOnly(benchmark::State& state) {
    for (auto _ : state) {
        auto* core = new tq_spectrumCore();
        benchmark::DoNotOptimize(core);
        delete core;
    }
}

} // namespace

void registerEntryBenchmarks(RatioReporter& table) {
    RatioReporter::measured(
        benchmark::RegisterBenchmark("entry/tq-spectrum/VSTPluginMain+effClose", entry))

        ->Unit(benchmark::kMicrosecond);
    RatioReporter::measured(benchmark::RegisterBenchmark("entry/tq_spectrumCore-alone", coreOnly))

        ->Unit(benchmark::kMicrosecond);
    table.addRow({"VSTPluginMain to a ready AEffect, then effClose (target < 1000 us)",
                  "entry/tq-spectrum/VSTPluginMain+effClose", "entry/tq_spectrumCore-alone",
                  "tq_spectrumCore construction alone", 1.0, RatioReporter::Unit::microseconds});
}
