#include "ui/app/master_controls_handler.h"

#include <QCheckBox>
#include <QTimer>
#include <QToolButton>
#include <span>

#include "core/link/machine_settings.h"
#include "core/session.h"
#include "ui/app/main_frame.h"
#include "ui/app/master_controls.h"
#include "ui/app/ribbon_bar.h"
#include "ui/app/ribbon_category.h"
#include "ui/app/ribbon_panel.h"
#include "ui/app/ribbon_step_slider.h"
#include "ui/app/ribbon_texts.h"
#include "ui/app/rv4470v13_app.h"

namespace ui {

namespace {

const MasterControl& Control(int master) {
  return kMasterControls[static_cast<std::size_t>(master)];
}

}  // namespace

MasterControlsHandler::MasterControlsHandler(CRV4470v13App& app, CMainFrame& frame)
    : QObject(&frame),
      app_(app),
      frame_(frame),
      session_(app.Session()),
      pitchPoll_(new QTimer(this)) {
  connect(pitchPoll_, &QTimer::timeout, this, &MasterControlsHandler::PollPitch);
}

RibbonBar& MasterControlsHandler::Ribbon() {
  return frame_.Ribbon();
}

bool MasterControlsHandler::InMasterCategory() const {
  const QString n = frame_.Ribbon().ActiveCategoryName();
  return IsInputCategory(n) || IsOutputCategory(n);
}

bool MasterControlsHandler::OutputActive() const {
  return IsOutputCategory(frame_.Ribbon().ActiveCategoryName());
}

bool MasterControlsHandler::OnCommand(int id) {
  for (int m = 0; m < kMasterCount; ++m) {
    const MasterControl& c = Control(m);
    if (id == c.sliderIn || id == c.sliderOut) {
      MasterHandler(m);
      return true;
    }
    if (c.mute && (id == c.muteIn || id == c.muteOut)) {
      ToggleMute(m);
      return true;
    }
    if (id == c.labelIn || id == c.labelOut) return true;  // labels do nothing
  }
  return false;
}

int MasterControlsHandler::ReadPos(int master) {
  const MasterControl& c = Control(master);
  auto* in = qobject_cast<CMFCRibbonStepSlider*>(Ribbon().Element(c.sliderIn));
  auto* out = qobject_cast<CMFCRibbonStepSlider*>(Ribbon().Element(c.sliderOut));
  auto* from = OutputActive() ? out : in;
  return from != nullptr ? from->Pos() : 0;
}

void MasterControlsHandler::SetBoth(int master, int value) {
  const MasterControl& c = Control(master);
  for (int id : {c.sliderIn, c.sliderOut}) {
    if (auto* s = qobject_cast<CMFCRibbonStepSlider*>(Ribbon().Element(id))) s->SetPos(value);
  }
}

void MasterControlsHandler::SetLabels(int master, int value, bool retextFormat) {
  const MasterControl& c = Control(master);
  const UiLanguage& lang = app_.Language();
  QString prefix = lang.Pick(c.prefixZh, c.prefixEn);
  if (retextFormat && master == kReverb && !lang.English()) prefix = QString::fromUtf8("混响音量:");
  const char* format = (master == kNoiseGate && lang.English()) ? "%7d" : "%3d";
  const QString text = prefix + QString::asprintf(format, value);
  for (int id : {c.labelIn, c.labelOut}) {
    if (auto* b = qobject_cast<QToolButton*>(Ribbon().Element(id))) b->setText(text);
  }
}

void MasterControlsHandler::SetPitchCaption(int value) {
  RibbonCategory* category = Ribbon().Category(Ribbon().ActiveCategory());
  if (category == nullptr || category->Panel(kPitchPanel) == nullptr) return;
  const MasterControl& c = Control(kPitch);
  category->Panel(kPitchPanel)
      ->SetName(app_.Language().Pick(c.prefixZh, c.prefixEn) + QString::asprintf("%+d", value));
}

void MasterControlsHandler::ShowPitchCaption() {
  SetPitchCaption(session_.Params().Display().musicPitch);
}

void MasterControlsHandler::MasterHandler(int master) {
  const MasterControl& c = Control(master);
  const UiLanguage& lang = app_.Language();
  auto& params = session_.Params();
  if (master == kPitch) {
    if (!InMasterCategory()) return;
    const int p = ReadPos(master);
    if (session_.IsOpen()) StartPitchPoll();
    params.SetMusicPitch(p);
    const core::params::Word word = static_cast<core::params::Word>(p + 5);
    params.SetParamBlock(c.value, std::span<const core::params::Word>(&word, 1));
    SetBoth(master, p);
    SetPitchCaption(p);
    return;
  }
  int p = ReadPos(master);
  if (master == kMic || master == kMusic) {
    const auto settings = session_.Records().DeviceSettings();
    const int maximum =
        master == kMic ? core::link::MaxMicVolume(settings) : core::link::MaxMusicVolume(settings);
    if (p > maximum) {
      p = maximum;
      app_.ShowNotice(master == kMic
                          ? lang.Pick("不能超过最大话筒音量!", "Mic vol can't over max value!")
                          : lang.Pick("不能超过最大音乐音量!", "Music vol can't over max value!"),
                      1100);
    }
  }
  SetBoth(master, p);
  params.SetParam(c.value, p);
  if (c.mute && master != kEffect && params.Mirror(*c.mute).AsInt() == 0) {
    app_.ShowNotice(lang.Pick("当前是静音状态", "vol is mute"), 1100);
  }
  SetLabels(master, p);
}

void MasterControlsHandler::ToggleMute(int master) {
  const MasterControl& c = Control(master);
  auto& params = session_.Params();
  const int v = params.Mirror(*c.mute).AsInt() == 0 ? 100 : 0;
  params.SetParam(*c.mute, v);
  UpdateMuteBoxes();
}

void MasterControlsHandler::Wheel(int master, int delta) {
  if (!InMasterCategory() || master < 0 || master >= kMasterCount) return;
  const MasterControl& c = Control(master);
  const int step = delta > 0 ? 1 : -1;
  for (int id : {c.sliderIn, c.sliderOut}) {
    if (auto* s = qobject_cast<CMFCRibbonStepSlider*>(Ribbon().Element(id))) s->StepBy(step);
  }
}

void MasterControlsHandler::Refresh() {
  const auto& params = session_.Params();
  for (int m = 0; m <= kNoiseGate; ++m) {
    const MasterControl& c = Control(m);
    const int v = params.Mirror(c.value).AsInt();
    SetBoth(m, v);
    SetLabels(m, v);
  }
  if (InMasterCategory()) {
    const int pitch = params.Display().musicPitch;
    SetBoth(kPitch, pitch);
    SetPitchCaption(pitch);
  }
  UpdateMuteBoxes();
}

void MasterControlsHandler::UpdateMuteBoxes() {
  const auto& params = session_.Params();
  for (int m = 0; m < kMasterCount; ++m) {
    const MasterControl& c = Control(m);
    if (!c.mute) continue;
    const bool muted = params.Mirror(*c.mute).AsInt() == 0;
    for (int id : {c.muteIn, c.muteOut}) {
      if (auto* box = qobject_cast<QCheckBox*>(Ribbon().Element(id))) box->setChecked(muted);
    }
  }
}

void MasterControlsHandler::Retext() {
  const auto& params = session_.Params();
  const UiLanguage& lang = app_.Language();
  for (int m = 0; m <= kNoiseGate; ++m) {
    const MasterControl& c = Control(m);
    SetLabels(m, params.Mirror(c.value).AsInt(), true);
    for (int id : {c.muteIn, c.muteOut}) {
      if (auto* box = qobject_cast<QCheckBox*>(Ribbon().Element(id)))
        box->setText(lang.Pick("静音", "Mute"));
    }
  }
}

void MasterControlsHandler::StartPitchPoll() {
  pitchPoll_->start(kPitchPollMs);
}
void MasterControlsHandler::StopPitchPoll() {
  pitchPoll_->stop();
}
bool MasterControlsHandler::PitchPollActive() const {
  return pitchPoll_->isActive();
}

void MasterControlsHandler::PollPitch() {
  if (!InMasterCategory()) return;
  const int pitch = session_.Params().Display().musicPitch;
  SetBoth(kPitch, pitch);
  SetPitchCaption(pitch);
}

}  // namespace ui
