#include "ui/editors/record_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/params/eq_bank.h"
#include "core/session.h"
#include "ui/controls/artwork.h"
#include "ui/controls/ctrl_id.h"
#include "ui/controls/grid/grid_list_ctrl.h"
#include "ui/controls/x_bmp_slider.h"
#include "ui/editors/band_editor.h"
#include "ui/editors/eq_panel.h"
#include "ui/editors/page_bar.h"
#include "ui/editors/param_controls.h"
#include "ui/shell/command_ids.h"
#include "ui/shell/ui_language.h"

namespace cp = core::params;

namespace ui {

namespace {

using namespace ids::record;

// The record output has one of each parameter: the rows ignore the sub.
// clang-format off
constexpr cp::ParamName MixDirect(int)         { return cp::kRecordMixDirect; }
constexpr cp::ParamName MixReverb(int)         { return cp::kRecordMixReverb; }
constexpr cp::ParamName MixEcho(int)           { return cp::kRecordMixEcho; }
constexpr cp::ParamName MixMusic(int)          { return cp::kRecordMixMusic; }
constexpr cp::ParamName Level(int)             { return cp::kRecordLevel; }
constexpr cp::ParamName CompressorSwitch(int)  { return cp::kRecordCompressorSwitch; }
// clang-format on

// Mix levels and the record level, 0..100 %.
constexpr SliderRow kLevelRows[] = {
    {1041, 1123, 1127, &MixDirect, 0, 100, 1, "%.0f%%"},
    {1042, 1124, 1128, &MixReverb, 0, 100, 1, "%.0f%%"},
    {1043, 1125, 1129, &MixEcho, 0, 100, 1, "%.0f%%"},
    {1044, 1126, 1130, &MixMusic, 0, 100, 1, "%.0f%%"},
    {kLevel, kLevelLabel, kLevelValue, &Level, 0, 100, 1, "%.0f%%"},
};

// The compressor block: the four values travel together, so the page sends
// them (threshold dB, ratio in tenths, attack and release ms).
constexpr SliderRow kCompressorRows[] = {
    {kThreshold, 1005, 1225, nullptr, -60, 0, 1, "%.0fdB"},
    {kRatio, 1007, 1226, nullptr, 10, 300, 10, "%.1f:1"},
    {kAttack, 1006, 1227, nullptr, 1, 100, 1, "%.0fms"},
    {kRelease, 1002, 1228, nullptr, 1, 1000, 1, "%.0fms"},
};

// Ticked (on) is 0, unticked 1.
constexpr CheckRow kChecks[] = {
    {kCompressorSwitch, &CompressorSwitch, -1, 0, 1},
};

}  // namespace

CDialogRec::CDialogRec(PageContext& context, QWidget* parent)
    : EditorPage(context, ids::kRecordPage, parent) {
  setObjectName(QStringLiteral("CDialogRec"));
  controls_ = new ParamControls(*this, [](Fanout) { return std::vector<int>{0}; });
  bands_ = new BandEditor(*this, kBandCount, this);
  bands_->SetSend([this](int record, const cp::BandSettings& settings) {
    Session().Eq().SendEqBand(kEqKind, record, settings);
  });
  bar_ = new PageBar(context, this);
  bar_->SetHidden({PageBar::kCompressor});
  bar_->SetSelected(PageBar::kRecord);
  title_ = new QLabel(this);
  SetCtrlId(title_, kTitle);
  BuildLayout();

  // The compressor sliders stand in field order from the threshold's id.
  controls_->SetCustomValue([this](const SliderRow& row) -> float {
    return Session().Params().Display().compressors[cp::kRecordCompressorIndex].Field(row.ctrlId -
                                                                                      kThreshold);
  });
  controls_->SetCustomSend([this](const SliderRow& row, int position) {
    cp::CompressorDisplay d = Session().Params().Display().compressors[cp::kRecordCompressorIndex];
    d.SetField(row.ctrlId - kThreshold,
               static_cast<float>(position) / static_cast<float>(row.steps));
    Session().Eq().SetChannelCompressor(cp::kRecordCompressorIndex, d.threshold, d.ratio,
                                        d.attackMs, d.releaseMs);
  });

  RetextOwn();
  Reload();
  Retext();
}

CDialogRec::~CDialogRec() = default;

void CDialogRec::BuildLayout() {
  // Mix levels and the record level.
  auto* levels = new QGroupBox(this);
  auto* levelGrid = new QGridLayout(levels);
  controls_->AddSliders(kLevelRows, levels);
  for (int i = 0; i < 5; ++i) {
    const SliderRow& r = kLevelRows[i];
    // The record level stands apart from the mix under it.
    const int row = i < 4 ? i : 5;
    levelGrid->addWidget(controls_->Label(r.labelId), row, 0);
    levelGrid->addWidget(controls_->Slider(r.ctrlId), row, 1);
    levelGrid->addWidget(controls_->Label(r.valueId), row, 2);
    controls_->Label(r.valueId)->setMinimumWidth(44);
  }
  levelGrid->setRowMinimumHeight(4, 6);

  // Compressor.
  auto* comp = new QGroupBox(this);
  auto* compGrid = new QGridLayout(comp);
  controls_->AddSliders(kCompressorRows, comp);
  controls_->AddChecks(kChecks, comp);
  compGrid->addWidget(controls_->Check(kCompressorSwitch), 0, 0, 1, 3);
  for (int i = 0; i < 4; ++i) {
    const SliderRow& r = kCompressorRows[i];
    compGrid->addWidget(controls_->Label(r.labelId), i + 1, 0);
    compGrid->addWidget(controls_->Slider(r.ctrlId), i + 1, 1);
    compGrid->addWidget(controls_->Label(r.valueId), i + 1, 2);
    controls_->Label(r.valueId)->setMinimumWidth(48);
  }

  // The page bar over everything (ten buttons: wider than the output
  // page's eight and the title beside them); the title image over the band
  // list (or editor) on the left; the levels and the compressor over the
  // curve on the right, the curve taking what is left of the page.
  auto* head = new QHBoxLayout;
  head->addWidget(bar_);
  head->addStretch();
  auto* left = new QVBoxLayout;
  left->addWidget(title_, 0, Qt::AlignLeft);
  left->addWidget(bands_->ListArea());
  left->addStretch();
  auto* upper = new QHBoxLayout;
  upper->addWidget(levels);
  upper->addWidget(comp);
  upper->addStretch();
  auto* right = new QVBoxLayout;
  right->addLayout(upper);
  right->addWidget(bands_->Panel(), 1);
  auto* body = new QHBoxLayout;
  body->addLayout(left);
  body->addLayout(right, 1);
  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(8, 2, 8, 4);
  page->setSpacing(4);
  page->addLayout(head);
  page->addLayout(body, 1);
}

void CDialogRec::RetextOwn() {
  bands_->Retext();
  NameControls();
}

void CDialogRec::NameControls() {
  const UiLanguage& lang = Language();
  for (const SliderRow& r : kLevelRows) {
    controls_->Slider(r.ctrlId)->setAccessibleName(controls_->Label(r.labelId)->text().trimmed());
  }
  for (const SliderRow& r : kCompressorRows) {
    controls_->Slider(r.ctrlId)->setAccessibleName(controls_->Label(r.labelId)->text());
  }
  title_->setAccessibleName(lang.Pick("录音输出", "Record"));
  bands_->Panel()->setAccessibleName(bands_->Panel()->Title());
  bands_->Grid()->setAccessibleName(lang.Pick("均衡列表", "Band list"));
}

void CDialogRec::Reload() {
  // 1. Title image (the grid is rebuilt by the re-text).
  const int titleId = Language().English() ? art::kRecordTitleEn : art::kRecordTitleZh;
  title_->setPixmap(art::LoadArtwork(titleId, devicePixelRatioF()));
  // 3 and 6. Levels, the compressor and its switch, from the mirrors and
  // the record output's compressor values.
  controls_->Reload();
  // 4, 5. Selection cleared, grid shown, the bands and the bypass mark.
  LoadBands();
  bar_->SetSelected(PageBar::kRecord);
}

void CDialogRec::LoadBands() {
  const int bypass = Session().Params().Mirror(cp::kRecordEqBypass).AsInt();
  bands_->Load(kEqKind, Session().Params().Store(), bypass);
}

bool CDialogRec::TakesWheel(int ctrlId) const {
  return (ctrlId >= 1015 && ctrlId <= 1018) || ctrlId >= 1040;
}

// ---- The status bar's EQ commands

bool CDialogRec::EqBypassed() const {
  const int bypass = Session().Params().Mirror(cp::kRecordEqBypass).AsInt();
  // The status bar asks after every change: the curve's mark follows.
  CEqPanel* panel = bands_->Panel();
  if (panel->Bypassed() != bypass) {
    panel->SetBypassed(bypass);
    panel->update();
  }
  return bypass != 0;
}

void CDialogRec::ToggleEqBypass() {
  {
    EditStep step(*this);
    const int now = Session().Params().Mirror(cp::kRecordEqBypass).AsInt();
    Session().Params().SetParam(cp::kRecordEqBypass, now == 0 ? 1 : 0);
  }
  bands_->Panel()->SetBypassed(Session().Params().Mirror(cp::kRecordEqBypass).AsInt());
  bands_->Panel()->update();
}

void CDialogRec::ResetShownEq() {
  bands_->ClearSelection();
  {
    EditStep step(*this);
    Session().Eq().ResetEq(kEqKind);
  }
  LoadBands();
}

}  // namespace ui
