#pragma once
// A transfer with one recorder on a worker thread: connects with the
// recorder's profile, GETs paths into files, reports progress to a listener
// and keeps the text of the last failure.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/ini/atomic_file.h"
#include "core/settings/proxy_settings.h"

enum TRANSFER_STATUS {
    TRANSFER_CONNECTING = 1,
    TRANSFER_RECEIVING = 2,
    TRANSFER_RECEIVED = 3,
    TRANSFER_FINISHED = 4,
    // Before the connection: the profile's port was none a connection takes,
    // and the default port is tried instead.
    TRANSFER_PORT_DEFAULTED = 5,
};

// The exit code of a transfer whose thread has not ended yet.
constexpr int TRANSFER_STILL_RUNNING = -1;

// The text a status shows while a transfer runs; empty for the end and for
// codes that are no status.
const std::string& TransferStatusText(int status);

// The receiving status with what has arrived: "... 1.2 MB" for a library,
// "... 3 / 10" for the third of ten descriptions (count > 0).
std::string TransferProgressText(long long bytes, int current, int count);

// Told of every status, on the worker thread; the GUI turns each call into a
// queued call on its own thread.
class CTransferListener {
public:
    virtual ~CTransferListener() = default;
    virtual void OnTransferStatus(int status) = 0;
};

class CHttpThread {
public:
    // Consumes a response body that arrives in chunks.
    class CResponseSink {
    public:
        enum { FAIL = 0, MORE = 1, DONE = 2 };
        virtual ~CResponseSink() = default;
        // FAIL stops the transfer with the error text set; DONE stops reading
        // because the rest of the body is not wanted.
        virtual int Write(const char* data, std::size_t length) = 0;
        // The whole body has arrived; the result of the read.
        virtual bool Finish() = 0;
    };
    CHttpThread(std::string appDir, PROXY_SETTINGS proxy, CTransferListener* listener);
    virtual ~CHttpThread();
    CHttpThread(const CHttpThread&) = delete;
    CHttpThread& operator=(const CHttpThread&) = delete;

    std::string m_strRecorderName;  // set before Start
    // Set before Start: a connection that moves less than m_nMinBytesPerSecond
    // on average over this many seconds is given up, so a trickle ends too.
    long m_nStallSeconds = 60;
    long m_nMinBytesPerSecond = 100;
    // Set before Start: a body larger than this is refused (a recorder never
    // sends that much; an endless one would fill the disk).
    std::uint64_t m_nMaxBodyBytes = kMaxListBytes;

    static constexpr std::uint64_t kMaxListBytes = std::uint64_t{256} << 20;
    static constexpr std::uint64_t kMaxPageBytes = std::uint64_t{16} << 20;

    // Runs InitInstance, OnStartTransfer and ExitInstance on a new thread.
    void Start();
    // Joins the thread; the exit code is final afterwards.
    void Wait();
    // TRANSFER_STILL_RUNNING while the thread runs, then 0 (success) or 1.
    int GetExitCode() const { return m_nExitCode.load(); }
    // From the UI thread: stop at the next check, within about a second.
    void Abort();
    std::string GetErrorText() const;
    // What the HTTP client or the server said of the last failure, for the
    // curious (the CLI's -v): its own text, or a refused answer's headers.
    std::string GetErrorDetail() const;
    // Read from the UI thread while the transfer runs: bytes of the bodies
    // received so far; for a queue of requests, the one under way (from 1)
    // and how many there are (0 for no queue).
    long long GetBytesReceived() const { return m_nBytesReceived.load(); }
    int GetCurrentItem() const { return m_nCurrentItem.load(); }
    virtual int GetItemCount() const { return 0; }

    // The file emptied and opened for writing; null with errno set. Paths are
    // UTF-8 on Windows, where a narrow name would go through the ANSI code page.
    static std::FILE* CreateOutputFile(const std::string& path);

protected:
    virtual bool DoTransfer() { return true; }
    virtual bool CheckFirstChunk(const char* /*data*/, std::size_t /*length*/) { return true; }
    // The base version writes the body into the destination file.
    virtual std::unique_ptr<CResponseSink> ReadResponse(const std::string& destination);

    bool Connect(const std::string& name);
    // GET objectPath; with a destination the body goes through ReadResponse.
    bool Fetch(const std::string& objectPath, const char* destination);
    // The detail goes with the text; a text alone clears the last detail.
    void SetErrorText(const std::string& text, const std::string& detail = {});
    void SetFileErrorText(const std::string& path);  // from errno
    bool Aborted() const { return m_bAbort.load() != 0; }
    void Post(int status);
    void SetCurrentItem(int item) { m_nCurrentItem = item; }

    int m_nModelClass = 0;
    std::string m_strModel;
    std::string m_strLibraryPath;
    std::string m_strDiscPath;
    std::string m_strCacheFolder;
    std::string m_strAppDir;

private:
    class CRequest;  // one GET as both transports see it (http_transport.h)

    void Run();
    int OnStartTransfer();  // the exit code

    // The transport, one source per platform: libcurl or WinINet.
    bool InitInstance();
    void ExitInstance();
    // user and password are null when the profile's security is off.
    bool OpenConnection(const std::string& host, int port, const char* user, const char* password);
    // GETs the path, feeding the answer to the request; false when the
    // exchange failed, with the text set unless the request failed itself.
    bool Send(const std::string& objectPath, CRequest& request);

    struct Impl;
    struct ImplDeleter {
        void operator()(Impl* impl) const;
    };
    std::unique_ptr<Impl, ImplDeleter> m_pImpl;
    PROXY_SETTINGS m_proxy;
    CTransferListener* m_pListener;
    std::thread m_thread;
    std::atomic<int> m_bAbort{0};
    std::atomic<int> m_nExitCode{TRANSFER_STILL_RUNNING};
    std::atomic<long long> m_nBytesReceived{0};
    std::atomic<int> m_nCurrentItem{0};
    mutable std::mutex m_errorMutex;
    std::string m_szErrorText;    // at most 255 bytes, never a split character
    std::string m_szErrorDetail;  // cut likewise, at a larger limit
};

class CDownloadLibraryThread : public CHttpThread {
public:
    using CHttpThread::CHttpThread;

    // After a successful end: the titles new since the library replaced, and
    // the titles gone (also written to the recorder's news file).
    int GetNewCount() const { return m_nNewCount; }
    int GetRemovedCount() const { return m_nRemovedCount; }
    // What the user reads after a successful end: the counts, or that the
    // news file could not be saved and why (the error alone; empty when saved).
    std::string GetNewsText() const;
    const std::string& GetNewsError() const { return m_strNewsError; }

    // Writes the disc list of a class 1 recorder, derived from its library list.
    bool BuildDiscList(const std::string& libraryPath, const std::string& discPath);
    bool ReplaceFile(const std::string& source, const std::string& destination);

protected:
    bool DoTransfer() override;
    bool CheckFirstChunk(const char* data, std::size_t length) override;

private:
    int m_nNewCount = 0;
    int m_nRemovedCount = 0;
    std::string m_strNewsError;
};

class CDownloadTitle {
public:
    std::string m_strPage;
    std::string m_strTextFile;
    std::string m_strPath;  // set by the transfer
};

struct TITLEINFO;

class CDownloadTitleThread : public CHttpThread {
public:
    CDownloadTitleThread(std::string appDir, PROXY_SETTINGS proxy, CTransferListener* listener)
        : CHttpThread(std::move(appDir), std::move(proxy), listener) {
        m_nMaxBodyBytes = kMaxPageBytes;
    }
    std::vector<std::unique_ptr<CDownloadTitle>> m_aTitles;
    // Set before Start: descriptions read whole go in place together, when
    // this many wait or the oldest has waited this long, and at the end.
    std::size_t m_nBatchPages = 64;
    long m_nBatchSeconds = 2;

    // Queues the titles in their order while they belong to one recorder,
    // which becomes the transfer's recorder; the first title of another
    // recorder ends the queue. Call before Start.
    void QueueTitles(const std::vector<TITLEINFO>& titles);
    // The queue does not change once the thread runs.
    int GetItemCount() const override { return static_cast<int>(m_aTitles.size()); }

protected:
    bool DoTransfer() override;
    std::unique_ptr<CResponseSink> ReadResponse(const std::string& destination) override;

private:
    // Puts the waiting descriptions in place when the batch is due, or now
    // with `force`; a failure names the file, unless `report` is false.
    bool CommitPages(bool force, bool report = true);

    lv::CommitBatch m_batch;
    std::chrono::steady_clock::time_point m_batchStarted;  // when its oldest page was read
};
