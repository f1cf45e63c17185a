#pragma once
// What the title list shows: a condition over the document's titles or discs.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/library/records.h"

class CRDTitleDoc;
class CRDRecorderLibrary;
class CLibraryNews;

constexpr int SC_RECORDER = 0x1;
constexpr int SC_DISC = 0x2;
constexpr int SC_TEXT = 0x4;
constexpr int SC_DATE_FROM = 0x8;
constexpr int SC_DATE_TO = 0x10;
constexpr int SC_GENRE = 0x20;
constexpr int SC_NEW_TITLES = 0x40;  // only the titles the last download of their recorder found new
constexpr int SC_DVD_TITLES = 0x10000;

struct SEARCHCONDITION {
    int nFlags;
    const char* pszRecorder;
    const char* pszDisc;
    const char* pszText;
    const char* pszDateFrom;
    const char* pszDateTo;
    int nGenre;
};

class CSearchCondition {
public:
    int m_nFlags = 0;
    std::string m_strRecorder;
    std::string m_strDisc;
    std::string m_strText;
    std::string m_strDateFrom;
    std::string m_strDateTo;
    int m_nGenre = 0;

    void GetCondition(SEARCHCONDITION& out) const;
    void SetCondition(const SEARCHCONDITION& in);

    // The disc view: SC_DISC with "DVD" and without SC_DVD_TITLES.
    bool NeedsDiscView() const;
};

// Receives the rows of a condition's result in document order.
struct CConditionSink {
    virtual ~CConditionSink() = default;
    // A recorder that passed the recorder criterion while SC_RECORDER is set.
    virtual void OnModeLabels(const CRDRecorderLibrary& /*recorder*/) {}
    virtual void OnDisc(const CRDRecorderLibrary& recorder, const CRDDiscInfo& disc) = 0;
    virtual void OnTitle(const CRDRecorderLibrary& recorder, const CRDTitleInfo& title) = 0;
};

// Walks the document and hands every selected row to the sink. SC_NEW_TITLES
// asks `news`; without it no title is new.
void RunCondition(const CSearchCondition& cond, const CRDTitleDoc& doc, CConditionSink& sink,
                  const CLibraryNews* news = nullptr);
// The same walk over recorder libraries in the given order.
void RunCondition(const CSearchCondition& cond, const std::vector<std::unique_ptr<CRDRecorderLibrary>>& recorders,
                  CConditionSink& sink, const CLibraryNews* news = nullptr);
