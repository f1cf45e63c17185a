#include "core/search/search_condition.h"

#include "core/library/new_titles.h"
#include "core/library/recorder_library.h"
#include "core/library/title_doc.h"
#include "core/search/genres.h"
#include "core/text/cp932.h"
#include "core/text/fold.h"

namespace {
using lv::text::OrEmpty;
}  // namespace

void CSearchCondition::GetCondition(SEARCHCONDITION& out) const {
    out.nFlags = m_nFlags;
    out.pszRecorder = m_strRecorder.c_str();
    out.pszDisc = m_strDisc.c_str();
    out.pszText = m_strText.c_str();
    out.pszDateFrom = m_strDateFrom.c_str();
    out.pszDateTo = m_strDateTo.c_str();
    out.nGenre = m_nGenre;
}

void CSearchCondition::SetCondition(const SEARCHCONDITION& in) {
    m_nFlags = in.nFlags;
    m_strRecorder = OrEmpty(in.pszRecorder);
    m_strDisc = OrEmpty(in.pszDisc);
    m_strText = OrEmpty(in.pszText);
    m_strDateFrom = OrEmpty(in.pszDateFrom);
    m_strDateTo = OrEmpty(in.pszDateTo);
    m_nGenre = in.nGenre;
}

bool CSearchCondition::NeedsDiscView() const {
    return (m_nFlags & SC_DISC) && m_strDisc == "DVD" && !(m_nFlags & SC_DVD_TITLES);
}

void RunCondition(const CSearchCondition& cond, const CRDTitleDoc& doc, CConditionSink& sink,
                  const CLibraryNews* news) {
    RunCondition(cond, doc.GetRecorders(), sink, news);
}

void RunCondition(const CSearchCondition& cond, const std::vector<std::unique_ptr<CRDRecorderLibrary>>& recorders,
                  CConditionSink& sink, const CLibraryNews* news) {
    const int flags = cond.m_nFlags;
    const bool discView = cond.NeedsDiscView();
    const bool byDisc = flags & SC_DISC;
    const bool allDvds = byDisc && cond.m_strDisc == "DVD";
    const bool byGenre = flags & SC_GENRE;
    const bool byFrom = flags & SC_DATE_FROM;
    const bool byTo = flags & SC_DATE_TO;
    const bool byText = (flags & SC_TEXT) && !cond.m_strText.empty();
    const bool byNews = flags & SC_NEW_TITLES;
    // The search text is folded once for the whole walk.
    lv::text::CFoldedMatcher matcher(byText ? std::string_view(cond.m_strText) : std::string_view());

    for (const auto& rec : recorders) {
        if (flags & SC_RECORDER) {
            if (rec->GetName() != cond.m_strRecorder) continue;
            sink.OnModeLabels(*rec);
        }
        if (discView) {
            for (const CRDDiscInfo& disc : rec->Discs())
                if (disc.m_strDiscNo != "HDD") sink.OnDisc(*rec, disc);
            continue;
        }
        for (const CRDTitleInfo& title : rec->Titles()) {
            if (byDisc) {
                std::string_view disc = title.Field(TF_DISC);
                if (allDvds ? disc == "HDD" : disc != cond.m_strDisc) continue;
            }
            if (byGenre && !GenreMatches(title.m_nGenre, cond.m_nGenre)) continue;
            if (byFrom && lv::text::Compare(title.Field(TF_DATE), cond.m_strDateFrom) < 0) continue;
            if (byTo && lv::text::Compare(title.Field(TF_DATE), cond.m_strDateTo) > 0) continue;
            if (byText && !matcher.Contains(title.Field(TF_TITLE))) continue;
            if (byNews && !(news && news->IsNew(title))) continue;
            sink.OnTitle(*rec, title);
        }
    }
}
