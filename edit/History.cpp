#include "edit/History.h"

#include <algorithm>
#include <cassert>
#include <optional>
#include <utility>

namespace zv::edit {
namespace {

// Counts, cursors and the other single values of the document.
struct Scalars {
    std::int32_t VertCount = -1;
    std::int32_t PolyCount = -1;
    std::int16_t TexCount = 0;
    std::int32_t CurVert = -1;
    std::int32_t CurPoly = -1;
    std::int32_t CurCorner = -1;
    std::int32_t CurEdge = -1;
    std::int16_t LoadCount = 1;
    std::string ModelFileName;
    std::string ModelDir;
    model::SelectionState Selection;
};

Scalars TakeScalars(const model::ModelStore& m) {
    return {m.VertCount, m.PolyCount, m.TexCount,      m.CurVert,  m.CurPoly,  m.CurCorner,
            m.CurEdge,   m.LoadCount, m.ModelFileName, m.ModelDir, m.Selection};
}

void PutScalars(model::ModelStore& m, const Scalars& s) {
    m.VertCount = s.VertCount;
    m.PolyCount = s.PolyCount;
    m.TexCount = s.TexCount;
    m.CurVert = s.CurVert;
    m.CurPoly = s.CurPoly;
    m.CurCorner = s.CurCorner;
    m.CurEdge = s.CurEdge;
    m.LoadCount = s.LoadCount;
    m.ModelFileName = s.ModelFileName;
    m.ModelDir = s.ModelDir;
    m.Selection = s.Selection;
}

// A column as runs of equal values: a selection is mostly long runs, so a step costs little
// even on a full model.
template <class T> struct Runs {
    std::vector<std::pair<std::int32_t, T>> Items; // (length, value)

    static Runs Encode(const T* cells, int n) {
        Runs r;
        for (int i = 0; i < n;) {
            int j = i + 1;
            while (j < n && cells[j] == cells[i]) {
                ++j;
            }
            r.Items.emplace_back(j - i, cells[i]);
            i = j;
        }
        return r;
    }
    void Decode(T* cells) const {
        for (const auto& [length, value] : Items) {
            std::fill(cells, cells + length, value);
            cells += length;
        }
    }
    std::size_t Bytes() const { return Items.size() * sizeof(Items[0]); }
};

// The selection of every slot (also the one at -1 and those above the counts). Slots past a
// table's written rows hold its initial value and are kept as one run, so a step reads only
// what was ever written.
template <class Table> Runs<typename Table::Element> TakeColumn(const Table& t, int first, int cells) {
    const int written = std::min(t.WrittenRows(), cells);
    auto runs = Runs<typename Table::Element>::Encode(t.Row(first), written);
    if (written < cells) {
        runs.Items.emplace_back(cells - written, t.Initial());
    }
    return runs;
}

// Writes only the runs that differ from the initial value, after a clear that costs what was
// written before.
template <class Table> void PutColumn(Table& t, int first, const Runs<typename Table::Element>& runs) {
    t.Fill(t.Initial());
    int at = first;
    for (const auto& [length, value] : runs.Items) {
        if (!(value == t.Initial())) {
            std::fill_n(t.RowsForWrite(at, length), length, value);
        }
        at += length;
    }
}

struct SelectionSnapshot {
    Runs<model::Bool16> Vert;
    Runs<model::Bool16> Poly;
    Runs<std::int16_t> Edge;

    static SelectionSnapshot Take(const model::ModelStore& m) {
        return {TakeColumn(m.VertSel, -1, m.VertSel.Rows() + 1), TakeColumn(m.PolySel, -1, m.PolySel.Rows() + 1),
                TakeColumn(m.PolySelEdge, 0, m.PolySelEdge.Rows())};
    }
    void Put(model::ModelStore& m) const {
        PutColumn(m.VertSel, -1, Vert);
        PutColumn(m.PolySel, -1, Poly);
        PutColumn(m.PolySelEdge, 0, Edge);
    }
    std::size_t Bytes() const { return Vert.Bytes() + Poly.Bytes() + Edge.Bytes(); }
};

// The parts: the members in use of every slot, sizes, names and tree nodes.
struct PartsSnapshot {
    std::vector<std::vector<std::int32_t>> Members;
    std::vector<std::int32_t> Sizes;
    std::vector<std::string> Names;
    std::vector<model::PartNode> Nodes;
    int SelectedPart = 0;

    static PartsSnapshot Take(const model::ModelStore& m) {
        PartsSnapshot s;
        s.Members.resize(model::kPartSlots);
        s.Sizes.resize(model::kPartSlots);
        s.Names.resize(model::kPartSlots);
        for (int g = 0; g < model::kPartSlots; ++g) {
            const int size = std::clamp(m.GroupSize[g], 0, model::kMaxPartMembers);
            s.Sizes[static_cast<std::size_t>(g)] = m.GroupSize[g];
            s.Names[static_cast<std::size_t>(g)] = m.GroupName[g];
            auto& members = s.Members[static_cast<std::size_t>(g)];
            members.assign(m.GroupPoly.Row(g), m.GroupPoly.Row(g) + size + 1);
        }
        s.Nodes = m.PartNodes;
        s.SelectedPart = m.SelectedPart;
        return s;
    }
    void Put(model::ModelStore& m) const {
        for (int g = 0; g < model::kPartSlots; ++g) {
            const auto& members = Members[static_cast<std::size_t>(g)];
            std::copy(members.begin(), members.end(), m.GroupPoly.Row(g));
            m.GroupSize[g] = Sizes[static_cast<std::size_t>(g)];
            m.GroupName[g] = Names[static_cast<std::size_t>(g)];
        }
        m.PartNodes = Nodes;
        m.SelectedPart = SelectedPart;
    }
    std::size_t Bytes() const {
        std::size_t b = Sizes.size() * sizeof(std::int32_t);
        for (const auto& members : Members) {
            b += members.size() * sizeof(std::int32_t) + sizeof(members);
        }
        for (const auto& n : Names) {
            b += n.size() + sizeof(n);
        }
        for (const auto& n : Nodes) {
            b += n.Text.size() + sizeof(n);
        }
        return b;
    }
};

struct TextureNames {
    std::vector<std::string> Names;
    static TextureNames Take(const model::ModelStore& m) {
        TextureNames t;
        for (int i = 0; i < model::kTextureCapacity; ++i) {
            t.Names.push_back(m.TexName[i]);
        }
        return t;
    }
    void Put(model::ModelStore& m) const {
        for (int i = 0; i < model::kTextureCapacity; ++i) {
            m.TexName[i] = Names[static_cast<std::size_t>(i)];
        }
    }
    std::size_t Bytes() const {
        std::size_t b = 0;
        for (const auto& n : Names) {
            b += n.size() + sizeof(n);
        }
        return b;
    }
};

enum class BlockKind { Vertices, Polygons, CornerVertices };

struct Block {
    BlockKind Kind;
    model::RowBlock Rows;
};

template <class T> void SwapWith(T& held, model::ModelStore& m) {
    T now = T::Take(m);
    held.Put(m);
    held = std::move(now);
}

} // namespace

struct Step {
    std::string Name;
    CollateKey Key;
    Change Changed;
    bool Declared = false;
    Scalars Values;
    SelectionSnapshot Selected;
    std::vector<Block> Blocks; // in the order they were captured
    std::optional<PartsSnapshot> Parts;
    std::optional<TextureNames> Textures;
    std::vector<std::pair<const void*, std::unique_ptr<DocumentPart>>> Documents;
    bool ModelCounts = false; // the model's counts or names changed without a row block

    std::size_t Bytes() const {
        std::size_t b = sizeof(Step) + Name.size() + Key.Kind.size() + Selected.Bytes() +
                        Values.ModelDir.size() + Values.ModelFileName.size();
        for (const Block& block : Blocks) {
            b += block.Rows.Size() + sizeof(Block);
        }
        b += Parts ? Parts->Bytes() : 0;
        b += Textures ? Textures->Bytes() : 0;
        for (const auto& d : Documents) {
            b += d.second->Bytes();
        }
        return b;
    }
    bool Covers(BlockKind kind, int first, int end) const {
        return std::any_of(Blocks.begin(), Blocks.end(), [&](const Block& b) {
            const bool sameKind =
                b.Kind == kind || (b.Kind == BlockKind::Polygons && kind == BlockKind::CornerVertices);
            return sameKind && b.Rows.First <= first && b.Rows.First + b.Rows.Count >= end;
        });
    }
};

namespace {

void Capture(Step& s, const model::ModelStore& m, BlockKind kind, int first, int end) {
    s.Declared = true;
    if (end <= first || s.Covers(kind, first, end)) {
        return;
    }
    switch (kind) {
    case BlockKind::Vertices:
        s.Blocks.push_back({kind, model::CaptureVertexRows(m, first, end - first)});
        break;
    case BlockKind::Polygons:
        s.Blocks.push_back({kind, model::CapturePolygonRows(m, first, end - first)});
        break;
    case BlockKind::CornerVertices:
        s.Blocks.push_back({kind, model::CaptureCornerVertices(m, first, end - first)});
        break;
    }
}

void SwapBlock(model::ModelStore& m, Block& b) {
    switch (b.Kind) {
    case BlockKind::Vertices:
        model::SwapVertexRows(m, b.Rows);
        break;
    case BlockKind::Polygons:
        model::SwapPolygonRows(m, b.Rows);
        break;
    case BlockKind::CornerVertices:
        model::SwapCornerVertices(m, b.Rows);
        break;
    }
}

} // namespace

// ---- Recorder ------------------------------------------------------------------------------

void Recorder::Vertices(int first, int end) {
    Touch(static_cast<int>(BlockKind::Vertices), first, end);
}

void Recorder::Polygons(int first, int end) {
    Touch(static_cast<int>(BlockKind::Polygons), first, end);
}

void Recorder::CornerVertices(int first, int end) {
    Touch(static_cast<int>(BlockKind::CornerVertices), first, end);
}

void Recorder::Touch(int kind, int first, int end) {
    if (history_ != nullptr) {
        Capture(*history_->open_, *history_->openStore_, static_cast<BlockKind>(kind), first, end);
    }
}

void Recorder::Parts() {
    if (history_ != nullptr) {
        Step& s = *history_->open_;
        s.Declared = true;
        if (!s.Parts) {
            s.Parts = PartsSnapshot::Take(*history_->openStore_);
        }
    }
}

void Recorder::Textures() {
    if (history_ != nullptr) {
        Step& s = *history_->open_;
        s.Declared = true;
        if (!s.Textures) {
            s.Textures = TextureNames::Take(*history_->openStore_);
        }
    }
}

void Recorder::PolygonRows(const std::vector<std::int32_t>& rows) {
    if (rows.empty()) {
        return;
    }
    const std::int32_t gap = std::max<std::int32_t>(64, (rows.back() - rows.front()) / 256);
    std::int32_t first = rows.front(), last = rows.front();
    for (const std::int32_t p : rows) {
        if (p - last > gap) {
            Polygons(first, last + 1);
            first = p;
        }
        last = p;
    }
    Polygons(first, last + 1);
}

void Recorder::Document(const void* id, const std::function<std::unique_ptr<DocumentPart>()>& take) {
    if (history_ == nullptr) {
        return;
    }
    Step& s = *history_->open_;
    s.Declared = true;
    const bool held = std::any_of(s.Documents.begin(), s.Documents.end(),
                                  [id](const auto& d) { return d.first == id; });
    if (!held) {
        s.Documents.emplace_back(id, take());
    }
}

void Recorder::Counts() {
    if (history_ != nullptr) {
        history_->open_->Declared = true;
        history_->open_->ModelCounts = true;
    }
}

// ---- History -------------------------------------------------------------------------------

History::History(std::size_t limitBytes) : limit_(limitBytes) {}

History::~History() = default;

Recorder History::Begin(model::ModelStore& m, std::string name, CollateKey key) {
    assert(!open_);
    openStore_ = &m;
    reopened_ = false;
    if (!key.Empty() && collating_ && !undo_.empty() && redo_.empty() && undo_.back()->Key == key) {
        open_ = std::move(undo_.back());
        undo_.pop_back();
        bytes_ -= open_->Bytes();
        reopened_ = true;
        for (auto& [part, clean] : clean_) {
            if (clean == static_cast<long>(undo_.size()) + 1 && Touches(*open_, part)) {
                clean = -1; // the saved state was the step now growing
            }
        }
        return Recorder(this);
    }
    open_ = std::make_unique<Step>();
    open_->Name = std::move(name);
    open_->Key = std::move(key);
    open_->Values = TakeScalars(m);
    open_->Selected = SelectionSnapshot::Take(m);
    return Recorder(this);
}

void History::End(const Change& changed) {
    assert(open_);
    std::unique_ptr<Step> s = std::move(open_);
    openStore_ = nullptr;
    if (!reopened_ && (!s->Declared || !changed.Any())) {
        collating_ = false; // nothing to undo: a refused command or a pure selection change
        return;
    }
    s->Changed |= changed;
    collating_ = !s->Key.Empty();
    if (!reopened_) {
        for (const auto& r : redo_) {
            bytes_ -= r->Bytes();
        }
        redo_.clear();
        for (auto& [part, clean] : clean_) {
            if (clean > static_cast<long>(undo_.size())) {
                clean = -1; // the saved state was undone and is now replaced
            }
        }
    }
    for (const auto& d : s->Documents) {
        clean_.try_emplace(d.first, 0);
    }
    bytes_ += s->Bytes();
    undo_.push_back(std::move(s));
    Trim();
}

void History::Swap(model::ModelStore& m, Step& s, bool forward) {
    if (forward) {
        SwapWith(s.Selected, m);
        for (Block& b : s.Blocks) {
            SwapBlock(m, b);
        }
    } else {
        for (auto b = s.Blocks.rbegin(); b != s.Blocks.rend(); ++b) {
            SwapBlock(m, *b);
        }
        SwapWith(s.Selected, m);
    }
    if (s.Parts) {
        SwapWith(*s.Parts, m);
    }
    if (s.Textures) {
        SwapWith(*s.Textures, m);
    }
    for (auto& d : s.Documents) {
        d.second->Swap();
    }
    Scalars now = TakeScalars(m);
    PutScalars(m, s.Values);
    s.Values = std::move(now);
}

// Takes the latest step of from, swaps it (forward for redo) and puts it on to.
Change History::Travel(model::ModelStore& m, std::vector<std::unique_ptr<Step>>& from,
                       std::vector<std::unique_ptr<Step>>& to, bool forward) {
    collating_ = false;
    if (from.empty() || open_) {
        return kNoChange;
    }
    std::unique_ptr<Step> s = std::move(from.back());
    from.pop_back();
    bytes_ -= s->Bytes();
    const Scalars before = TakeScalars(m);
    Swap(m, *s, forward);
    bytes_ += s->Bytes();
    Change c = s->Changed | Change::Selection;
    if (before.VertCount != m.VertCount || before.PolyCount != m.PolyCount || before.TexCount != m.TexCount) {
        c |= Change::Counts;
    }
    to.push_back(std::move(s));
    Trim();
    return c;
}

Change History::Undo(model::ModelStore& m) {
    return Travel(m, undo_, redo_, false);
}

Change History::Redo(model::ModelStore& m) {
    return Travel(m, redo_, undo_, true);
}

std::string History::UndoName() const {
    return undo_.empty() ? std::string() : undo_.back()->Name;
}

std::string History::RedoName() const {
    return redo_.empty() ? std::string() : redo_.back()->Name;
}

void History::Clear() {
    open_.reset();
    openStore_ = nullptr;
    collating_ = false;
    bytes_ = 0;
    // The model starts over; the other parts stay modified when they were.
    std::map<const void*, long> marks{{nullptr, 0}};
    for (const auto& [part, clean] : clean_) {
        if (part != nullptr && IsModified(part)) {
            marks[part] = -1;
        }
    }
    undo_.clear();
    redo_.clear();
    clean_ = std::move(marks);
}

void History::MarkClean(const void* part) {
    clean_[part] = static_cast<long>(undo_.size());
    collating_ = false;
}

bool History::Touches(const Step& s, const void* part) const {
    if (part == nullptr) {
        return !s.Blocks.empty() || s.Parts || s.Textures || s.ModelCounts;
    }
    return std::any_of(s.Documents.begin(), s.Documents.end(), [part](const auto& d) { return d.first == part; });
}

bool History::IsModified(const void* part) const {
    const auto found = clean_.find(part);
    const long clean = found == clean_.end() ? 0 : found->second;
    const long now = static_cast<long>(undo_.size());
    if (clean < 0 || clean > now + static_cast<long>(redo_.size())) {
        return true;
    }
    // The steps between the saved state and now, applied (clean < now) or undone (clean > now).
    for (long i = std::min(clean, now); i < std::max(clean, now); ++i) {
        const Step& s = i < now ? *undo_[static_cast<std::size_t>(i)]
                                : *redo_[redo_.size() - 1 - static_cast<std::size_t>(i - now)];
        if (Touches(s, part)) {
            return true;
        }
    }
    return false;
}

void History::SetLimit(std::size_t bytes) {
    limit_ = bytes;
    Trim();
}

// Drops the oldest steps beyond the limit, then the farthest undone ones; the latest step
// always stays.
void History::Trim() {
    while (bytes_ > limit_ && undo_.size() > 1) {
        bytes_ -= undo_.front()->Bytes();
        for (auto& [part, clean] : clean_) {
            if (clean > 0) {
                --clean;
            } else if (Touches(*undo_.front(), part)) {
                clean = -1; // the saved state is gone with the step
            }
        }
        undo_.erase(undo_.begin());
    }
    while (bytes_ > limit_ && !redo_.empty() && undo_.size() + redo_.size() > 1) {
        bytes_ -= redo_.front()->Bytes();
        redo_.erase(redo_.begin());
        for (auto& [part, clean] : clean_) {
            if (clean > static_cast<long>(undo_.size() + redo_.size())) {
                clean = -1;
            }
        }
    }
}

} // namespace zv::edit
