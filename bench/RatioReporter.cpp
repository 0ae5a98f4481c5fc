#include "bench/RatioReporter.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace {

std::string nameOf(const benchmark::BenchmarkReporter::Run& run) {
    std::string name = run.run_name.function_name;
    if (!run.run_name.args.empty()) {
        name += "/" + run.run_name.args;
    }
    return name;
}

const char* unitText(RatioReporter::Unit unit) {
    return unit == RatioReporter::Unit::microseconds ? "us" : "ns";
}

} // namespace

benchmark::internal::Benchmark* RatioReporter::measured(benchmark::internal::Benchmark* b) {
    return b->ComputeStatistics("min", [](const std::vector<double>& v) {
        return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end());
    });
}

void RatioReporter::addRow(Row row) {
    rows.push_back(std::move(row));
}

void RatioReporter::addNote(std::string note) {
    notes.push_back(std::move(note));
}

void RatioReporter::ReportRuns(const std::vector<Run>& reports) {
    ConsoleReporter::ReportRuns(reports);
    for (const Run& run : reports) {
        if (run.error_occurred) {
            continue;
        }
        const double nanos =
            run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
        if (run.run_type == Run::RT_Iteration) {
            single[nameOf(run)] = nanos;
        } else if (run.aggregate_name == "median") {
            median[nameOf(run)] = nanos;
        } else if (run.aggregate_name == "min") {
            minimum[nameOf(run)] = nanos;
        }
    }
}

bool RatioReporter::figure(const Row& row, const std::string& name, double& value) const {
    auto found = minimum.find(name);
    if (found == minimum.end()) {
        found = median.find(name);
    }
    if (found == median.end()) {
        found = single.find(name);
    }
    if (found == single.end()) {
        return false;
    }
    value = found->second / row.unitsPerIteration;
    if (row.unit == Unit::microseconds) {
        value /= 1000.0;
    }
    return true;
}

std::string RatioReporter::table() const {
    std::string out = "| measure | tq-spectrum | baseline | baseline figure | ratio |\n"
                      "|---|---:|---|---:|---:|\n";
    for (const Row& row : rows) {
        double subject = 0.0;
        double baseline = 0.0;
        if (!figure(row, row.subject, subject)) {
            continue;
        }
        char line[512];
        if (row.baseline.empty()) {
            std::snprintf(line, sizeof(line), "| %s | %.3f %s | - | - | - |\n", row.label.c_str(),
                          subject, unitText(row.unit));
            out += line;
            continue;
        }
        if (!figure(row, row.baseline, baseline)) {
            continue;
        }
        std::snprintf(line, sizeof(line), "| %s | %.3f %s | %s | %.3f %s | %.2fx |\n",
                      row.label.c_str(), subject, unitText(row.unit), row.baselineLabel.c_str(),
                      baseline, unitText(row.unit), subject / baseline);
        out += line;
    }
    return out;
}

void RatioReporter::Finalize() {
    ConsoleReporter::Finalize();
    std::ostream& out = GetOutputStream();
    out << "\nRatios against baselines measured in this run (CPU time"
        << (minimum.empty() ? (median.empty() ? "" : ", medians") : ", fastest repetitions")
        << "):\n\n"
        << table();
    for (const std::string& note : notes) {
        out << "\n" << note << "\n";
    }
    out << std::flush;
}
