#pragma once

#include <array>

#include "ui/shell/editor_page.h"
#include "ui/shell/eq_page.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTimer;

namespace ui {

class BandEditor;
class CGdipButton;
class CPeakMeterCtrl;
class CReportCtrl;
class CSmallEqPanel;
class CXBmpSlider;
class ParamControls;

// Control ids of the mic and music page (dialog 313).
namespace ids::music {
inline constexpr int kTabFirst = 1068;            // 1068..1070: mic CH A, mic CH B, music
inline constexpr int kChannelAFirst = 1190;       // mic i: 1190 + 2i
inline constexpr int kChannelBFirst = 1191;       // mic i: 1191 + 2i
inline constexpr int kNoiseGateFirst = 1052;      // 1052..1055
inline constexpr int kVolumeFirst = 1056;         // 1056..1059
inline constexpr int kNoiseGateTextFirst = 1152;  // mic i: 1152 + 2i
inline constexpr int kNoiseGateLabelFirst = 1153;
inline constexpr int kVolumeTextFirst = 1160;  // mic i: 1160 + 2i
inline constexpr int kVolumeLabelFirst = 1161;
inline constexpr int kMicMeterFirst = 1170;    // 1170..1173
inline constexpr int kMicNameFirst = 1185;     // 1185..1188
inline constexpr int kMusicMeterFirst = 1168;  // 1168, 1169
inline constexpr int kMusicPeakGroup = 1142;
inline constexpr int kEffectList = 1141;
inline constexpr int kEffectSlider = 1000;
inline constexpr int kEffectName = 1124;
inline constexpr int kEffectValue = 1038;
inline constexpr int kReverbPreview = 1144;
inline constexpr int kEchoPreview = 1143;
inline constexpr int kReverbTitle = 1132;
inline constexpr int kEchoTitle = 1145;
inline constexpr int kReverbHint = 1146;
inline constexpr int kEchoHint = 1189;
inline constexpr int kMono = 1281;
inline constexpr int kStereo = 1215;
inline constexpr int kEchoTypeLabel = 1282;
inline constexpr int kStreamFormat = 1222;
}  // namespace ids::music

// The mic and music page: the mic inputs with their routing to the two mic
// channels, noise gates, volumes and level meters; the music level meters
// and the input stream format; the equaliser of mic channel A, mic channel
// B or the music input (the three tabs); the effect parameter list of the
// tab's mic channel with its slider; the echo type; and small previews of
// the channel's reverb and echo equalisers, which open the effect EQ page.
class CDialogMusic : public EditorPage, public EqPage {
  Q_OBJECT

 public:
  static constexpr int kStatusPeriodMs = 300;

  CDialogMusic(PageContext& context, QWidget* parent, int tab);
  ~CDialogMusic() override;

  int Tab() const { return tab_; }
  // Stores the tab application-wide and shows it.
  void SwitchTab(int tab);

  // EditorPage
  int Sub() const override { return tab_; }
  void Reselect(int sub) override { SwitchTab(sub); }
  void Reload() override;

  // EqPage: the status bar's bypass and reset on the tab's equaliser.
  bool EqBypassed() const override;
  void ToggleEqBypass() override;
  void ResetShownEq() override;

  // The 300 ms step: meters, stream format.
  void UpdateStatus();

  BandEditor& Bands() const { return *bands_; }
  ParamControls& Controls() const { return *controls_; }
  CReportCtrl* EffectList() const { return effects_; }
  CXBmpSlider* EffectSlider() const { return effectSlider_; }
  int EffectRow() const { return effectRow_; }
  // Chooses a row of the effect list as a click on it does.
  void SelectEffectRow(int row);
  // Moves the effect slider `delta` steps, as the arrow keys and the wheel
  // over the list do; nothing without a chosen row.
  void StepEffect(int delta);
  CSmallEqPanel* ReverbPreview() const { return reverbPreview_; }
  CSmallEqPanel* EchoPreview() const { return echoPreview_; }
  CPeakMeterCtrl* Meter(int index) const { return meters_[index]; }  // mics 0..3, music 4, 5
  CGdipButton* TabButton(int tab) const { return tabs_[tab]; }
  QRadioButton* EchoTypeRadio(int type) const { return type == 0 ? mono_ : stereo_; }

 protected:
  void RetextOwn() override;
  bool TakesWheel(int ctrlId) const override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildLayout();
  QWidget* BuildMicInputs();
  QWidget* BuildEffects();
  void ShowTab();
  void LoadBands();
  void LoadPreviews();
  void LoadEffectList();
  void ShowEffectRow();
  void EffectMoved(int position);
  void RouteChosen(int input, bool toChannelA);
  void EchoTypeChosen(int type);
  void PreviewClicked(bool reverb);
  void NameControls();
  int EffectSet() const;

  int tab_;
  int effectRow_ = -1;
  bool effectGesture_ = false;
  BandEditor* bands_;
  ParamControls* controls_;
  std::array<CGdipButton*, 3> tabs_{};
  std::array<QLabel*, 4> micNames_{};
  std::array<QRadioButton*, 4> toA_{};
  std::array<QRadioButton*, 4> toB_{};
  std::array<CPeakMeterCtrl*, 6> meters_{};
  QGroupBox* musicPeak_;
  QLabel* streamFormat_;
  CReportCtrl* effects_;
  CXBmpSlider* effectSlider_;
  QLabel* effectName_;
  QLineEdit* effectValue_;
  CSmallEqPanel* reverbPreview_;
  CSmallEqPanel* echoPreview_;
  std::array<QLabel*, 4> previewTexts_{};  // 1132, 1146, 1145, 1189
  QLabel* echoTypeLabel_;
  QRadioButton* mono_;
  QRadioButton* stereo_;
  QTimer* statusTimer_;
};

}  // namespace ui
