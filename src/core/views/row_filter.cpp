#include "core/views/row_filter.h"

#include "core/text/fold.h"

namespace {

std::string_view RowName(const CListRowRef& row) {
    return row.IsDisc() ? std::string_view(row.m_pDisc->m_strLabel) : row.m_pTitle->Field(TF_TITLE);
}

}  // namespace

void CRowFilter::SetRows(const std::vector<CListRowRef>& rows) {
    std::size_t room = 0;
    for (const CListRowRef& row : rows) room += lv::text::FoldCapacity(RowName(row).size());
    m_strFolded.assign(room, '\0');
    m_aKeys.clear();
    m_aKeys.reserve(rows.size());
    std::size_t at = 0;
    for (const CListRowRef& row : rows) {
        const std::size_t length = lv::text::FoldInto(RowName(row), m_strFolded.data() + at);
        m_aKeys.push_back({static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(length)});
        at += length;
    }
    m_strFolded.resize(at);
    m_strFolded.shrink_to_fit();
    m_bHaveLast = false;
}

void CRowFilter::Reorder(const std::vector<int>& order) {
    std::vector<KEY> keys;
    keys.reserve(order.size());
    for (int old : order) keys.push_back(m_aKeys.at(static_cast<std::size_t>(old)));
    m_aKeys = std::move(keys);
    m_bHaveLast = false;
}

const std::vector<int>& CRowFilter::Match(std::string_view text) {
    const lv::text::CFoldedMatcher matcher(text);
    // Typing on mostly extends the text: a row without the last text cannot hold this one.
    const bool narrower =
        m_bHaveLast && lv::text::FindAtBoundary(matcher.Needle(), m_strLastNeedle) != std::string_view::npos;
    std::vector<int> found;
    found.reserve(narrower ? m_aLast.size() : m_aKeys.size());
    auto test = [&](int row) {
        const KEY& key = m_aKeys[static_cast<std::size_t>(row)];
        if (matcher.ContainsFolded(std::string_view(m_strFolded.data() + key.nOffset, key.nLength)))
            found.push_back(row);
    };
    if (narrower) {
        for (int row : m_aLast) test(row);
    } else {
        for (std::size_t row = 0; row < m_aKeys.size(); ++row) test(static_cast<int>(row));
    }
    m_aLast = std::move(found);
    m_strLastNeedle = matcher.Needle();
    m_bHaveLast = true;
    return m_aLast;
}
