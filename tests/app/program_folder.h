#pragma once
// A real program folder in a temporary place: recorder profiles, their cache
// files and the document, for starting the real window over it.
#include <QStringList>
#include <memory>
#include <string>

#include "support/temp_dir.h"

class CLibrovistaApp;
class CMainFrame;
class QTreeWidgetItem;
class CRDTreeView;

namespace lv::guitest {

class ProgramFolder {
public:
    ProgramFolder();
    std::string Dir() const { return m_dir.dir(); }
    std::string File(const std::string& name) const { return m_dir.file(name); }

    // A profile (host 127.0.0.1), its cache files in code page 932 (given in
    // UTF-8) and a line in Default.lbv.
    void AddRecorder(const std::string& name, const std::string& model, const std::string& discCsv,
                     const std::string& libraryCsv, int port = 80);
    void WriteDescription(const std::string& recorder, const std::string& textFile, const std::string& utf8);

    // Two recorders: RDA (RD-X5) with a hard disk and two DVDs, RDB (RD-XS40).
    void AddSampleLibrary();

    // Starts the application over this folder; null when start-up refused.
    std::unique_ptr<CLibrovistaApp> Start(const QStringList& extraArguments = {});

private:
    lv::test::TempDir m_dir;
};

// Finds a tree node by its displayed labels from the root's children down.
QTreeWidgetItem* FindNode(CRDTreeView* tree, const QStringList& labels);
// Clicks a tree node like a user.
void ClickNode(CRDTreeView* tree, QTreeWidgetItem* item);

}  // namespace lv::guitest
