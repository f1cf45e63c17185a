#include "support/emulator.h"

#include <random>

namespace lv::test {

std::unique_ptr<lv::rdsim::RdSim> StartEmulator(lv::rdsim::Options options, PortRange range, std::string* error) {
    std::mt19937 random(std::random_device{}());
    // A taken port in the profile range is only a reason to try another one.
    const int attempts = range == PortRange::Profile ? 50 : 1;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (range == PortRange::Profile) options.nPort = 2000 + static_cast<int>(random() % 8000);
        auto sim = std::make_unique<lv::rdsim::RdSim>(options);
        if (sim->Start(error) > 0) return sim;
    }
    return nullptr;
}

void ServeSample(lv::rdsim::RdSim& sim, int titles, int discs) {
    lv::sample::SampleOptions sample;
    sample.titles = titles;
    sample.discs = discs;
    sample.seed = 7;
    sim.Generate(sample);
}

}  // namespace lv::test
