#pragma once

#include <array>

#include "ui/shell/editor_page.h"
#include "ui/shell/eq_page.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;

namespace ui {

class BandEditor;
class CXBmpSlider;
class PageBar;
class ParamControls;

// Control ids of the output channel page (dialog 385).
namespace ids::output {
inline constexpr int kTitle = 1258;
inline constexpr int kMixFirst = 1041;       // 1041..1044 direct, reverb, echo, music
inline constexpr int kMixLabelFirst = 1123;  // 1123..1126
inline constexpr int kMixValueFirst = 1127;  // 1127..1130
inline constexpr int kMuteFirst = 1045;      // CH1; CH2..CH8 are 1047..1053
inline constexpr int kPhaseFirst = 1054;     // 1054..1061
inline constexpr int kPositionFirst = 1217;  // 1217..1224
inline constexpr int kFrontLink = 1062;
inline constexpr int kSideLink = 1064;
inline constexpr int kBackLink = 1068;
inline constexpr int kDelaySwitch = 1293;
inline constexpr int kHfDelay = 1190;
inline constexpr int kChannelDelay = 1191;
inline constexpr int kSplit = 1014;
inline constexpr int kSplitText = 1008;
inline constexpr int kDelay = 1019;
inline constexpr int kDelayText = 1038;
inline constexpr int kCompressorSwitch = 1081;
inline constexpr int kThreshold = 1015;  // 1015..1018 threshold, ratio, attack, release
inline constexpr int kRatio = 1016;
inline constexpr int kAttack = 1017;
inline constexpr int kRelease = 1018;
constexpr int MuteId(int channel) {
  return channel == 0 ? kMuteFirst : 1046 + channel;
}
}  // namespace ids::output

// The output channel page: one of the eight output channels with its EQ
// and crossover, mix levels, mute, phase and position of every channel, the
// speaker-pair links, delay and compressor. One page serves all eight
// channels; the page bar switches it in place.
class CDialogOutput : public EditorPage, public EqPage {
  Q_OBJECT

 public:
  CDialogOutput(PageContext& context, QWidget* parent, int channel);
  ~CDialogOutput() override;

  int Channel() const { return channel_; }
  void SwitchChannel(int channel);

  // EditorPage
  int Sub() const override { return channel_; }
  void Reselect(int sub) override { SwitchChannel(sub); }
  void Reload() override;

  // EqPage: the status bar's bypass and reset on this channel's set.
  bool EqBypassed() const override;
  void ToggleEqBypass() override;
  void ResetShownEq() override;

  BandEditor& Bands() const { return *bands_; }
  ParamControls& Controls() const { return *controls_; }
  PageBar& Bar() const { return *bar_; }
  // The channels an edit on this page reaches now.
  std::vector<int> LinkedSet() const;

 protected:
  void RetextOwn() override;
  bool TakesWheel(int ctrlId) const override;

 private:
  void BuildLayout();
  void LoadBands();
  void LoadDelay();
  void EnableDelay();
  void LinkClicked(int ctrlId, bool ticked);
  void PositionChosen(int channel, int position);
  void DelayModeChosen(int mode);
  void SplitMoved(int position);
  void NameControls();

  int channel_;
  BandEditor* bands_;
  ParamControls* controls_;
  PageBar* bar_;
  QLabel* title_;
  std::array<QLabel*, 8> channelNames_{};
  std::array<QComboBox*, 8> positions_{};
  std::array<QCheckBox*, 3> links_{};
  QRadioButton* hfDelay_;
  QRadioButton* channelDelay_;
  CXBmpSlider* split_;
  QLabel* splitText_;
  int splitGesture_ = -1;
};

}  // namespace ui
