#pragma once
// The edit history: every command that changes the document is one named step. A command
// declares, before it writes, what it will touch (ranges of vertex or polygon rows, the corner
// vertex column, the parts, the texture names); the history captures just that, plus the counts,
// cursors and selection of the moment. Undo and redo are the same operation: the captured
// values and the store's values swap places, so a step always holds the "other" state.
//
// Continuous gestures (a drag, a run of nudge keys, typing in a field) collate into one step
// through a collation key. The history keeps at most a given number of bytes (the oldest steps
// go first, the latest always stays).

#include "edit/Change.h"
#include "model/Columns.h"
#include "model/ModelStore.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zv::edit {

class History;
struct Step;

// A part of the document kept outside the model store (the waypoint tables, the path, the
// dummy objects, the scene cameras): it holds a copy of that part's state and swaps it with the
// live one.
class DocumentPart {
public:
    virtual ~DocumentPart() = default;
    // Exchanges the held state with the live state (undo and redo alike).
    virtual void Swap() = 0;
    virtual std::size_t Bytes() const = 0;
};

// A document part kept as a whole copy of its live state T; bytes tells what a copy holds.
template <class T> class WholeCopy final : public DocumentPart {
public:
    WholeCopy(T& live, std::size_t (*bytes)(const T&)) : live_(live), held_(live), bytes_(bytes) {}
    void Swap() override { std::swap(live_, held_); }
    std::size_t Bytes() const override { return bytes_(held_); }

private:
    T& live_;
    T held_;
    std::size_t (*bytes_)(const T&);
};

// Steps with the same non-empty key collate while nothing else happens in between.
struct CollateKey {
    std::string Kind;     // "Move Vertices", "Nudge" ...
    std::uint64_t Id = 0; // the gesture: a drag from press to release, a field being typed in
    bool Empty() const { return Kind.empty(); }
    friend bool operator==(const CollateKey&, const CollateKey&) = default;
};

// What an operation uses to declare what it is about to change. A default recorder records
// nothing, for running an operation outside the history (benchmarks, reference checks).
class Recorder {
public:
    Recorder() = default;
    // Rows first .. end - 1 of every vertex column / every polygon column.
    void Vertices(int first, int end);
    void Polygons(int first, int end);
    // The corner vertex column of polygons first .. end - 1 (renumbering commands).
    void CornerVertices(int first, int end);
    // The parts: members, sizes, names and tree.
    void Parts();
    // The texture names (the counts are always captured).
    void Textures();
    // The command changes counts or cursors only; still a step of its own.
    void Counts();
    // Scattered polygon rows (ascending) as a few blocks: rows close together share one, so a
    // step holds a bounded number of blocks whatever the selection.
    void PolygonRows(const std::vector<std::int32_t>& rows);
    // A document part outside the model store, identified by the address of its live state;
    // take() copies it, once per step (a growing step keeps its first copy).
    void Document(const void* id, const std::function<std::unique_ptr<DocumentPart>()>& take);
    bool Active() const { return history_ != nullptr; }

private:
    friend class History;
    explicit Recorder(History* h) : history_(h) {}
    void Touch(int kind, int first, int end); // a row block of the kind of History.cpp
    History* history_ = nullptr;
};

// Declares on rec that the running command changes live, kept as a whole copy.
template <class T> void RecordWhole(Recorder& rec, T& live, std::size_t (*bytes)(const T&)) {
    rec.Document(&live, [&live, bytes] { return std::make_unique<WholeCopy<T>>(live, bytes); });
}

class History {
public:
    static constexpr std::size_t kDefaultLimit = std::size_t{256} << 20;

    explicit History(std::size_t limitBytes = kDefaultLimit);
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    // Opens a step named name on m and captures the counts, cursors and selection. With a key
    // equal to that of the latest step, and nothing undone or stopped since, the latest step is
    // reopened instead and grows. Precondition: no step is open.
    Recorder Begin(model::ModelStore& m, std::string name, CollateKey key = {});
    // Closes the open step with what the command changed. A step that declared nothing (a pure
    // selection or cursor change) or changed nothing (a refused command: the operation promises
    // it wrote nothing) is dropped and leaves the history as it was; otherwise it becomes the
    // latest step and the redo list is cleared. A reopened step always stays.
    void End(const Change& changed);
    bool IsOpen() const { return open_ != nullptr; }

    // Swaps the latest step back: the store returns to the state before it, selection and
    // cursors included. Returns what changed (nothing when there is no step).
    Change Undo(model::ModelStore& m);
    // Swaps the latest undone step forward again.
    Change Redo(model::ModelStore& m);
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    std::string UndoName() const;
    std::string RedoName() const;
    int UndoCount() const { return static_cast<int>(undo_.size()); }
    int RedoCount() const { return static_cast<int>(redo_.size()); }

    // Forgets every step (open and new models); the document counts as unchanged.
    void Clear();
    // The next step starts a new step even when its key matches (end of a gesture).
    void StopCollating() { collating_ = false; }

    // The document as it is now is the saved one; modified means undo or redo moved away from it
    // or a step was added since. Each file of the document has its own mark: the model (part
    // null) and every part declared through Recorder::Document, by its id. Steps that touched
    // only other parts do not make a part modified.
    void MarkClean(const void* part = nullptr);
    bool IsModified(const void* part = nullptr) const;

    // Bytes held by the steps; the limit drops the oldest steps beyond it (never the latest).
    std::size_t Bytes() const { return bytes_; }
    void SetLimit(std::size_t bytes);

private:
    friend class Recorder;
    void Trim();
    void Swap(model::ModelStore& m, Step& s, bool forward);
    Change Travel(model::ModelStore& m, std::vector<std::unique_ptr<Step>>& from,
                  std::vector<std::unique_ptr<Step>>& to, bool forward);

    std::vector<std::unique_ptr<Step>> undo_; // oldest first
    std::vector<std::unique_ptr<Step>> redo_; // most recently undone last
    std::unique_ptr<Step> open_;
    model::ModelStore* openStore_ = nullptr;
    bool reopened_ = false;
    bool collating_ = false;
    std::size_t bytes_ = 0;
    std::size_t limit_;
    bool Touches(const Step& s, const void* part) const;
    // Per part: steps in undo_ when it was saved; -1 when that state can no longer be reached.
    // A part without an entry was last saved at the start of the list.
    std::map<const void*, long> clean_{{nullptr, 0}};
};

} // namespace zv::edit
