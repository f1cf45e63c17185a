#include "net/transfer_fixture.h"

#include "support/emulator.h"
#include "support/temp_dir.h"

namespace lv::test {

void TransferTest::WriteProfile(const std::string& name, const Profile& p, const std::string& folder) {
    WriteFile((folder.empty() ? home.dir() : folder) + name + ".ini",
              "[NetNavi]\r\nHost=" + p.host + "\r\nPort=" + std::to_string(p.port) +
                  "\r\nAuth=" + std::to_string(p.auth) + "\r\nUser=" + p.user + "\r\nPassword=" + p.password +
                  "\r\nModel=" + p.model + "\r\n");
}

void TransferTest::StartSim(const std::string& model, int titles, int discs, rdsim::Options options) {
    options.strModel = model;
    std::string error;
    sim = StartEmulator(options, PortRange::Any, &error);
    ASSERT_TRUE(sim) << error;
    ServeSample(*sim, titles, discs);
    profile = Profile{};
    profile.model = model;
    profile.port = sim->Port();
    WriteProfile("RD", profile);
}

std::vector<std::string> TransferTest::TempFiles(const std::string& recorder) const {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(home.dir() + recorder, ec))
        if (e.path().filename().string().rfind("~RD", 0) == 0) out.push_back(e.path().string());
    return out;
}

}  // namespace lv::test
