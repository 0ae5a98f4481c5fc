// tq_bench: the plug-in's audio path, transform, level pass, start-up and editor,
// each against a baseline measured in the same run. The ratio table follows
// Google Benchmark's own output. Usage:
//   tq_bench [--benchmark_filter=REGEX] [any Google Benchmark option]
// By default every benchmark runs 9 short repetitions in random order, so
// that a busy spell of the machine spreads over subjects and baselines
// alike, and the table compares the fastest repetitions.
#include "bench/benchmarks.h"
#include "bench/RatioReporter.h"

#include <benchmark/benchmark.h>

#include <vector>

int main(int argc, char** argv) {
    // Defaults first: options given on the command line come later and win.
    std::vector<char*> args{argv[0]};
    char repetitions[] = "--benchmark_repetitions=9";
    char interleaving[] = "--benchmark_enable_random_interleaving=true";
    char minTime[] = "--benchmark_min_time=0.05";
    char aggregates[] = "--benchmark_report_aggregates_only=true";
    args.insert(args.end(), {repetitions, interleaving, minTime, aggregates});
    args.insert(args.end(), argv + 1, argv + argc);
    int count = static_cast<int>(args.size());

    RatioReporter reporter;
    registerProcessBenchmarks(reporter);
    registerTransformBenchmarks(reporter);
    registerLevelBenchmarks(reporter);
    registerEntryBenchmarks(reporter);
    registerEditorBenchmarks(reporter);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
