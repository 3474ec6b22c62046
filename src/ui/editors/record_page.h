#pragma once

#include "ui/shell/editor_page.h"
#include "ui/shell/eq_page.h"

class QLabel;

namespace ui {

class BandEditor;
class PageBar;
class ParamControls;

// Control ids of the record page (dialog 522).
namespace ids::record {
inline constexpr int kTitle = 1258;
inline constexpr int kMixFirst = 1041;       // 1041..1044 direct, reverb, echo, music
inline constexpr int kMixLabelFirst = 1123;  // 1123..1126
inline constexpr int kMixValueFirst = 1127;  // 1127..1130
inline constexpr int kLevel = 1045;
inline constexpr int kLevelLabel = 1132;
inline constexpr int kLevelValue = 1131;
inline constexpr int kCompressorSwitch = 1081;
inline constexpr int kThreshold = 1015;  // 1015..1018 threshold, ratio, attack, release
inline constexpr int kRatio = 1016;
inline constexpr int kAttack = 1017;
inline constexpr int kRelease = 1018;
inline constexpr int kThresholdValue = 1225;  // 1225..1228
}  // namespace ids::record

// The record output (module 13): its five-band equaliser (EQ kind 15), the
// mix of direct sound, reverb, echo and music that feeds the recorder, its
// level and its compressor (compressor index 8). Nothing here is linked:
// every edit reaches module 13 alone.
class CDialogRec : public EditorPage, public EqPage {
  Q_OBJECT

 public:
  static constexpr int kEqKind = 15;
  static constexpr int kBandCount = 5;

  CDialogRec(PageContext& context, QWidget* parent);
  ~CDialogRec() override;

  // EditorPage
  void Reload() override;

  // EqPage: the status bar's bypass (13, 5) and reset of the record EQ.
  bool EqBypassed() const override;
  void ToggleEqBypass() override;
  void ResetShownEq() override;

  BandEditor& Bands() const { return *bands_; }
  ParamControls& Controls() const { return *controls_; }
  PageBar& Bar() const { return *bar_; }

 protected:
  void RetextOwn() override;
  bool TakesWheel(int ctrlId) const override;

 private:
  void BuildLayout();
  void LoadBands();
  void NameControls();

  BandEditor* bands_;
  ParamControls* controls_;
  PageBar* bar_;
  QLabel* title_;
};

}  // namespace ui
