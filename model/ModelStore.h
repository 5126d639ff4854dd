#pragma once
// The one polygon model the program edits: fixed-capacity tables allocated once, addressed by
// index. Counts say what is in use; slots at or above them hold stale data.

#include "model/Capacities.h"
#include "model/Tables.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zv::model {

struct VertRec {
    float X = 0;
    float Y = 0;
    float Z = 0;
};

struct Point3d {
    double X = 0;
    double Y = 0;
    double Z = 0;
};

// Selection state beside the flag tables: where Ctrl SPACE stopped, and the box around the
// selected vertices as ComputeSelectionBox last left it.
struct SelectionState {
    std::int32_t SelCursor = -1; // selected polygon last reached by Ctrl SPACE, -1 none
    Point3d SelBoxMin;
    Point3d SelBoxMax;
    Point3d SelCenter;
    Point3d SelSize;
};

// One node of the parts tree; node g (from 1) belongs to part g.
struct PartNode {
    std::string Text;
    bool Checked = true;
};

struct ModelStore {
    ModelStore();

    // Counters and cursors; -1 means no model or none.
    std::int32_t VertCount = -1;
    std::int32_t PolyCount = -1;
    std::int16_t TexCount = 0;
    std::int32_t CurVert = -1;
    std::int32_t CurPoly = -1;
    std::int32_t CurCorner = -1;
    std::int32_t CurEdge = -1;
    std::int16_t LoadCount = 1;
    std::string ModelPath;
    std::string ModelFileName;
    std::string ModelDir;

    // Bases remembered by BeginMerge.
    std::int32_t MergeVertBase = 0;
    std::int32_t MergePolyBase = 0;
    std::int32_t MergeTexBase = 0;

    // Vertices.
    Table<VertRec> Vert{kVertexCapacity};
    FlagTable<Bool16> VertSel{kVertexCapacity};
    FlagTable<std::uint8_t> VertFlag{kVertexCapacity};
    FlagTable<Bool16> VertUsed{kVertexCapacity};

    // Polygons.
    Table<std::int32_t> PolyVCount{kPolygonCapacity};
    CornerColumns<std::int32_t, kMaxCorners> PolyVert{kPolygonCapacity};
    CornerColumns<float, kMaxCorners> PolyTU{kPolygonCapacity};
    CornerColumns<float, kMaxCorners> PolyTV{kPolygonCapacity};
    Table<std::int32_t> PolyTex{kPolygonCapacity};
    Table<std::int32_t> PolyType{kPolygonCapacity};
    Table<std::uint8_t> PolyR{kPolygonCapacity};
    Table<std::uint8_t> PolyG{kPolygonCapacity};
    Table<std::uint8_t> PolyB{kPolygonCapacity};
    Table<std::uint8_t> PolyA{kPolygonCapacity};
    Table<float> PolyNX{kPolygonCapacity};
    Table<float> PolyNY{kPolygonCapacity};
    Table<float> PolyNZ{kPolygonCapacity};
    Table<float> PolyD{kPolygonCapacity};
    Table<VertRec> PolyCenter{kPolygonCapacity};
    FlagTable<Bool16> PolySel{kPolygonCapacity};
    FlagTable<std::uint8_t> PolyFlag{kPolygonCapacity};
    Table<std::int16_t> PolySelEdge{kPolygonCapacity, -1};
    FlagTable<Bool16> PolyMark{kPolygonCapacity};
    Table<Bool16> PolyMark2{kPolygonCapacity};

    // Normal work tables (per polygon, or per vertex for the vertex normals).
    Table<float> NrmX{kPolygonCapacity};
    Table<float> NrmY{kPolygonCapacity};
    Table<float> NrmZ{kPolygonCapacity};
    Table<std::int32_t> NrmIndex{kPolygonCapacity};
    std::int32_t NrmCount = 0;
    std::int32_t VertLinkCount = 0;

    // Texture names as stored in the model file.
    Table<std::string> TexName{kTextureCapacity};

    // Parts: members 1 .. GroupSize(g) of part g; the tree nodes in creation order.
    CornerTable<std::int32_t, kMemberSlots> GroupPoly{kPartSlots};
    Table<std::int32_t> GroupSize{kPartSlots};
    Table<std::string> GroupName{kPartSlots};
    std::vector<PartNode> PartNodes;
    int SelectedPart = 0; // selected node, 0 none

    SelectionState Selection;

    // Extents, filled by CalcExtents.
    double ExtMinX = 0, ExtMinY = 0, ExtMinZ = 0;
    double ExtMaxX = 0, ExtMaxY = 0, ExtMaxZ = 0;
    double ExtSizeX = 0, ExtSizeY = 0, ExtSizeZ = 0;

    int PartCount() const { return static_cast<int>(PartNodes.size()); }
    bool HasModel() const { return VertCount >= 0 && PolyCount >= 0; }
};

// Clears the selection of every vertex and polygon slot, the whole capacity.
void DeselectAll(ModelStore& m);

// Sets the "shown" bit of the vertex slots from .. to - 1 (from may be -1, the "none" slot).
void ShowVertices(ModelStore& m, int from, int to);

} // namespace zv::model
