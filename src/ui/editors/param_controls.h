#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <span>
#include <vector>

#include "core/params/named_params.h"

class QAbstractButton;
class QLabel;

namespace ui {

class CXBmpSlider;
class EditorPage;

// Whom an edit reaches: the page's own channel (or input), or every channel
// of its linked set.
enum class Fanout : unsigned char { Own, Linked };

// The parameter a control edits, for a channel or input.
using ParamOf = core::params::ParamName (*)(int sub);

// One slider of a page's table. The value is the position divided by
// `steps` (positions per unit: 10 for tenths); it is sent as an int for int
// parameters and as a float for float ones, and shown through `format`
// (printf, one double argument). Loading truncates value x steps and clamps
// it into the range.
struct SliderRow {
  int ctrlId;
  int labelId;    // the static with the slider's name; -1 for none
  int valueId;    // the static showing the value; -1 for none
  ParamOf param;  // null: the page sends (Custom hooks)
  int minimum;
  int maximum;
  int steps = 1;
  const char* format = "%.0f";
  bool inverted = false;  // the position runs from the maximum down
  Fanout fanout = Fanout::Own;
  bool onlyWhenChanged = false;  // nothing sent while the mirror holds the value
};

// One check box of a page's table: ticked sends `tickedValue`, unticked
// `untickedValue`; it shows ticked when the mirror equals `tickedValue`,
// or, with `tickedWhenNegative`, when the mirror is below 0.
struct CheckRow {
  int ctrlId;
  ParamOf param;
  int sub = -1;  // the channel or input the box is for; -1 the page's
  int tickedValue = 0;
  int untickedValue = 1;
  bool tickedWhenNegative = false;
  Fanout fanout = Fanout::Own;
};

// A page's parameter-bound controls, made from its tables: it creates the
// widgets (with their ids), sends each change through SetParam to every
// channel the row's fan-out names, writes the value statics and reloads
// everything from the mirrors. Each slider gesture (press to release, one
// key, one wheel notch) and each click is one step of the edit history.
class ParamControls : public QObject {
  Q_OBJECT

 public:
  // The channels an edit of the page reaches.
  using Targets = std::function<std::vector<int>(Fanout)>;

  ParamControls(EditorPage& page, Targets targets);

  // Widgets for every row, children of `parent` (the page by default).
  void AddSliders(std::span<const SliderRow> rows, QWidget* parent = nullptr);
  void AddChecks(std::span<const CheckRow> rows, QWidget* parent = nullptr);

  // Rows without a parameter: the page sends, and says what to show.
  void SetCustomSend(std::function<void(const SliderRow& row, int position)> send);
  void SetCustomValue(std::function<float(const SliderRow& row)> value);
  // Called after every send of a row (enabling that follows a box).
  void SetAfterEdit(std::function<void(int ctrlId)> after);

  CXBmpSlider* Slider(int ctrlId) const;
  QLabel* Label(int ctrlId) const;  // a label or value static by its id
  QAbstractButton* Check(int ctrlId) const;

  // Every control from the mirrors of the page's channel.
  void Reload();
  void ReloadSlider(int ctrlId);
  // The value static of a slider row for a position.
  static QString ValueText(const SliderRow& row, int position);
  // The slider position that shows a value (truncated, clamped).
  static int PositionOf(const SliderRow& row, float value);

 private:
  struct Slider_ {
    const SliderRow* row;
    CXBmpSlider* slider;
    QLabel* value;
  };
  struct Check_ {
    const CheckRow* row;
    QAbstractButton* box;
  };
  void OnMoved(int ctrlId, int position);
  void OnReleased(int ctrlId);
  void OnClicked(const Check_& check, bool ticked);
  const Slider_* FindSlider(int ctrlId) const;
  int SubOf(int rowSub) const;
  float CurrentValue(const SliderRow& row) const;

  EditorPage& page_;
  Targets targets_;
  std::vector<Slider_> sliders_;
  std::vector<Check_> checks_;
  std::vector<QLabel*> labels_;
  std::function<void(const SliderRow&, int)> customSend_;
  std::function<float(const SliderRow&)> customValue_;
  std::function<void(int)> after_;
  int gestureSlider_ = -1;  // the slider whose step is open
};

}  // namespace ui
