#pragma once
// What the two transports (libcurl, WinINet) share for one GET: the answer's
// status and headers, the body's limits and checks, its sink and the
// statuses around it. The transport only moves bytes.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/net/http_thread.h"

// The rest of a body not wanted is read up to this much, so that the
// connection can carry the next request; a longer rest closes it.
inline constexpr std::uint64_t kMaxUnwantedBytes = 64 * 1024;

class CHttpThread::CRequest {
public:
    enum { FAIL = CResponseSink::FAIL, MORE = CResponseSink::MORE, DONE = CResponseSink::DONE };

    CRequest(CHttpThread& thread, const char* destination) : m_thread(thread), m_destination(destination) {}

    // The header block of an answer is complete (raw lines, CR LF separated);
    // a later answer (after an authentication challenge) replaces an earlier
    // one. False when the body's destination cannot be made (the text is set).
    bool OnHeaders(long status, std::string headers);
    // Whether the body is wanted: a 200 with a destination.
    bool WantsBody() const { return m_status == 200 && m_destination != nullptr; }
    // A chunk of the body. MORE: go on; DONE: no more is wanted, the read
    // succeeded; FAIL: the request failed here with its text set (a limit,
    // the first-chunk check, the file, or the user's stop).
    int OnBody(const char* data, std::size_t length);
    // The request itself stopped the exchange and set the text.
    bool Failed() const { return m_failed; }
    bool HeadersDone() const { return m_headersDone; }
    // After the transport: `exchanged` is false when it failed (the text is
    // set). Checks the status, finishes the body and posts its end.
    bool End(bool exchanged);

private:
    CHttpThread& m_thread;
    const char* m_destination;
    long m_status = 0;
    std::string m_headers;
    bool m_headersDone = false;
    bool m_receiving = false;  // TRANSFER_RECEIVING posted
    bool m_firstChunk = true;
    bool m_failed = false;
    std::uint64_t m_bodyBytes = 0;
    std::unique_ptr<CResponseSink> m_sink;
};
