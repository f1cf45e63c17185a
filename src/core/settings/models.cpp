#include "core/settings/models.h"

const std::array<MODEL_ENTRY, MODEL_COUNT> g_aModels = {{
    {"RD-XS40", 1, 5},  {"RD-X3", 1, 5},    {"RD-XS31", 1, 6},  {"RD-XS41", 2, 6},  {"RD-X4", 2, 6},
    {"RD-XS43", 2, 7},  {"RD-XS53", 2, 7},  {"RD-XS34", 2, 7},  {"RD-XS24", 2, 8},  {"RD-XS36", 2, 7},
    {"RD-X5", 2, 9},    {"RD-XS46", 2, 7},  {"RD-XV34", 2, 10}, {"RD-XV44", 2, 10}, {"RD-Z1", 3, 11},
    {"RD-XS37", 3, 12}, {"RD-XS57", 3, 13}, {"RD-XS38", 3, 12}, {"RD-XD71", 3, 14}, {"RD-XD91", 3, 14},
    {"RD-X6", 3, 15},
}};

namespace {
const MODEL_ENTRY* Find(std::string_view model) {
    for (const auto& m : g_aModels)
        if (model == m.pszName) return &m;
    return nullptr;
}
}  // namespace

int GetModelClass(std::string_view model) {
    const MODEL_ENTRY* m = Find(model);
    return m ? m->nClass : 0;
}

int GetModelImage(std::string_view model) {
    const MODEL_ENTRY* m = Find(model);
    return m ? m->nImage : 15;
}
