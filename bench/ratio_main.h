#pragma once
// Runs the registered benchmarks and then prints each measured one as a ratio
// against its baseline from the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace lv::bench {

struct Ratio {
    std::string measured;  // benchmark name
    std::string baseline;  // benchmark name, or "counter:NAME" for a ratio the benchmark reports itself
    double aim;            // the ratio we aim to stay within
};

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& r : runs) {
            m_times[r.benchmark_name()] = r.GetAdjustedRealTime();
            for (const auto& [k, c] : r.counters) m_counters[r.benchmark_name() + ":" + k] = c.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double Time(const std::string& name) const {
        auto it = m_times.find(name);
        return it == m_times.end() ? 0 : it->second;
    }
    double Counter(const std::string& name) const {
        auto it = m_counters.find(name);
        return it == m_counters.end() ? -1 : it->second;
    }

private:
    std::map<std::string, double> m_times;
    std::map<std::string, double> m_counters;
};

inline int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n");
    for (const auto& r : ratios) {
        if (r.baseline.rfind("counter:", 0) == 0) {
            std::string name = r.baseline.substr(8);
            double v = reporter.Counter(r.measured + ":" + name);
            if (v < 0) continue;
            std::printf("ratio %-40s %6.2fx %s (aim: within %.1fx)%s\n", r.measured.c_str(), v, name.c_str(), r.aim,
                        v <= r.aim ? "" : "  ** over the aim **");
            continue;
        }
        double m = reporter.Time(r.measured), b = reporter.Time(r.baseline);
        if (m <= 0 || b <= 0) continue;
        std::printf("ratio %-40s %6.2fx of %s (aim: within %.1fx)%s\n", r.measured.c_str(), m / b, r.baseline.c_str(),
                    r.aim, m / b <= r.aim ? "" : "  ** over the aim **");
    }
    std::fflush(stdout);
    benchmark::Shutdown();
    return 0;
}

}  // namespace lv::bench
