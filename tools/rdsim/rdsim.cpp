#include "rdsim/rdsim.h"

#include <httplib.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <unordered_map>

#include "core/library/line_reader.h"
#include "core/library/recorder_library.h"
#include "core/platform/path.h"
#include "core/settings/models.h"
#include "core/text/base64.h"
#include "core/text/codec.h"

namespace lv::rdsim {

namespace {

constexpr const char* kLibraryPath = "/library/view_library.csv";
constexpr const char* kDiscPath = "/library/DiscList_.csv";
constexpr const char* kInfoPath = "/library/tt_info.htm";
constexpr const char* kLibraryFolder = "/library/";
constexpr const char* kCsvType = "text/csv; charset=Shift_JIS";
constexpr const char* kHtmlType = "text/html; charset=Shift_JIS";
constexpr std::size_t kChunk = 64 * 1024;

// The recorder's own pages, in code page 932.
struct Pages {
    std::string busy, select, noSelection, notFound, unauthorized;
};

const Pages& GetPages() {
    static const Pages pages = [] {
        auto S = [](const char* utf8) { return lv::text::Utf8ToCp932(utf8); };
        const std::string head =
            "<HTML>\r\n<HEAD>\r\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=Shift_JIS\">\r\n";
        Pages p;
        p.busy = head + S("<TITLE>ﾈｯﾄdeﾅﾋﾞ</TITLE>\r\n</HEAD>\r\n<BODY>\r\n"
                          "ただいま本体が作業中のため、ライブラリを表示できません。<BR>\r\n"
                          "しばらくしてから再度アクセスしてください。\r\n</BODY>\r\n</HTML>\r\n");
        // Model class 3 only remembers the title; its details come from tt_info.htm.
        p.select = head + S("<TITLE>ライブラリ</TITLE>\r\n</HEAD>\r\n<FRAMESET ROWS=\"100%,*\">\r\n"
                            "<FRAME SRC=\"tt_info.htm\" NAME=\"info\">\r\n</FRAMESET>\r\n</HTML>\r\n");
        p.noSelection = head + S("<TITLE>番組情報</TITLE>\r\n</HEAD>\r\n<BODY>\r\n番組が選択されていません。\r\n"
                                 "</BODY>\r\n</HTML>\r\n");
        p.notFound = "<HTML><HEAD><TITLE>404 Not Found</TITLE></HEAD><BODY>Not Found</BODY></HTML>\r\n";
        p.unauthorized =
            "<HTML><HEAD><TITLE>401 Unauthorized</TITLE></HEAD><BODY>Authorization Required</BODY></HTML>\r\n";
        return p;
    }();
    return pages;
}

std::string StatusPage(int status) {
    const std::string s = std::to_string(status);
    return "<HTML><HEAD><TITLE>" + s + "</TITLE></HEAD><BODY>" + s + "</BODY></HTML>\r\n";
}

// A page name is one plain file name: nothing that could reach out of the
// folder it is looked up in.
bool SafePageName(const std::string& name) {
    if (name.empty() || name[0] == '.' || name.size() > 255) return false;
    for (unsigned char c : name)
        if (c < 0x20 || c == '/' || c == '\\' || c == ':' || c == 0x7F) return false;
    return true;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    std::ifstream f(path, std::ios::binary);
    if (!f) return std::nullopt;
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace

struct RdSim::Content {
    std::shared_ptr<const std::string> library;
    std::shared_ptr<const std::string> disc;  // null: no disc list
    std::shared_ptr<const lv::sample::SampleLibrary> sample;
    std::string dir;  // details pages are looked up here when set
    // Page name -> what a page built from the library line shows; the
    // position in the sample when the library was generated.
    std::unordered_map<std::string, std::pair<lv::sample::PageFields, std::size_t>> titles;
};

struct RdSim::Answer {
    int status = 200;
    std::shared_ptr<const std::string> body;
    std::string type = kHtmlType;
    std::string select;  // page name that becomes the selected title
};

RdSim::RdSim(Options options) : m_options(std::move(options)), m_nModelClass(GetModelClass(m_options.strModel)) {
    SetLibrary(std::string(), m_nModelClass == 1 ? std::nullopt : std::optional<std::string>(std::string()));
}

RdSim::~RdSim() { Stop(); }

std::shared_ptr<const RdSim::Content> RdSim::Snapshot() const {
    std::lock_guard lock(m_mutex);
    return m_content;
}

void RdSim::Install(std::shared_ptr<Content> content) {
    std::lock_guard lock(m_mutex);
    m_content = std::move(content);
    m_strSelected.clear();
}

void RdSim::SetLibrary(std::string libraryCsv, std::optional<std::string> discCsv) {
    auto c = std::make_shared<Content>();
    // The titles' page names, read as the program reads the list.
    const CRDRecorderLibrary none("");
    std::size_t pos = 0;
    std::string line;
    CRDTitleInfo title;
    while (pos < libraryCsv.size()) {
        std::size_t end = libraryCsv.find('\n', pos);
        if (end == std::string::npos) end = libraryCsv.size();
        line.assign(libraryCsv, pos, end - pos);
        pos = end + 1;
        lv::TrimLineEnd(line, true);
        if (line.empty()) continue;
        ParseTitleLine(line.c_str(), m_nModelClass, none, title);
        const std::string page(title.Field(TF_PAGE));
        if (page.empty()) continue;
        lv::sample::PageFields f{std::string(title.Field(TF_TITLE)),   std::string(title.Field(TF_DATE)),
                                 std::string(title.Field(TF_WEEK)),    std::string(title.Field(TF_TIME)),
                                 std::string(title.Field(TF_CHANNEL)), std::string(title.Field(TF_GENRE))};
        c->titles.emplace(page, std::make_pair(std::move(f), std::string::npos));
    }
    c->library = std::make_shared<const std::string>(std::move(libraryCsv));
    if (discCsv) c->disc = std::make_shared<const std::string>(std::move(*discCsv));
    Install(std::move(c));
}

Result<> RdSim::LoadDir(const std::string& dir) {
    const std::filesystem::path folder = lv::platform::FsPath(dir);
    auto library = ReadWholeFile(folder / "Library.csv");
    if (!library) return Failure{"cannot read " + (folder / "Library.csv").string()};
    SetLibrary(std::move(*library), ReadWholeFile(folder / "Disc.csv"));
    auto c = std::make_shared<Content>(*Snapshot());
    c->dir = dir;
    Install(std::move(c));
    return {};
}

void RdSim::Generate(lv::sample::SampleOptions options) {
    options.modelClass = m_nModelClass;
    auto sample = std::make_shared<const lv::sample::SampleLibrary>(options);
    auto c = std::make_shared<Content>();
    c->library = std::make_shared<const std::string>(sample->LibraryCsv());
    if (m_nModelClass != 1) c->disc = std::make_shared<const std::string>(sample->DiscListCsv());
    c->titles.reserve(sample->Titles().size());
    for (std::size_t i = 0; i < sample->Titles().size(); ++i) {
        const auto& t = sample->Titles()[i];
        c->titles.emplace(t.strPage, std::make_pair(lv::sample::PageFields{}, i));
    }
    c->sample = std::move(sample);
    Install(std::move(c));
}

std::shared_ptr<const lv::sample::SampleLibrary> RdSim::Sample() const { return Snapshot()->sample; }

void RdSim::SetPage(const std::string& pageName, std::string html) {
    std::lock_guard lock(m_mutex);
    m_pages[pageName] = std::move(html);
}

void RdSim::SetFault(const std::string& path, const Fault& fault) {
    std::lock_guard lock(m_mutex);
    m_faults[path] = fault;
}

void RdSim::ClearFaults() {
    std::lock_guard lock(m_mutex);
    m_faults.clear();
}

Fault RdSim::FaultFor(const std::string& path) const {
    std::lock_guard lock(m_mutex);
    auto it = m_faults.find(path);
    if (it == m_faults.end()) it = m_faults.find(std::string());
    return it == m_faults.end() ? Fault{} : it->second;
}

std::vector<RequestRecord> RdSim::Requests() const {
    std::lock_guard lock(m_mutex);
    return m_log;
}

void RdSim::ClearRequests() {
    std::lock_guard lock(m_mutex);
    m_log.clear();
}

std::string RdSim::SelectedPage() const {
    std::lock_guard lock(m_mutex);
    return m_strSelected;
}

std::string RdSim::Url() const {
    const bool v6 = m_options.strBind.find(':') != std::string::npos;
    const std::string host = v6 ? "[" + m_options.strBind + "]" : m_options.strBind;
    return "http://" + host + ":" + std::to_string(m_nPort) + "/";
}

int RdSim::Start(std::string* error) {
    if (m_server) return m_nPort;
    auto server = std::make_unique<httplib::Server>();
    auto handler = [this](const httplib::Request& req, httplib::Response& res) { Handle(req, res); };
    // Every path comes here, also one holding an escaped line break ("." would not match it).
    const std::string any = "[\\s\\S]*";
    server->Get(any, handler);
    server->Post(any, handler);
    server->Put(any, handler);
    server->Delete(any, handler);
    server->Options(any, handler);
    server->Patch(any, handler);
    // The library's default also sets SO_REUSEPORT, which would let a second
    // server share a port in use; a restarted one still rebinds at once.
    // Windows lets SO_REUSEADDR take a port in use, and refuses that only
    // with SO_EXCLUSIVEADDRUSE.
    // An accepted socket takes TCP_NODELAY from the listening one: an answer
    // on a kept connection goes out at once, not after the client's delayed ACK.
    server->set_socket_options([](socket_t sock) {
#ifdef _WIN32
        const BOOL yes = TRUE;
        setsockopt(sock, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes), sizeof yes);
#else
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
#endif
        setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&yes), sizeof yes);
    });
    // Short waits, so that stopping is never held up by an idle connection;
    // a connection kept open carries any number of requests.
    server->set_keep_alive_timeout(1);
    server->set_keep_alive_max_count(std::numeric_limits<int>::max());
    server->set_read_timeout(2, 0);
    server->set_write_timeout(5, 0);

    int port = -1;
    if (m_options.nPort == 0) {
        port = server->bind_to_any_port(m_options.strBind);
    } else if (m_options.nPort > 0 && m_options.nPort < 65536 &&
               server->bind_to_port(m_options.strBind, m_options.nPort)) {
        port = m_options.nPort;
    }
    if (port <= 0) {
        if (error) *error = "cannot listen on " + m_options.strBind + " port " + std::to_string(m_options.nPort);
        return -1;
    }
    {
        std::lock_guard lock(m_mutex);
        m_bStopping = false;
    }
    m_nPort = port;
    m_server = std::move(server);
    m_thread = std::thread([s = m_server.get()] { s->listen_after_bind(); });
    // stop() only takes effect once the accept loop runs.
    while (!m_server->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return port;
}

void RdSim::Stop() {
    if (!m_server) return;
    {
        std::lock_guard lock(m_mutex);
        m_bStopping = true;
    }
    m_wake.notify_all();
    m_server->stop();
    if (m_thread.joinable()) m_thread.join();
    m_server.reset();
}

bool RdSim::Pause(int ms) {
    std::unique_lock lock(m_mutex);
    return !m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_bStopping; });
}

bool RdSim::Authorized(const httplib::Request& req) const {
    if (m_options.strUser.empty() && m_options.strPassword.empty()) return true;
    const std::string value = req.get_header_value("Authorization");
    const std::size_t space = value.find(' ');
    if (space == std::string::npos) return false;
    std::string scheme = value.substr(0, space);
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return std::tolower(c); });
    if (scheme != "basic") return false;
    std::string token = value.substr(value.find_first_not_of(' ', space));
    while (!token.empty() && token.back() == ' ') token.pop_back();
    return token == lv::text::Base64Encode(m_options.strUser + ":" + m_options.strPassword);
}

std::optional<std::string> RdSim::DetailsPage(const Content& c, const std::string& page) const {
    {
        std::lock_guard lock(m_mutex);
        auto it = m_pages.find(page);
        if (it != m_pages.end()) return it->second;
    }
    // Only the library's own titles have pages.
    auto it = c.titles.find(page);
    if (it == c.titles.end()) return std::nullopt;
    if (!c.dir.empty() && SafePageName(page))
        if (auto file = ReadWholeFile(lv::platform::FsPath(c.dir) / page)) return file;
    if (c.sample && it->second.second != std::string::npos) return c.sample->DescriptionPage(it->second.second);
    return lv::sample::MakeDetailsPage(it->second.first, std::string());
}

RdSim::Answer RdSim::Resolve(const std::string& path, const Content& c) {
    const Pages& pages = GetPages();
    auto html = [](const std::string& s) { return std::make_shared<const std::string>(s); };
    Answer a;
    if (path == kLibraryPath) {
        a.body = c.library;
        a.type = kCsvType;
    } else if (path == kDiscPath && m_nModelClass != 1 && c.disc) {
        a.body = c.disc;
        a.type = kCsvType;
    } else if (path == kInfoPath && m_nModelClass == 3) {
        std::optional<std::string> details;
        const std::string selected = SelectedPage();
        if (!selected.empty()) details = DetailsPage(c, selected);
        a.body = html(details ? *details : pages.noSelection);
    } else if (path.rfind(kLibraryFolder, 0) == 0 && m_nModelClass != 1 && path != kInfoPath && path != kDiscPath) {
        const std::string page = path.substr(std::char_traits<char>::length(kLibraryFolder));
        std::optional<std::string> details = DetailsPage(c, page);
        if (!details) {
            a.status = 404;
        } else if (m_nModelClass == 3) {
            a.body = html(pages.select);
            a.select = page;
        } else {
            a.body = html(*details);
        }
    } else {
        a.status = 404;
    }
    if (a.status == 404) a.body = html(pages.notFound);
    return a;
}

void RdSim::Handle(const httplib::Request& req, httplib::Response& res) {
    RequestRecord rec;
    rec.strMethod = req.method;
    // The path as the client wrote it, escapes and all; answers go by the decoded one.
    rec.strPath = req.target.substr(0, req.target.find('?'));
    rec.strTarget = req.target;
    for (const auto& h : req.headers) rec.aHeaderNames.push_back(h.first);
    rec.strVersion = req.version;
    rec.strRemoteAddr = req.remote_addr;
    rec.nRemotePort = req.remote_port;
    rec.bAuthorized = Authorized(req);

    const Fault fault = FaultFor(req.path);
    if (fault.nHeaderBytes > 0) res.set_header("X-Padding", std::string(fault.nHeaderBytes, 'x'));
    // An HTTP/1.0 request without "Connection: Keep-Alive" gets its connection closed; say so.
    const bool keep = req.version != "HTTP/1.0" || req.get_header_value("Connection") == "Keep-Alive";
    if (fault.bClose || !keep) res.set_header("Connection", "close");
    std::shared_ptr<const std::string> body;
    std::string type = kHtmlType;
    if (!rec.bAuthorized) {
        res.status = 401;
        res.set_header("WWW-Authenticate", "Basic realm=\"" + m_options.strRealm + "\"");
        body = std::make_shared<const std::string>(GetPages().unauthorized);
    } else if (fault.nStatus != 0 && fault.nStatus != 200) {
        res.status = fault.nStatus;
        // 1xx, 204 and 304 answers carry no body.
        if (fault.nStatus >= 200 && fault.nStatus != 204 && fault.nStatus != 304)
            body = std::make_shared<const std::string>(StatusPage(fault.nStatus));
    } else if (req.method != "GET" && req.method != "HEAD") {
        res.status = 405;
        res.set_header("Allow", "GET, HEAD");
        body = std::make_shared<const std::string>(StatusPage(405));
    } else if (fault.bBusy) {
        res.status = 200;
        body = std::make_shared<const std::string>(GetPages().busy);
    } else {
        Answer a = Resolve(req.path, *Snapshot());
        res.status = a.status;
        body = std::move(a.body);
        type = a.type;
        if (!a.select.empty()) {
            std::lock_guard lock(m_mutex);
            m_strSelected = a.select;
        }
    }
    rec.nStatus = res.status;
    {
        std::lock_guard lock(m_mutex);
        m_log.push_back(rec);
    }
    if (m_options.onRequest) m_options.onRequest(rec);
    if (body) SendBody(res, std::move(body), type, fault);
}

void RdSim::SendBody(httplib::Response& res, std::shared_ptr<const std::string> body, const std::string& type,
                     const Fault& fault) {
    // A huge body repeats the content; an empty content repeats line ends.
    if (fault.nHugeBytes > 0 && body->empty()) body = std::make_shared<const std::string>("\r\n");
    const std::size_t total = fault.nHugeBytes > 0 ? static_cast<std::size_t>(fault.nHugeBytes) : body->size();
    if (total == 0) {
        res.set_content(std::string(), type);
        return;
    }
    const std::size_t limit = fault.nCutAfter >= 0 ? std::min(total, static_cast<std::size_t>(fault.nCutAfter)) : total;
    const int slowMs = fault.nSlowMs;
    const std::size_t chunk = slowMs > 0 ? std::max<std::size_t>(1, fault.nSlowChunk) : kChunk;
    // Content-Length always tells the full size, so a cut body is seen as cut.
    // A body with a known length is also never compressed by the server.
    res.set_content_provider(
        total, type,
        [this, body, limit, slowMs, chunk](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            if (offset >= limit) return false;  // drops the connection
            if (slowMs > 0 && !Pause(slowMs)) return false;
            std::size_t n = std::min({length, limit - offset, chunk});
            while (n > 0) {
                const std::size_t at = offset % body->size();
                const std::size_t take = std::min(n, body->size() - at);
                if (!sink.write(body->data() + at, take)) return false;
                offset += take;
                n -= take;
            }
            return true;
        });
}

}  // namespace lv::rdsim
