#include "formats/ImportFormats.h"

#include "formats/NascarFormats.h"
#include "formats/TextFormats.h"
#include "formats/TocaFormats.h"
#include "formats/TruckImport.h"

namespace zv::formats {
namespace {

ModelFormat Entry(std::string_view name, std::string_view label, std::vector<std::string_view> extensions,
                  bool extensionDecides) {
    ModelFormat f;
    f.Name = name;
    f.Label = label;
    f.Extensions = std::move(extensions);
    f.ExtensionDecides = extensionDecides;
    return f;
}

// An entry read by the shared open through decode, with its own menu item and dialog.
ModelFormat Decoded(ModelFormat f, void (*decode)(DecodeJob&), OnFault fault, int menuIndex,
                    std::string_view dialogTitle, std::string_view filter) {
    f.Decode = decode;
    f.Fault = fault;
    f.Menu = "mnuFile1";
    f.MenuIndex = menuIndex;
    f.DialogTitle = dialogTitle;
    f.DialogFilter = filter;
    return f;
}

void AddTocaAndRally(std::vector<ModelFormat>& t) {
    ModelFormat m3d = Entry("m3d", "TOCA 2 model (M3D)", {".m3d"}, true);
    m3d.NotFoundTitle = "M3d-File not found";
    m3d.ErrorTitle = "  M3d open error";
    t.push_back(Decoded(m3d, DecodeTocaModel, OnFault::KeepComplete, 5, "Open Model M3D-Format", "M3D Format|*.m3d"));

    // A Colin McRae Rally ".c3d" is a model or a track: the extension decides neither.
    ModelFormat c3d = Entry("c3d", "Colin McRae Rally model (C3D)", {".c3d"}, false);
    c3d.NotFoundTitle = "C3d-File not found";
    c3d.ErrorTitle = "  C3d open error";
    t.push_back(Decoded(c3d, DecodeTocaModel, OnFault::KeepComplete, 3, "Open Model C3D-Format", "C3D Format|*.c3d"));

    ModelFormat c3dTrack = Entry("c3dtrack", "Colin McRae Rally track (C3D)", {".c3d"}, false);
    c3dTrack.NotFoundTitle = "C3d-File not found";
    c3dTrack.ErrorTitle = "  C3d Track open error";
    t.push_back(Decoded(c3dTrack, DecodeC3dTrack, OnFault::KeepNothing, 10, "Open Track C3D-Format",
                        "C3D Format|*.c3d"));

    ModelFormat bfp = Entry("bfp", "TOCA 2 track section (BFP, --section N)", {".bfp"}, true);
    bfp.NotFoundTitle = "Bfp-File not found";
    bfp.ErrorTitle = "  Bfp open error";
    bfp.Check = CheckBfpTrack; // the section question and a missing section leave the model
    t.push_back(Decoded(bfp, DecodeBfpTrack, OnFault::KeepNothing, 11, "Open Track BFP-Format", "BFP Format|*.bfp"));
}

void AddTextFormats(std::vector<ModelFormat>& t) {
    ModelFormat asc = Entry("asc", "3D Studio ASCII export", {".asc"}, true);
    asc.NotFoundTitle = "Asc-File not found";
    asc.ErrorTitle = "  Asc open error";
    t.push_back(Decoded(asc, DecodeAsc, OnFault::KeepNothing, 7, "Open Model Asc-Format", "3DS Ascii-Format|*.asc"));

    ModelFormat nfs = Entry("nfs", "NFS text export", {".txt"}, false); // ".txt" says nothing
    nfs.NotFoundTitle = "Txt-File not found";
    nfs.ErrorTitle = "  Txt open error";
    nfs.Sniff = SniffNfsText;
    t.push_back(Decoded(nfs, DecodeNfsText, OnFault::KeepNothing, 8, "Open Model Txt-Format", "NFS Text Format|*.txt"));
}

void AddNascarRevolution(std::vector<ModelFormat>& t) {
    // ".obj" is mostly Wavefront and ".trk" also an MTM2 truck: neither extension decides.
    ModelFormat obj = Entry("nrobj", "Nascar Revolution model", {".obj"}, false);
    obj.NotFoundTitle = "Obj-File not found";
    obj.ErrorTitle = "Nascar Rev.-Model";
    obj.Decode = DecodeNascarObj;
    obj.Menu = "mnuFile1";
    obj.MenuIndex = 6;
    obj.DialogTitle = "Open Nascar Rev.-Model";
    obj.DialogFilter = "Nascar Rev.Obj-Format|*.obj|Nascar Rev.Trk-Format|*.trk";
    t.push_back(obj);

    ModelFormat trk = obj;
    trk.Name = "nrtrk";
    trk.Label = "Nascar Revolution track";
    trk.Extensions = {".trk"};
    trk.NotFoundTitle = "Trk-File not found";
    trk.ErrorTitle = "Nascar Rev.-Track";
    trk.Decode = DecodeNascarTrk;
    trk.MenuIndex = 12;
    t.push_back(trk);
}

void AddTruck(std::vector<ModelFormat>& t) {
    ModelFormat f = Entry("mtm2truck", "Monster Truck Madness 2 truck (its BIN pieces from the MTM2 model folder)",
                          {".trk"}, false);
    f.NotFoundTitle = "Import MTM2 Truck";
    f.ErrorTitle = "Import MTM2 Truck";
    f.Textures = TextureFiles::Raw;
    f.Open = ImportTruck;
    f.Menu = "mnuFile";
    f.MenuIndex = 6;
    f.DialogTitle = "Import MTM2 Truck";
    f.DialogFilter = "MTM2 Truck (.trk)|*.trk";
    t.push_back(f);
}

} // namespace

void AddImporters(std::vector<ModelFormat>& t) {
    AddTocaAndRally(t);
    AddTextFormats(t);
    AddNascarRevolution(t);
    AddTruck(t);
}

} // namespace zv::formats
