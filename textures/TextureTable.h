#pragma once
// The texture table: per texture slot (the same index as the model's texture names) its
// loaded size and preview slot.

#include "model/Capacities.h"
#include "model/Tables.h"

#include <string>

namespace zv::textures {

struct TexEntry {
    std::string Name;
    int Width = 0;
    int Height = 0;
    int Slot = -1; // preview slot of the loaded image; -1 when not loaded
};

// Size given to a texture that is not loaded.
inline constexpr int kUnloadedSize = 4;

struct TextureTable {
    model::Table<TexEntry> TexTable{model::kTextureCapacity};
    model::Table<int> TexW{model::kTextureCapacity};
    model::Table<int> TexH{model::kTextureCapacity};
    int TexLoadCount = -1; // preview slots in use; -1 none
};

// Forgets every loaded texture (slots, sizes, count).
void ReleaseAll(TextureTable& t);

} // namespace zv::textures
