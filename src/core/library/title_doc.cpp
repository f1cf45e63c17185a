#include "core/library/title_doc.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <exception>
#include <new>
#include <thread>

#include "core/ini/atomic_file.h"
#include "core/library/line_reader.h"
#include "core/settings/netnavi_setting.h"
#include "core/text/messages.h"
#include "core/text/system_errors.h"

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
// all have finished before anyone sees the document. A cache that exists but
// cannot be read whole, or that the memory cannot hold, leaves its recorder
// empty with the reason: a part of a library would pass for all of it.
void CRDTitleDoc::LoadCaches(const std::vector<CACHE_FILES>& caches) {
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < caches.size();) {
            std::string error;
            // Missing caches are no error.
            auto failed = [&error](bool read, const std::string& path) {
                if (read || errno == ENOENT || errno == ENOTDIR) return false;
                error = lv::text::FileErrorText(path, errno);
                return true;
            };
            try {
                // Discs first: every title looks up its disc.
                const CACHE_FILES& c = caches[i];
                if (!failed(LoadDiscList(static_cast<int>(i), c.strDiscPath), c.strDiscPath))
                    failed(LoadTitleList(static_cast<int>(i), c.strLibraryPath), c.strLibraryPath);
            } catch (const std::bad_alloc&) {
                error = lv::msg::OutOfMemory();
            } catch (const std::exception& e) {
                error = lv::msg::UnexpectedError() + " (" + e.what() + ")";
            }
            if (error.empty()) continue;
            auto& recorder = (*m_pRecorders)[i];
            auto unreadable = std::make_unique<CRDRecorderLibrary>(recorder->GetName());
            unreadable->SetModel(recorder->GetModel());
            unreadable->SetLoadError(error);
            recorder = std::move(unreadable);
        }
    };
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> workers;
    for (std::size_t n = 1; n < std::min(cores, caches.size()); ++n) workers.emplace_back(work);
    work();
    for (std::thread& t : workers) t.join();
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
        if (r->GetName() == name) return r.get();
    return nullptr;
}

std::string CRDTitleDoc::LoadErrorsText() const {
    std::string text;
    for (const auto& r : *m_pRecorders)
        if (!r->LoadError().empty()) text += (text.empty() ? "" : "\n") + r->GetName() + ": " + r->LoadError();
    return text;
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
