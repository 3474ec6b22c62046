#pragma once

#include <array>

#include "ui/shell/editor_page.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace ui {

class CCompressPanelPlus;
class PageBar;
class ParamControls;

// Control ids of the compressor page (dialog 346).
namespace ids::compressor {
inline constexpr int kChannel = 1134;
inline constexpr int kChannelLabel = 1220;
inline constexpr int kThreshold = 1014;  // 1014..1017 threshold, ratio, attack, release
inline constexpr int kRatio = 1015;
inline constexpr int kAttack = 1016;
inline constexpr int kRelease = 1017;
inline constexpr int kThresholdEdit = 1038;  // 1038..1041, in the sliders' order
inline constexpr int kRatioEdit = 1039;
inline constexpr int kAttackEdit = 1040;
inline constexpr int kReleaseEdit = 1041;
inline constexpr int kSwitch = 1045;
inline constexpr int kCurve = 1125;
}  // namespace ids::compressor

// The compressor of one output channel at a time: a drop-down of the eight
// channels, the threshold, ratio, attack and release sliders with their
// edits (a typed value moves its slider), the channel's compressor switch
// and the static curve. The page shows what the chosen channel holds and
// changes that channel alone: nothing is sent until a value changes.
class CCompDlg : public EditorPage {
  Q_OBJECT

 public:
  CCompDlg(PageContext& context, QWidget* parent, int channel = 0);
  ~CCompDlg() override;

  int Channel() const { return channel_; }
  void SelectChannel(int channel);

  // EditorPage
  int Sub() const override { return channel_; }
  void Reselect(int sub) override { SelectChannel(sub); }
  void Reload() override;

  ParamControls& Controls() const { return *controls_; }
  CCompressPanelPlus& Curve() const { return *curve_; }
  PageBar& Bar() const { return *bar_; }

 protected:
  void RetextOwn() override;
  bool TakesWheel(int ctrlId) const override;

 private:
  void BuildLayout();
  // The edits, the curve and its summary from the channel's values.
  void ShowValues();
  void EditTyped(int index);
  void NameControls();

  int channel_;
  ParamControls* controls_;
  CCompressPanelPlus* curve_;
  PageBar* bar_;
  QComboBox* channels_;
  QLabel* channelLabel_;
  std::array<QLineEdit*, 4> edits_{};
};

}  // namespace ui
