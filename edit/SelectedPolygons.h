#pragma once
// Commands that change some of the selected polygons row by row.

#include "edit/Change.h"
#include "edit/History.h"
#include "model/Columns.h"
#include "model/ModelStore.h"

#include <cstdint>
#include <vector>

namespace zv::edit {

// Applies apply to every selected polygon (0 .. PolyCount - 1) for which changes holds, after
// declaring those rows; so a command that would write the values already there is no step.
template <class Changes, class Apply>
Change ChangeSelectedPolygons(model::ModelStore& m, Recorder& rec, Changes changes, Apply apply) {
    std::vector<std::int32_t> rows;
    const int n = model::UsedPolygons(m);
    for (std::int32_t p = 0; p < n; ++p) {
        if (m.PolySel[p] != model::kFalse && changes(p)) {
            rows.push_back(p);
        }
    }
    if (rows.empty()) {
        return kNoChange;
    }
    rec.PolygonRows(rows);
    for (const std::int32_t p : rows) {
        apply(p);
    }
    return Change::Polygons;
}

} // namespace zv::edit
