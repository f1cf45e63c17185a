#pragma once
// What the whole-library benchmarks share: a cache of 1,000,000 titles (ten
// recorders of 100,000) with their profiles and document, and a program run
// as a child with its output thrown away.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sample/sample_library.h"

namespace lv::bench {

struct SampleCache {
    static constexpr int kRecorders = 10;
    static constexpr int kTitlesEach = 100000;

    std::filesystem::path dir;
    std::vector<std::string> folders;  // each recorder's, ending in "/"
    std::uintmax_t bytes = 0;          // of the disc and title lists; 0 when they could not be written

    // Under the temporary folder, named `name` and this process's id. Written
    // by a child: a child's peak memory counts this process's as it was when
    // the child started, so this process stays small.
    explicit SampleCache(const std::string& name) {
        dir = std::filesystem::temp_directory_path() / (name + "-" + std::to_string(getpid()));
        for (int i = 0; i < kRecorders; ++i) folders.push_back((dir / ("RD" + std::to_string(i))).string() + "/");
        const pid_t pid = fork();
        if (pid == 0) _exit(Write() ? 0 : 1);
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return;
        for (const std::string& f : Files()) bytes += std::filesystem::file_size(f);
    }
    ~SampleCache() { std::filesystem::remove_all(dir); }
    SampleCache(const SampleCache&) = delete;
    SampleCache& operator=(const SampleCache&) = delete;

    static const char* Model(int i) { return i % 3 == 0 ? "RD-XS40" : i % 3 == 1 ? "RD-XS41" : "RD-Z1"; }
    std::vector<std::string> Files() const {
        std::vector<std::string> files;
        for (const std::string& folder : folders) {
            files.push_back(folder + "Disc.csv");
            files.push_back(folder + "Library.csv");
        }
        return files;
    }

private:
    bool Write() const {
        for (int i = 0; i < kRecorders; ++i) {
            lv::sample::SampleOptions o;
            o.titles = kTitlesEach;
            o.discs = 120;
            o.modelClass = 1 + i % 3;
            o.seed = 100 + static_cast<unsigned>(i);
            std::filesystem::create_directories(folders[static_cast<std::size_t>(i)]);
            if (!lv::sample::WriteSampleCache(o, folders[static_cast<std::size_t>(i)])) return false;
            std::ofstream(dir / ("RD" + std::to_string(i) + ".ini"))
                << "[NetNavi]\r\nModel=" << Model(i) << "\r\nHost=h\r\nPort=80\r\n";
            std::ofstream(dir / "Default.lbv", std::ios::app) << "RD" << i << "\r\n";
        }
        return true;
    }
};

// Runs a program (found on PATH) with its output thrown away: its peak resident bytes, or
// -1 when it did not exit 0.
inline double RunChild(const std::vector<std::string>& args) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int err = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    struct rusage use {};
    if (err != 0 || wait4(pid, &status, 0, &use) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return static_cast<double>(use.ru_maxrss) * 1024.0;
}

}  // namespace lv::bench
