#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// Console reporter that also keeps each benchmark's CPU time and, once all
// have run, prints a table of subjects against baselines measured in the
// same run. With repetitions the fastest repetition is used (the one least
// disturbed by the rest of the machine), else the median. CPU time rather
// than wall time: the figures should not count time spent descheduled.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    enum class Unit { nanoseconds, microseconds };

    struct Row {
        std::string label;
        // Benchmark names as registered. An empty baseline makes a row whose
        // figure stands alone, for work with nothing comparable to run.
        std::string subject;
        std::string baseline;
        std::string baselineLabel;
        // Units of work per iteration (frames, bins...): the figures are per unit.
        double unitsPerIteration;
        Unit unit;
    };

    // Registers b for the table: adds the "min" statistic over repetitions.
    static benchmark::internal::Benchmark* measured(benchmark::internal::Benchmark* b);

    void addRow(Row row);
    // A line printed under the table.
    void addNote(std::string note);
    void ReportRuns(const std::vector<Run>& reports) override;
    void Finalize() override;

    // The table as markdown; rows whose benchmarks did not run are left out.
    std::string table() const;

private:
    bool figure(const Row& row, const std::string& name, double& value) const;

    std::vector<Row> rows;
    std::vector<std::string> notes;
    // Nanoseconds per iteration by benchmark name.
    std::map<std::string, double> single;
    std::map<std::string, double> median;
    std::map<std::string, double> minimum;
};
