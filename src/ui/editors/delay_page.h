#pragma once

#include <QLineEdit>
#include <QWidget>
#include <array>

#include "core/params/speaker_alignment.h"
#include "ui/shell/editor_page.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace ui {

class CDelayPanel;
class CXBmpSlider;
class PageBar;

// Control ids of the delay page (dialog 333); row i is output channel i.
namespace ids::delay {
inline constexpr int kSwitchFirst = 1293;        // 1293 + i  "开关" / "ON"
inline constexpr int kHfDelayFirst = 1190;       // 1190 + 2i "高频延时"
inline constexpr int kChannelDelayFirst = 1191;  // 1191 + 2i "通道延时"
inline constexpr std::array<int, 8> kSplit = {1014, 1015, 1016, 1017, 1018, 1019, 1022, 1023};
inline constexpr std::array<int, 8> kSplitText = {1008, 1009, 1010, 1011, 1012, 1013, 1020, 1021};
inline constexpr int kDelayEditFirst = 1038;  // 1038 + i
inline constexpr int kUpDownFirst = 1242;     // 1242 + i
inline constexpr std::array<int, 8> kChannelLabel = {1123, 1124, 1125, 1126,
                                                     1131, 1135, 1132, 1136};
inline constexpr int kChart = 1302;
// Speaker distances and their alignment.
inline constexpr int kDistanceFirst = 1310;  // 1310 + i, metres
inline constexpr int kMarkFirst = 1320;      // 1320 + i, out-of-range mark
inline constexpr int kAlign = 1330;
inline constexpr int kDistanceHeading = 1331;
inline constexpr int kAlignNote = 1332;
inline constexpr int kAlignSummary = 1333;  // the channels out of range
}  // namespace ids::delay

// A delay edit box: the wheel over it (or over the page while it has the
// focus) steps the delay by a tenth of a millisecond per notch, and leaving
// it without Enter says so, so the page can show the channel's delay again.
class CDelayEdit : public QLineEdit {
  Q_OBJECT

 public:
  using QLineEdit::QLineEdit;

 signals:
  void WheelStep(int steps);
  void FocusLeft();

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  int wheelRest_ = 0;  // eighths of a degree not yet a notch
};

// The up-down beside a delay edit: two arrow buttons stepping a position
// (tenths of a millisecond) within a range.
class CDelayUpDown : public QWidget {
  Q_OBJECT

 public:
  explicit CDelayUpDown(QWidget* parent = nullptr);
  void SetRange(int minimum, int maximum);
  void SetPos(int position);  // clamped
  int Pos() const { return position_; }
  int Minimum() const { return minimum_; }
  int Maximum() const { return maximum_; }
  QToolButton* Up() const { return up_; }
  QToolButton* Down() const { return down_; }
  void SetNames(const QString& up, const QString& down);

 signals:
  // A button stepped the position (already clamped and stored).
  void Stepped(int position);

 private:
  void Step(int delta);

  QToolButton* up_;
  QToolButton* down_;
  int minimum_ = 0;
  int maximum_ = 100;
  int position_ = 0;
};

// The delay page: the eight output channels' delays, one row of controls
// per channel (delay switch, delay mode, high-frequency split, delay) and
// the delay chart, where each channel's marker is dragged along the
// millisecond axis. Each row and marker edits its own channel only (the
// speaker-pair links of the output page do not reach here): the switch
// (19), the mode (17), the split (EQ records 13 and 14) and the delay (18),
// loaded from the processor's image on every reload and sent at once.
//
// The installer can also type each speaker's distance from the listening
// position; Align sets the delays that make every channel arrive with the
// farthest one, as one step of the edit history.
class CDelayDlg : public EditorPage {
  Q_OBJECT

 public:
  CDelayDlg(PageContext& context, QWidget* parent);
  ~CDelayDlg() override;

  void Reload() override;

  CDelayPanel& Chart() const { return *chart_; }
  PageBar& Bar() const { return *bar_; }

  // The chart's 0x10F9, and Enter in a delay edit: the channel's delay (to
  // a tenth of a ms, within 1.5..100 ms) into its edit, chart and up-down,
  // and to the processor.
  void DelayChosen(int channel, float ms);
  // Aligns the channels that have a distance; the plan it carried out (an
  // error, with nothing sent, when the distances do not make one).
  core::params::AlignmentPlan Align();

 protected:
  void RetextOwn() override;
  bool TakesWheel(int ctrlId) const override;

 private:
  struct Row {
    QLabel* name = nullptr;
    QCheckBox* onOff = nullptr;
    QRadioButton* hf = nullptr;
    QRadioButton* whole = nullptr;
    CXBmpSlider* split = nullptr;
    QLabel* splitText = nullptr;
    CDelayEdit* delay = nullptr;
    CDelayUpDown* upDown = nullptr;
    QLineEdit* distance = nullptr;
    QLabel* mark = nullptr;
  };
  void BuildLayout();
  void ShowDelay(int channel, float ms);
  void EnableRow(int channel);
  void SwitchClicked(int channel, bool ticked);
  void ModeChosen(int channel, int mode);
  void SplitMoved(int channel, int position);
  void SplitReleased();
  void DelayTyped(int channel);
  void DelayStepped(int channel, int tenths);
  void DistanceEdited(int channel, const QString& text);
  void ShowMarks(const core::params::AlignmentPlan& plan);
  void ClearMark(int channel);
  void NameControls();

  CDelayPanel* chart_;
  PageBar* bar_;
  std::array<Row, 8> rows_{};
  QLabel* distanceHeading_;
  QPushButton* align_;
  QLabel* alignNote_;
  QLabel* alignSummary_;
  bool splitGesture_ = false;
  bool dragGesture_ = false;
};

}  // namespace ui
