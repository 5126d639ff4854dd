#pragma once
// Every user setting. The members named after configuration keys are stored in the
// configuration file; the others live for the run only.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zv::config {

// Left, top, width and height of a tool window, in pixels.
struct WindowPosition {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
};

// A file of the File menu's recent list and the command that opened or saved it: a model
// format's --format word ("scgt", "f1", "bin", "m3d" ...), "aiw", "path" or "scene".
struct RecentFile {
    std::string Command;
    std::string Path;
    bool operator==(const RecentFile&) const = default;
};

inline constexpr std::size_t kMaxRecentFiles = 10;

struct GridProperties {
    float MinX = -10;
    float MaxX = 10;
    float StepX = 1;
    float MinZ = -10;
    float MaxZ = 10;
    float StepZ = 1;
    bool SnapVertices = false;
    float SnapGridSize = 5;
};

// Colours are red + 256 * green + 65536 * blue.
constexpr std::int32_t Rgb(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}

struct Settings {
    // Folders. Empty SCGT folders become the user's home folder when the file is read.
    std::string ScgtModelPath;
    std::string ScgtArtPath;
    std::string ScgtScenePath;
    std::string ScgtTrackPath;
    std::string Mtm2ModelPath;
    std::string Mtm2ArtPath;

    std::int16_t MaxTex = 500;
    std::uint8_t ViewType = 1;
    std::int16_t View1_orient = 0;
    std::uint8_t RenderType = 2;
    bool ViewAxis = true;
    bool ViewGrid = true;
    std::int32_t FieldOfView = 30;

    std::int32_t View1_Brightness = 65536;
    std::int32_t View1_BackColor = Rgb(0, 0, 0);
    std::int32_t View1_GridColor = Rgb(64, 64, 64);
    std::int32_t View1_LineColor = Rgb(192, 192, 192);
    std::int32_t View1_CulledLineColor = Rgb(80, 80, 80);
    std::int32_t View1_SelLineColor = Rgb(255, 64, 64);
    std::int32_t View1_CurrLineColor = Rgb(255, 255, 0);
    std::int32_t View1_CurrEdgeColor = Rgb(0, 255, 255);
    std::int32_t View1_SelEdgeColor = Rgb(255, 0, 255);
    std::int32_t View1_VertColor = Rgb(0, 192, 0);
    std::int32_t View1_SelVertColor = Rgb(255, 128, 0);
    std::int32_t View1_PartnameColor = Rgb(128, 192, 255);

    std::int32_t View4_Brightness = 65536;
    std::int32_t View4_BackColor = Rgb(48, 48, 64);
    std::int32_t View4_GridColor = 128;

    WindowPosition VertexGroupWinPosition{0, 0, 240, 400};
    WindowPosition PolygonGroupWinPosition{0, 0, 240, 400};
    WindowPosition TexWinPosition{0, 0, 320, 480};
    WindowPosition WPWinPosition{0, 0, 320, 480};
    WindowPosition MainWinPosition{40, 40, 1280, 800}; // the editor window (written after the grid)
    // The tool windows that had no place of their own (written after the editor window). A
    // window at 0, 0 (the defaults) has not been placed by the user yet.
    WindowPosition MapWinPosition{0, 0, 640, 560};
    WindowPosition DummyWinPosition{0, 0, 240, 400};
    WindowPosition OptionsWinPosition{0, 0, 0, 0};
    GridProperties Grid;
    std::vector<RecentFile> RecentFiles; // newest first, at most kMaxRecentFiles

    // Run-time switches, not stored in the file.
    bool LoadTexturesOnOpen = true; // "Load Textures when Loading Models"
    bool ShowTextureErrors = true;  // "Show Error Message if a Texture can't be found."
    bool VertexMark = false;        // toolbar option "vertex_mark": picking a part marks its vertices
    bool SelectFrontOnly = false;   // picking, and the wireframe vertex marks, skip polygons facing away
    bool PolyMark = false;          // toolbar option "poly_mark": picking a vertex selects its polygons
    std::int16_t SelectMode = 0;    // what the view gestures select: 0 vertices, 1 polygons
    std::int16_t PathDrawFlag = 0;  // Toolbar2: 0 after "Edit", 1 after "Draw" (the path tools)
    bool SnapRotation = false;      // status-bar switch "button_snaprot" (the rotate tools)
};

} // namespace zv::config
