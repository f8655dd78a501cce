#pragma once

// A console reporter that also keeps each benchmark's time, so a benchmark
// program can end with its `ratio NAME VALUE` lines. With repetitions the
// median is kept; without, the single run. Names are "BM_Function" or
// "BM_Function/args".

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.aggregate_name.empty() || run.aggregate_name == "median") {
                std::string name = run.run_name.function_name;
                if (!run.run_name.args.empty()) {
                    name += "/" + run.run_name.args;
                }
                times_[name] = run.GetAdjustedRealTime();
            }
        }
    }
    bool Has(const std::string& name) const { return times_.count(name) != 0; }
    // The kept time, 0 when the benchmark did not run (a filtered run).
    double Time(const std::string& name) const {
        auto found = times_.find(name);
        return found == times_.end() ? 0.0 : found->second;
    }

  private:
    std::map<std::string, double> times_;
};
