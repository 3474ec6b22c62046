#pragma once

#include <QObject>

class QTimer;

namespace core {
class Session;
}

namespace ui {

class CMainFrame;
class CRV4470v13App;
class RibbonBar;

// The ribbon's master controls: the volume sliders with their labels and
// mute boxes, the noise gate and the music pitch, present in both
// categories and kept equal there. Owns the pitch poll (timer 4).
class MasterControlsHandler : public QObject {
  Q_OBJECT
 public:
  static constexpr int kPitchPollMs = 2000;

  MasterControlsHandler(CRV4470v13App& app, CMainFrame& frame);

  // A slider, mute box or label of a master control: true when `id` was one.
  bool OnCommand(int id);
  // The wheel over a master panel: one step of both copies.
  void Wheel(int master, int delta);
  // Every master control from the mirrors.
  void Refresh();
  // The mute boxes' ticks from the mirrors (the status update).
  void UpdateMuteBoxes();
  // The labels and mute boxes in the current language.
  void Retext();
  // The pitch caption of the category now shown.
  void ShowPitchCaption();

  // The pitch poll runs while a processor is connected.
  void StartPitchPoll();
  void StopPitchPoll();
  bool PitchPollActive() const;

  // Whether the active category is one of the two with master controls.
  bool InMasterCategory() const;

 private:
  RibbonBar& Ribbon();
  bool OutputActive() const;
  int ReadPos(int master);
  void SetBoth(int master, int value);
  void SetLabels(int master, int value, bool retextFormat = false);
  void SetPitchCaption(int value);
  void MasterHandler(int master);
  void ToggleMute(int master);
  void PollPitch();

  CRV4470v13App& app_;
  CMainFrame& frame_;
  core::Session& session_;
  QTimer* pitchPoll_;
};

}  // namespace ui
