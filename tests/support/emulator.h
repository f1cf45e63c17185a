#pragma once
// The recorder emulator for tests, started in-process on loopback.
#include <memory>
#include <string>

#include "rdsim/rdsim.h"

namespace lv::test {

enum class PortRange {
    Any,      // the system picks a free port
    Profile,  // 2000-10000, ports that a profile dialog and the command line accept
};

// A running emulator of `options.strModel`; what it serves is set afterwards.
// Null when no port could be bound, with the reason in `error`.
std::unique_ptr<lv::rdsim::RdSim> StartEmulator(lv::rdsim::Options options, PortRange range = PortRange::Any,
                                                std::string* error = nullptr);

// Serves a generated library of `titles` titles on `discs` discs, the same
// one for the same numbers.
void ServeSample(lv::rdsim::RdSim& sim, int titles, int discs = 3);

}  // namespace lv::test
