#include "textures/TextureTable.h"

namespace zv::textures {

void ReleaseAll(TextureTable& t) {
    t.TexTable.Fill(TexEntry{});
    t.TexW.Fill(0);
    t.TexH.Fill(0);
    t.TexLoadCount = -1;
}

} // namespace zv::textures
