#pragma once
// What the benchmarks of large lists share: recorders filled from the sample
// library in memory, and the baseline order of their rows.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/library/recorder_library.h"
#include "core/views/list_rows.h"
#include "sample/sample_library.h"

namespace lv::bench {

using Recorders = std::vector<std::unique_ptr<CRDRecorderLibrary>>;

// Each of `count` recorders holds `titlesEach` titles on 120 DVDs and the hard disk.
inline Recorders SampleRecorders(int count, int titlesEach, int firstSeed) {
    Recorders recs;
    for (int i = 0; i < count; ++i) {
        lv::sample::SampleOptions o;
        o.titles = titlesEach;
        o.discs = 120;
        o.modelClass = 2;
        o.seed = firstSeed + i;
        lv::sample::SampleLibrary sample(o);
        auto lib = std::make_unique<CRDRecorderLibrary>("RD" + std::to_string(i));
        for (const auto& t : sample.Titles()) {
            TITLEINFO info{};
            info.apszField[TF_DISC] = sample.Discs()[t.nDisc].strNo.c_str();
            info.apszField[TF_TITLE] = t.strTitle.c_str();
            info.apszField[TF_GENRE] = t.strGenre.c_str();
            info.apszField[TF_DATE] = t.strDate.c_str();
            info.apszField[TF_WEEK] = t.strWeek.c_str();
            info.apszField[TF_TIME] = t.strTime.c_str();
            info.apszField[TF_CHANNEL] = t.strChannel.c_str();
            info.apszField[TF_PAGE] = t.strPage.c_str();
            info.nGenre = t.GenreCode();
            lib->AddTitle(info);
        }
        recs.push_back(std::move(lib));
    }
    return recs;
}

// Title rows by memcmp on the raw title bytes: what a sort costs at the least.
inline bool MemcmpTitleLess(const CListRowRef& a, const CListRowRef& b) {
    const std::string_view x = a.m_pTitle->Field(TF_TITLE), y = b.m_pTitle->Field(TF_TITLE);
    const int r = std::memcmp(x.data(), y.data(), std::min(x.size(), y.size()));
    return r ? r < 0 : x.size() < y.size();
}

}  // namespace lv::bench
