#include "ui/editors/compressor_page.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "core/params/eq_bank.h"
#include "core/session.h"
#include "ui/controls/ctrl_id.h"
#include "ui/controls/x_bmp_slider.h"
#include "ui/editors/band_editor.h"
#include "ui/editors/compress_panel_plus.h"
#include "ui/editors/page_bar.h"
#include "ui/editors/param_controls.h"
#include "ui/shell/command_ids.h"
#include "ui/shell/ui_language.h"

namespace cp = core::params;

namespace ui {

namespace {

using namespace ids::compressor;

// The channel's compressor block: the four values travel together, so the
// page sends them (threshold dB, ratio in tenths, attack and release ms).
// The values show in the edits beside the sliders.
constexpr SliderRow kRows[] = {
    {kThreshold, 1005, -1, nullptr, -60, 0, 1, "%.0fdB"},
    {kRatio, 1007, -1, nullptr, 10, 300, 10, "%.1f:1"},
    {kAttack, 1006, -1, nullptr, 1, 100, 1, "%.0fms"},
    {kRelease, 1002, -1, nullptr, 1, 1000, 1, "%.0fms"},
};
constexpr int kEditIds[] = {kThresholdEdit, kRatioEdit, kAttackEdit, kReleaseEdit};

// The channel's compressor switch (parameter 28): ticked (on) is 0.
constexpr CheckRow kChecks[] = {
    {kSwitch, &cp::OutputCompressorSwitch, -1, 0, 1},
};

// Where the curve starts: the whole input axis at 1:1 below the threshold.
constexpr float kCurveLowerBound = -90.0f;

}  // namespace

CCompDlg::CCompDlg(PageContext& context, QWidget* parent, int channel)
    : EditorPage(context, ids::kCompressorPage, parent), channel_(std::clamp(channel, 0, 7)) {
  setObjectName(QStringLiteral("CCompDlg"));
  controls_ = new ParamControls(*this, [this](Fanout) { return std::vector<int>{channel_}; });
  bar_ = new PageBar(context, this);
  bar_->SetRecordButtonPage(ids::kDelayPage);
  bar_->SetSelected(PageBar::kCompressor);
  curve_ = new CCompressPanelPlus(this);
  SetCtrlId(curve_, kCurve);
  curve_->SetLowerBound(kCurveLowerBound);
  curve_->SetLowerSlope(1.0f);
  BuildLayout();

  controls_->SetCustomValue([this](const SliderRow& row) -> float {
    return Session().Params().Display().compressors[channel_].Field(row.ctrlId - kThreshold);
  });
  controls_->SetCustomSend([this](const SliderRow& row, int position) {
    cp::CompressorDisplay d = Session().Params().Display().compressors[channel_];
    d.SetField(row.ctrlId - kThreshold,
               static_cast<float>(position) / static_cast<float>(row.steps));
    Session().Eq().SetChannelCompressor(channel_, d.threshold, d.ratio, d.attackMs, d.releaseMs);
  });
  controls_->SetAfterEdit([this](int) { ShowValues(); });

  RetextOwn();
  Reload();
  Retext();
}

CCompDlg::~CCompDlg() = default;

void CCompDlg::BuildLayout() {
  auto* box = new QGroupBox(this);
  auto* grid = new QGridLayout(box);
  grid->setVerticalSpacing(10);

  channelLabel_ = new QLabel(box);
  SetCtrlId(channelLabel_, kChannelLabel);
  channels_ = new QComboBox(box);
  SetCtrlId(channels_, kChannel);
  channels_->setMinimumContentsLength(6);
  channelLabel_->setBuddy(channels_);
  connect(channels_, &QComboBox::activated, this, &CCompDlg::SelectChannel);
  grid->addWidget(channelLabel_, 0, 0);
  grid->addWidget(channels_, 0, 1, 1, 2, Qt::AlignLeft);

  controls_->AddChecks(kChecks, box);
  grid->addWidget(controls_->Check(kSwitch), 1, 0, 1, 3);

  controls_->AddSliders(kRows, box);
  for (int i = 0; i < 4; ++i) {
    const SliderRow& r = kRows[i];
    edits_[i] = new QLineEdit(box);
    SetCtrlId(edits_[i], kEditIds[i]);
    edits_[i]->setAlignment(Qt::AlignCenter);
    edits_[i]->setFixedWidth(72);
    connect(edits_[i], &QLineEdit::returnPressed, this, [this, i] { EditTyped(i); });
    controls_->Label(r.labelId)->setBuddy(edits_[i]);
    grid->addWidget(controls_->Label(r.labelId), i + 2, 0);
    grid->addWidget(controls_->Slider(r.ctrlId), i + 2, 1);
    grid->addWidget(edits_[i], i + 2, 2);
  }
  grid->setRowStretch(6, 1);

  // The page bar over everything; the controls on the left, the curve
  // taking the rest of the page.
  auto* head = new QHBoxLayout;
  head->addWidget(bar_);
  head->addStretch();
  auto* left = new QVBoxLayout;
  left->addWidget(box);
  left->addStretch();
  auto* body = new QHBoxLayout;
  body->addLayout(left);
  body->addWidget(curve_, 1);
  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(8, 6, 8, 6);
  page->setSpacing(6);
  page->addLayout(head);
  page->addLayout(body, 1);
}

void CCompDlg::RetextOwn() {
  // The channel names in the language; the chosen entry stays (none is CH1).
  const int keep = std::max(channels_->currentIndex(), 0);
  channels_->clear();
  for (int c = 0; c < 8; ++c) {
    channels_->addItem(
        Language().Pick(QStringLiteral("通道%1"), QStringLiteral("CH %1")).arg(c + 1));
  }
  channels_->setCurrentIndex(keep);
  NameControls();
}

void CCompDlg::NameControls() {
  for (int i = 0; i < 4; ++i) {
    const QString name = controls_->Label(kRows[i].labelId)->text();
    controls_->Slider(kRows[i].ctrlId)->setAccessibleName(name);
    edits_[i]->setAccessibleName(name);
  }
  channels_->setAccessibleName(channelLabel_->text());
  curve_->setAccessibleName(Language().Pick("压限曲线", "Compressor curve"));
}

void CCompDlg::SelectChannel(int channel) {
  if (channel < 0 || channel > 7) return;
  channel_ = channel;
  Reload();
}

void CCompDlg::Reload() {
  channels_->setCurrentIndex(channel_);
  controls_->Reload();
  ShowValues();
  bar_->SetSelected(PageBar::kCompressor);
}

void CCompDlg::ShowValues() {
  for (int i = 0; i < 4; ++i) {
    const SliderRow& r = kRows[i];
    edits_[i]->setText(ParamControls::ValueText(r, controls_->Slider(r.ctrlId)->GetPos()));
  }
  const cp::CompressorDisplay d = Session().Params().Display().compressors[channel_];
  const bool on = Session().Params().Mirror(cp::OutputCompressorSwitch(channel_)).AsInt() == 0;
  curve_->SetThreshold(std::clamp(d.threshold, -90.0f, 6.0f));
  // A block cannot expand: the slope above the knee is at most 1.
  curve_->SetInverseRatio(d.ratio > 1.0f ? 1.0f / d.ratio : 1.0f);
  curve_->SetOn(on);
  const UiLanguage& lang = Language();
  QStringList parts;
  parts << channels_->currentText();
  for (int i = 0; i < 4; ++i) {
    parts << controls_->Label(kRows[i].labelId)->text() + QLatin1Char(' ') + edits_[i]->text();
  }
  parts << (on ? lang.Pick("压限启用", "compressor on") : lang.Pick("压限关闭", "compressor off"));
  curve_->SetSummary(parts.join(QStringLiteral(", ")));
}

void CCompDlg::EditTyped(int index) {
  // A typed value is a drag of its slider to that value (one step of the
  // history); text that is no number counts as 0, clamped into the range.
  const SliderRow& r = kRows[index];
  const int position = ParamControls::PositionOf(r, LeadingNumber(edits_[index]->text()));
  if (!controls_->Slider(r.ctrlId)->DragTo(position)) ShowValues();
}

bool CCompDlg::TakesWheel(int ctrlId) const {
  return ctrlId >= kThreshold && ctrlId <= kRelease;
}

}  // namespace ui
