#pragma once
// The recorder models the program knows, their model class and tree image,
// and the choice of a remaining time by recording-mode setting.
#include <array>
#include <string_view>

struct MODEL_ENTRY {
    const char* pszName;
    int nClass;
    int nImage;
};

constexpr int MODEL_COUNT = 21;
extern const std::array<MODEL_ENTRY, MODEL_COUNT> g_aModels;

// 1 to 3 for a name of the table (exact, case-sensitive), 0 for any other.
int GetModelClass(std::string_view model);

// Recorders of classes 0 and 1 serve no title descriptions.
constexpr bool ServesDescriptions(int modelClass) { return modelClass >= 2; }

// Tree image of a recorder node; 15 for an unknown or empty model.
int GetModelImage(std::string_view model);

// Recording-mode settings 1 to 5 are the indices 0 to 4 (m_nRecMode).
constexpr int REC_MODE_COUNT = 5;
