#pragma once
// A program folder for the tool's tests: recorder Den (an RD-XS41) listed in
// its document; the test writes Den's cache files.
#include <filesystem>
#include <string>
#include <vector>

#include "support/run_cli.h"
#include "support/temp_dir.h"

namespace lv::test {

class DenHome {
public:
    DenHome() {
        std::filesystem::create_directories(Cache());
        WriteFile(m_dir.file("Den.ini"), "[NetNavi]\r\nHost=192.168.0.2\r\nPort=80\r\nAuth=0\r\nModel=RD-XS41\r\n");
        WriteFile(m_dir.file("Default.lbv"), "Den\r\n");
    }
    std::string Cache() const { return m_dir.dir() + "Den/"; }
    std::string File(const char* name) const { return m_dir.file(name); }
    // The arguments after "--home FOLDER".
    std::vector<std::string> With(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--home", m_dir.dir()});
        return args;
    }
    CliResult Run(std::vector<std::string> args) const { return RunCli(With(std::move(args))); }

private:
    TempDir m_dir;
};

}  // namespace lv::test
