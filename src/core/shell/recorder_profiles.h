#pragma once
// Adding, changing, renaming and deleting recorders: the checks in their
// order, saving under a new name with the overwrite of another recorder, and
// the document's list of names that follows the profile files. The profile
// dialogs and the command line both go through here; nothing here shows
// anything, the caller turns each result into its message.
#include <functional>
#include <string>
#include <vector>

#include "core/settings/netnavi_setting.h"

// What the profile dialog's fields hold.
struct PROFILE_FIELDS {
    std::string strModel;
    std::string strHost;
    int nPort = 80;
    int bAuth = 0;
    std::string strUser;
    std::string strPassword;
};

enum PROFILE_STEP {
    PROFILE_DONE,
    PROFILE_REFUSED,           // a value was refused; nothing changed on disk
    PROFILE_DECLINED,          // the overwrite was not confirmed; nothing changed on disk
    PROFILE_OVERWRITE_FAILED,  // the other recorder's files could not all go; nothing renamed
    PROFILE_RENAME_FAILED,
    PROFILE_SAVE_FAILED,
    PROFILE_DELETE_FAILED,
    PROFILE_DOCUMENT_FAILED,  // the document could not be written; files and names as before
};

// The fields in the order they are checked.
enum PROFILE_FIELD { PF_NONE, PF_MODEL, PF_HOST, PF_PORT, PF_AUTH, PF_USER, PF_PASSWORD, PF_NAME };

struct PROFILE_RESULT {
    PROFILE_STEP nStep = PROFILE_DONE;
    PROFILE_FIELD nField = PF_NONE;  // the refused one
    std::string strMessage;          // the program's message for a refusal or a failed rename or save
    std::string strFileError;        // the file error of a failed file operation, when there is one

    bool Ok() const { return nStep == PROFILE_DONE; }
};

// Asked with the name before another recorder's files are overwritten.
using ConfirmOverwrite = std::function<bool(const std::string& name)>;

// The document's list of recorders that a profile saved under a new name
// joins. The entry is changed and the document written right after the
// files have moved and before the profile is written: a failure to write it
// moves the files back. A kill leaves a listed name whose profile the next
// save writes, the recorder under its old name, or a rename cut short after
// the profile moved (IsInterruptedRename), which the same rename finishes.
struct RECORDER_LIST {
    std::vector<std::string>* pNames = nullptr;
    int nIndex = -1;             // the entry of the recorder being changed (kept on it); -1 for a new one
    std::function<bool()> save;  // writes the names to the document file
};

// Names `setting` and loads it into `fields`; false, fields untouched, when
// the name is refused.
bool LoadProfileFields(CNetNaviSetting& setting, const std::string& name, PROFILE_FIELDS& fields);

// Whether the recorder `name` has a profile file or anything in the place of
// its cache folder (a plain file of that name counts too).
bool RecorderFilesExist(const std::string& appDir, const std::string& name);

// Whether `name` has a profile file and nothing in its cache folder's place
// and is not listed: what an add killed before its entry was saved left.
bool IsOrphanProfile(const std::string& appDir, const std::string& name, const std::vector<std::string>& listed);

// Whether a rename of the entry `oldName` to `newName` was killed after the
// profile had moved and before the entry followed: `oldName` is listed and has
// no profile, `newName` has one and is not listed. Saving the old name's
// setting under `newName` then moves what is left without asking; its fields
// are in the profile of `newName`.
bool IsInterruptedRename(const std::string& appDir, const std::string& oldName, const std::string& newName,
                         const std::vector<std::string>& listed);

// Gives the fields to `setting` in their order and saves it under `name`.
// A name other than the setting's own that leads to existing files needs
// `confirm`; the other recorder's files are then deleted before the rename.
// With `list`, an orphan profile of that name, or the moved profile of an
// interrupted rename, is taken over without asking, and the list follows the new name (see RECORDER_LIST). A failed
// rename moves back what it had moved; a failed save of the profile after that leaves the recorder under its new name
// with its old values.
PROFILE_RESULT SaveProfile(CNetNaviSetting& setting, const PROFILE_FIELDS& fields, const std::string& name,
                           const ConfirmOverwrite& confirm, RECORDER_LIST* list = nullptr);

// The entry of a recorder saved as `name`: appended unless already listed.
void AddRecorderName(std::vector<std::string>& names, const std::string& name);

// Entry `index` takes `newName` in its place; another entry of that name goes
// (its files went with the overwrite) and `index` follows the entry. False,
// nothing changed, when the name is the same.
bool RenameRecorderName(std::vector<std::string>& names, int& index, const std::string& newName);

// Removes the profile file and cache folder of entry `index`, then the entry.
// A refused name deletes nothing (PF_NAME with its message).
PROFILE_RESULT DeleteRecorder(const std::string& appDir, std::vector<std::string>& names, int index);
