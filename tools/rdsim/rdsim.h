#pragma once
// rdsim: stands in for a recorder's built-in web server. It serves a library
// list, a disc list and description pages the way each model class does, with
// optional Basic authentication and faults on purpose, and it keeps a log of
// the requests it saw so that tests can check their order.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/text/result.h"
#include "sample/sample_library.h"

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace lv::rdsim {

// What goes wrong with an answer, on purpose. Faults combine: a huge body
// may also be slow and cut.
struct Fault {
    int nStatus = 0;           // answer every request with this status (0 or 200: no)
    bool bBusy = false;        // a "busy" HTML page with status 200 instead of the content
    long long nCutAfter = -1;  // close the connection after this many body bytes (-1: no)
    int nSlowMs = 0;           // wait this long before each chunk of the body
    std::size_t nSlowChunk = 512;
    long long nHugeBytes = 0;      // the body repeated over and over up to this size (0: no)
    std::size_t nHeaderBytes = 0;  // one header line of this many bytes in the answer (0: no)
    bool bClose = false;           // "Connection: close": the client opens a connection per request
};

struct RequestRecord {
    std::string strMethod;
    std::string strPath;    // as sent, escapes kept, without the query
    std::string strTarget;  // the request line's target as sent, query included
    std::vector<std::string> aHeaderNames;
    std::string strVersion;  // "HTTP/1.0", "HTTP/1.1"
    bool bAuthorized = true;
    int nStatus = 0;  // the status answered
    std::string strRemoteAddr;
    int nRemotePort = 0;  // tells connections apart
};

struct Options {
    std::string strBind = "127.0.0.1";  // never any other address
    int nPort = 0;                      // 0: the system picks a free port
    std::string strModel{};             // decides the model class, as a profile's model does
    // Basic authentication is asked for when either is set.
    std::string strUser{};
    std::string strPassword{};
    std::string strRealm = "RD";
    // Told of every request after its answer is decided (on a server thread).
    std::function<void(const RequestRecord&)> onRequest{};
};

class RdSim {
public:
    explicit RdSim(Options options = {});
    ~RdSim();
    RdSim(const RdSim&) = delete;
    RdSim& operator=(const RdSim&) = delete;

    int ModelClass() const { return m_nModelClass; }

    // What is served. Each call replaces the whole library.
    // A folder holding Library.csv, optionally Disc.csv, and details pages
    // named by the titles' page names (read when asked for).
    Result<> LoadDir(const std::string& dir);
    // A generated library; the model class of the options is replaced by ours.
    void Generate(lv::sample::SampleOptions options);
    // Given bytes; without a disc list "/library/DiscList_.csv" is not found.
    void SetLibrary(std::string libraryCsv, std::optional<std::string> discCsv);
    // A details page of one's own for a page name (kept across SetLibrary).
    void SetPage(const std::string& pageName, std::string html);
    // The generated library, when Generate made one.
    std::shared_ptr<const lv::sample::SampleLibrary> Sample() const;

    // Binds and starts serving; returns the port, or -1 with the reason in error.
    int Start(std::string* error = nullptr);
    // Stops accepting, wakes slow answers and waits for the server's threads.
    void Stop();
    bool IsRunning() const { return m_server != nullptr; }
    int Port() const { return m_nPort; }
    // "http://ADDRESS:PORT/"
    std::string Url() const;

    // A fault for every path, or for one path (overriding the one for every path).
    void SetFault(const Fault& fault) { SetFault(std::string(), fault); }
    void SetFault(const std::string& path, const Fault& fault);
    void ClearFaults();

    std::vector<RequestRecord> Requests() const;
    void ClearRequests();
    // The page name whose details "/library/tt_info.htm" shows (model class 3).
    std::string SelectedPage() const;

private:
    struct Content;
    struct Answer;

    void Handle(const httplib::Request& req, httplib::Response& res);
    Answer Resolve(const std::string& path, const Content& content);
    std::optional<std::string> DetailsPage(const Content& content, const std::string& page) const;
    void SendBody(httplib::Response& res, std::shared_ptr<const std::string> body, const std::string& type,
                  const Fault& fault);
    bool Authorized(const httplib::Request& req) const;
    Fault FaultFor(const std::string& path) const;
    std::shared_ptr<const Content> Snapshot() const;
    void Install(std::shared_ptr<Content> content);
    // Sleeps, or returns false at once when the server is stopping.
    bool Pause(int ms);

    Options m_options;
    int m_nModelClass = 0;
    int m_nPort = -1;
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;

    mutable std::mutex m_mutex;  // guards everything below
    std::shared_ptr<const Content> m_content;
    std::map<std::string, std::string> m_pages;
    std::map<std::string, Fault> m_faults;  // "" = every path
    std::vector<RequestRecord> m_log;
    // Per server, not per connection: the program asks with HTTP/1.0, so the
    // page and "tt_info.htm" arrive on separate connections anyway.
    std::string m_strSelected;
    bool m_bStopping = false;
    std::condition_variable m_wake;
};

// The command line of the rdsim program.
struct CommandLine {
    Options options;
    std::string strDir;                   // --dir
    int nGenerate = -1;                   // --generate N
    int nDiscs = -1;                      // --discs D (default: one DVD per 30 titles)
    unsigned nSeed = 1;                   // --seed S
    std::string strSave;                  // --save DIR: write the generated recorder files and exit
    std::map<std::string, Fault> faults;  // "" = every path
    bool bQuiet = false;
    bool bHelp = false;
    bool bVersion = false;
};

// Reads the arguments (without the program name); the message says what is wrong with them.
Result<CommandLine> ParseCommandLine(const std::vector<std::string>& args);
std::string Usage();

}  // namespace lv::rdsim
