#include "core/library/title_doc.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

#include "core/ini/atomic_file.h"
#include "core/library/line_reader.h"
#include "core/settings/netnavi_setting.h"
#include "core/text/messages.h"

CRDTitleDoc::CRDTitleDoc(std::string appDir) : m_strAppDir(std::move(appDir)) {}

bool CRDTitleDoc::OnOpenDocument(const std::string& path) {
    DeleteContents();
    lv::LineReader reader;
    if (!reader.Open(path)) return false;
    std::vector<CACHE_FILES> caches;
    std::string line;
    while (reader.Next(line)) {
        lv::TrimLineEnd(line, false);
        m_aRecorderNames.push_back(line);
        CNetNaviSetting setting(m_strAppDir);
        // A refused name stays in the list without a library.
        if (!setting.SetName(line) || !setting.Load()) continue;
        auto lib = std::make_unique<CRDRecorderLibrary>(line);
        lib->SetModel(setting.GetModel());
        m_pRecorders->push_back(std::move(lib));
        caches.push_back({setting.GetDiscPath(), setting.GetLibraryPath()});
    }
    LoadCaches(caches);
    if (reader.Failed()) return false;
    m_strPathName = path;
    m_bModified = false;
    return true;
}

// Each recorder's lists are read on a worker of its own (up to one per core);
// all have finished before anyone sees the document.
void CRDTitleDoc::LoadCaches(const std::vector<CACHE_FILES>& caches) {
    std::atomic<std::size_t> next{0};
    std::vector<std::exception_ptr> failures(caches.size());
    auto work = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < caches.size();) {
            try {
                // Discs first: every title looks up its disc. Missing caches are no error.
                LoadDiscList(static_cast<int>(i), caches[i].strDiscPath);
                LoadTitleList(static_cast<int>(i), caches[i].strLibraryPath);
            } catch (...) {
                failures[i] = std::current_exception();
            }
        }
    };
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> workers;
    for (std::size_t n = 1; n < std::min(cores, caches.size()); ++n) workers.emplace_back(work);
    work();
    for (std::thread& t : workers) t.join();
    for (const std::exception_ptr& e : failures)
        if (e) std::rethrow_exception(e);
}

bool CRDTitleDoc::OnSaveDocument(const std::string& path) {
    std::string bytes;
    for (const auto& name : m_aRecorderNames) {
        bytes += name;
        bytes += "\r\n";
    }
    if (!lv::WriteFileAtomic(path, bytes)) return false;
    m_strPathName = path;
    m_bModified = false;
    return true;
}

void CRDTitleDoc::DeleteContents() {
    m_aRecorderNames.clear();
    // Shared recorders stay with their holders; the document starts afresh.
    if (m_pRecorders.use_count() > 1)
        m_pRecorders = std::make_shared<RECORDERS>();
    else
        m_pRecorders->clear();
}

const CRDRecorderLibrary* CRDTitleDoc::FindRecorder(std::string_view name) const {
    for (const auto& r : *m_pRecorders)
        if (r->Name() == name) return r.get();
    return nullptr;
}

bool CRDTitleDoc::LoadDescription(const std::string& path) {
    m_strDescription.clear();
    lv::LineReader reader;
    if (!reader.Open(path)) {
        m_strDescription = lv::msg::NotFetched();
        return false;
    }
    std::string line;
    while (reader.Next(line)) {
        lv::TrimLineEnd(line, false);
        m_strDescription += line;
        m_strDescription += "\r\n";
    }
    return !reader.Failed();
}

bool CRDTitleDoc::LoadDiscList(int index, const std::string& path) {
    return m_pRecorders->at(static_cast<std::size_t>(index))->LoadDiscList(path);
}

bool CRDTitleDoc::LoadTitleList(int index, const std::string& path) {
    return m_pRecorders->at(static_cast<std::size_t>(index))->LoadTitleList(path);
}

void CRDTitleDoc::AddView(CDocView* view) {
    if (view && std::find(m_aViews.begin(), m_aViews.end(), view) == m_aViews.end()) m_aViews.push_back(view);
}

void CRDTitleDoc::RemoveView(CDocView* view) { std::erase(m_aViews, view); }

void CRDTitleDoc::UpdateAllViews(CDocView* sender, long hint, void* object) {
    // A copy: a view may detach itself (or another) while being told.
    const std::vector<CDocView*> views = m_aViews;
    for (CDocView* v : views) {
        if (v == sender) continue;
        if (std::find(m_aViews.begin(), m_aViews.end(), v) == m_aViews.end()) continue;
        v->OnUpdate(sender, hint, object);
    }
}
