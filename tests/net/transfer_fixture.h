#pragma once
// A program folder with one recorder profile pointing at an in-process
// emulator, and a listener that records the statuses of a transfer.
#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "core/net/http_thread.h"
#include "rdsim/rdsim.h"
#include "support/temp_dir.h"

namespace lv::test {

class StatusLog : public CTransferListener {
public:
    void OnTransferStatus(int status) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_statuses.push_back(status);
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_statuses.clear();
    }
    std::vector<int> Statuses() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_statuses;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<int> m_statuses;
};

struct Profile {
    std::string model = "RD-XS41";
    std::string host = "127.0.0.1";
    int port = 0;
    int auth = 0;
    std::string user;
    std::string password;
};

// A title queued for its description, as the views queue one.
inline std::unique_ptr<CDownloadTitle> QueuedTitle(const std::string& page, const std::string& file) {
    auto t = std::make_unique<CDownloadTitle>();
    t->m_strPage = page;
    t->m_strTextFile = file;
    return t;
}

class TransferTest : public ::testing::Test {
protected:
    // Writes the profile file as a user would edit it: any port is taken as
    // written. In the program folder `folder`, by default `home`.
    void WriteProfile(const std::string& name, const Profile& p, const std::string& folder = {});
    // Starts the emulator for a model with a generated library of `titles`
    // titles, and writes the profile "RD" for it (kept in `profile` for variants).
    void StartSim(const std::string& model, int titles, int discs = 3, rdsim::Options options = {});

    template <typename Thread>
    int Run(Thread& t) {
        t.Start();
        t.Wait();
        return t.GetExitCode();
    }
    template <typename Thread = CDownloadLibraryThread>
    std::unique_ptr<Thread> MakeThread(const std::string& recorder, PROXY_SETTINGS proxy = Direct()) {
        auto t = std::make_unique<Thread>(home.dir(), proxy, &log);
        t->m_strRecorderName = recorder;
        return t;
    }
    static PROXY_SETTINGS Direct() {
        PROXY_SETTINGS p;
        p.bUseIE = 0;
        p.bEnable = 0;
        return p;
    }
    static PROXY_SETTINGS NamedProxy(int port) {
        PROXY_SETTINGS p = Direct();
        p.bEnable = 1;
        p.strHost = "127.0.0.1";
        p.nPort = port;
        return p;
    }
    std::string Cache(const std::string& recorder, const std::string& file) const {
        return home.dir() + recorder + "/" + file;
    }
    // Files in the recorder's cache folder whose names begin with "~RD".
    std::vector<std::string> TempFiles(const std::string& recorder) const;

    TempDir home;
    StatusLog log;
    std::unique_ptr<rdsim::RdSim> sim;
    Profile profile;
};

}  // namespace lv::test
