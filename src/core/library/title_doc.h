#pragma once
// The one document: the recorder names of the document file, the libraries
// of the recorders whose profiles load, the current recorder and the shown
// description text. Views attach themselves and are told of every change.
#include <memory>
#include <string>
#include <vector>

#include "core/library/recorder_library.h"

class CRDTitleDoc;

// A view of the document (tree, list, description view in the window).
class CDocView {
public:
    virtual ~CDocView() = default;
    // Told of every change. The window sends only reloads (no sender, hint 0,
    // no object); its tree hands selections to the list by a signal instead.
    virtual void OnUpdate(CDocView* sender, long hint, void* object) = 0;
};

class CRDTitleDoc {
public:
    // The program folder (ending in a separator) decides where profiles and caches are.
    explicit CRDTitleDoc(std::string appDir);

    // Reads the document file: names, then each loadable recorder's cache.
    // False when the file cannot be read (the document is then empty).
    bool OnOpenDocument(const std::string& path);
    // Writes the names, each followed by CR LF; false on a write failure.
    // The old file is replaced only once the new one is complete.
    bool OnSaveDocument(const std::string& path);
    const std::string& GetPathName() const { return m_strPathName; }
    bool ReloadFromOwnPath() { return OnOpenDocument(m_strPathName); }

    void DeleteContents();
    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true) { m_bModified = modified; }

    std::vector<std::string>& GetRecorderNames() { return m_aRecorderNames; }
    const std::vector<std::string>& GetRecorderNames() const { return m_aRecorderNames; }
    using RECORDERS = std::vector<std::unique_ptr<CRDRecorderLibrary>>;
    RECORDERS& GetRecorders() { return *m_pRecorders; }
    const RECORDERS& GetRecorders() const { return *m_pRecorders; }
    // The recorders as they are now, kept alive by whoever holds them (the
    // title list's rows point into them) after the document has reloaded.
    std::shared_ptr<const RECORDERS> ShareRecorders() const { return m_pRecorders; }
    const CRDRecorderLibrary* FindRecorder(std::string_view name) const;
    // "name: error", a line for each recorder whose cache could not be read.
    std::string LoadErrorsText() const;

    std::string GetCurrentRecorder() const { return m_strCurrentRecorder; }
    void SetCurrentRecorder(std::string name) { m_strCurrentRecorder = std::move(name); }

    // Loads a description file: its lines each followed by CR LF, or the
    // placeholder "（未取得）" when it cannot be opened.
    bool LoadDescription(const std::string& path);
    std::string GetDescription() const { return m_strDescription; }
    void ClearDescription() { m_strDescription.clear(); }

    bool LoadDiscList(int index, const std::string& path);
    bool LoadTitleList(int index, const std::string& path);

    void AddView(CDocView* view);
    void RemoveView(CDocView* view);
    void UpdateAllViews(CDocView* sender, long hint = 0, void* object = nullptr);

    const std::string& AppDir() const { return m_strAppDir; }

private:
    struct CACHE_FILES {
        std::string strDiscPath;
        std::string strLibraryPath;
    };
    void LoadCaches(const std::vector<CACHE_FILES>& caches);

    std::string m_strAppDir;
    std::string m_strPathName;
    bool m_bModified = false;
    std::vector<std::string> m_aRecorderNames;
    std::shared_ptr<RECORDERS> m_pRecorders = std::make_shared<RECORDERS>();
    std::string m_strCurrentRecorder;
    std::string m_strDescription;
    std::vector<CDocView*> m_aViews;
};
