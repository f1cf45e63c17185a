#pragma once
// The three cache clean-ups of a recorder: its library lists, the
// descriptions no title of its loaded library uses, or all its descriptions.
// The caller asks first and shows the result; nothing here shows anything.
#include <string>

class CRDTitleDoc;

enum CLEANUP_KIND {
    CLEANUP_LIBRARY,  // Library.csv and Disc.csv
    CLEANUP_UNUSED_DESCRIPTIONS,
    CLEANUP_ALL_DESCRIPTIONS,
};

struct CLEANUPRESULT {
    int nCount = 0;        // files deleted, also those before a failure
    bool bFailed = false;  // stopped at a file that could not be deleted
    std::string strError;  // names that file (code page 932)
};

// Each loads the recorder's profile from appDir for its paths; a name the
// profile refuses, or a profile that cannot be loaded, deletes nothing.
CLEANUPRESULT DeleteLibraryCache(const std::string& appDir, const std::string& recorder);
// A recorder the document holds no library for is left alone (count 0):
// without its titles no description can be told unused.
CLEANUPRESULT DeleteUnusedDescriptions(const CRDTitleDoc& doc, const std::string& appDir, const std::string& recorder);
CLEANUPRESULT DeleteAllDescriptions(const std::string& appDir, const std::string& recorder);

// The question before a clean-up: the quoted recorder name and the command's text.
std::string CleanupQuestion(CLEANUP_KIND kind, const std::string& recorder);
// "%d 個のキャッシュファイルを削除しました。" with the count.
std::string CleanupResultText(int count);
