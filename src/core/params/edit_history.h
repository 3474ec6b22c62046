#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "core/params/device_image.h"
#include "core/params/param_model.h"
#include "core/params/param_table.h"
#include "core/params/sound_field.h"
#include "core/params/value_codec.h"

namespace core::params {

class EqBank;

// Where an edit was made, as the user interface describes it: the page's
// dialog id, the channel or input it showed, and the control when it knows
// it. The history only keeps it and hands it back on undo and redo.
struct EditOrigin {
  int dialog = 0;
  int sub = 0;
  int control = 0;
  friend bool operator==(const EditOrigin&, const EditOrigin&) = default;
};

// Undo and redo of the user's edits, one step per gesture (a slider drag, a
// band drag, a typed value, a linked send, a paste, a reset, a copy).
//
// The history records nothing itself while an edit runs: Begin copies the
// model's state (ParamModel::Snapshot), End copies it again and keeps only
// what differs as one step. Undo sends the earlier values the way edits
// send them, redo the later ones:
//   1. table rows, in table order: a scalar whose mirror differs through
//      SetParam with the mirror's value; a Block row whose record words
//      differ through SetParamBlock with exactly those words; the music
//      pitch (a row without a record) as its word, pitch + 5;
//   2. each band record of the store that differs, through
//      EqBank::SendEqBand with the record's values (a record that a send
//      would store differently, being out of the send's ranges, then has its
//      own 7 bytes written back with the store write);
//   3. the other store bytes: the sound-field levels (32 bytes) and layout
//      (20 bytes) by the store write; the loudness level through
//      EqBank::SetLoudnessLevel (which sends the mic channels' loudness
//      words, so step 1 leaves them out; a level outside -40..0 dB has its
//      4 bytes written back as well); the located-speaker byte by the store
//      write and its parameter frame (4, 38); the bytes after it by the
//      store write;
//   4. the display values and the sound-field geometry that differ are set
//      back directly.
// The model's edits done by the replay make no step of their own: Begin and
// End are ignored while it runs.
//
// A change of the model as a whole (ParamModel::Generation: a read-all, a
// mode load, a mode-file load) voids every step; a gesture across such a
// change makes no step.
//
// Used from the UI thread only (like every edit); the model it reads is
// guarded by its own lock, and the generation is atomic, so read-alls on
// the synchronisation thread are seen.
class EditHistory {
 public:
  static constexpr std::size_t kDefaultMaxSteps = 500;

  EditHistory(ParamModel& model, EqBank& eq, std::size_t maxSteps = kDefaultMaxSteps);
  EditHistory(const EditHistory&) = delete;
  EditHistory& operator=(const EditHistory&) = delete;

  // A gesture. Pairs nest; only the outermost pair makes a step, with the
  // outermost origin. A step without a difference is not kept; a kept step
  // drops everything that could be redone, and the oldest step goes when
  // there are more than the bound. An End without a Begin does nothing.
  void Begin(const EditOrigin& origin);
  void End();

  // Begin on construction, End on destruction.
  class Scope {
   public:
    Scope(EditHistory& history, const EditOrigin& origin) : history_(history) {
      history_.Begin(origin);
    }
    ~Scope() { history_.End(); }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

   private:
    EditHistory& history_;
  };

  // False while a gesture is open or when the model was replaced since the
  // steps were made.
  bool CanUndo() const;
  bool CanRedo() const;
  // Sends the step's earlier (Undo) or later (Redo) values and moves it to
  // the other side; the step's origin, or nothing when there was nothing to
  // do (or a gesture is open).
  std::optional<EditOrigin> Undo();
  std::optional<EditOrigin> Redo();
  // Forgets every step (an open gesture stays open).
  void Clear();

  std::size_t UndoCount() const;
  std::size_t RedoCount() const;
  std::size_t MaxSteps() const { return maxSteps_; }

 private:
  // A table row: a scalar's mirror, or a Block row's record words (the
  // music pitch: its one word).
  struct RowChange {
    std::uint16_t row;
    ParamValue before;
    ParamValue after;
    std::array<Word, kMaxRecordWords> wordsBefore;
    std::array<Word, kMaxRecordWords> wordsAfter;
  };
  struct BandChange {
    std::uint8_t kind;
    std::uint8_t band;
    std::array<std::uint8_t, kBandRecordSize> before;
    std::array<std::uint8_t, kBandRecordSize> after;
  };
  // One area of the store after the bands, written back as a whole.
  static constexpr std::size_t kMaxAreaSize = kFieldLevelsSize;
  struct StoreChange {
    std::uint16_t offset;
    std::uint8_t size;
    std::array<std::uint8_t, kMaxAreaSize> before;
    std::array<std::uint8_t, kMaxAreaSize> after;
  };
  struct DisplayChange {
    std::uint32_t fields;  // DisplayField bits that differ
    DisplayValues before;
    DisplayValues after;
  };
  struct GeometryChange {
    SoundFieldGeometry before;
    SoundFieldGeometry after;
  };
  struct Step {
    EditOrigin origin;
    std::vector<RowChange> rows;  // in table order
    std::vector<BandChange> bands;
    std::vector<StoreChange> store;
    std::optional<DisplayChange> display;
    std::optional<GeometryChange> geometry;
  };
  enum class Side { Before, After };

  static std::optional<Step> Diff(const ModelSnapshot& a, const ModelSnapshot& b);
  void Replay(const Step& step, Side side);
  void ReplayRows(const Step& step, Side side, bool skipLoudnessRows);
  void SendRow(const RowChange& change, Side side);
  void ReplayBands(const Step& step, Side side);
  void ReplayStore(const Step& step, Side side);
  void ReplayDisplay(const Step& step, Side side);
  // Drops the steps when they were made under another generation than
  // `generation`, which they then belong to.
  void DropIfStale(std::uint64_t generation);
  bool Stale() const;

  ParamModel& model_;
  EqBank& eq_;
  std::size_t maxSteps_;
  std::deque<Step> undo_;
  std::deque<Step> redo_;
  std::uint64_t generation_ = 0;  // of the steps held
  int depth_ = 0;
  bool replaying_ = false;
  EditOrigin origin_{};
  std::optional<ModelSnapshot> before_;
};

}  // namespace core::params
