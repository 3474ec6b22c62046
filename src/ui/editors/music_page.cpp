#include "ui/editors/music_page.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

#include "core/params/device_image.h"
#include "core/params/eq_bank.h"
#include "core/params/eq_kinds.h"
#include "core/params/mic_channels.h"
#include "core/session.h"
#include "ui/controls/artwork.h"
#include "ui/controls/ctrl_id.h"
#include "ui/controls/fonts.h"
#include "ui/controls/gdip_button.h"
#include "ui/controls/grid/grid_list_ctrl.h"
#include "ui/controls/peak_meter_ctrl.h"
#include "ui/controls/report_ctrl.h"
#include "ui/controls/x_bmp_slider.h"
#include "ui/editors/band_editor.h"
#include "ui/editors/eq_panel.h"
#include "ui/editors/param_controls.h"
#include "ui/editors/small_eq_panel.h"
#include "ui/shell/command_ids.h"
#include "ui/shell/ui_language.h"

namespace cp = core::params;

namespace ui {

namespace {

using namespace ids::music;

template <int I>
cp::ParamName NoiseGate(int) {
  return cp::kMicNoiseGate[I];
}
template <int I>
cp::ParamName Volume(int) {
  return cp::kMicVolume[I];
}

// Noise gate (TenThousandths) and volume (percent) of the four mic inputs,
// whatever the tab.
constexpr SliderRow kMicRows[] = {
    {1052, 1153, 1152, &NoiseGate<0>, 0, 100, 1, "%.0f"},
    {1053, 1155, 1154, &NoiseGate<1>, 0, 100, 1, "%.0f"},
    {1054, 1157, 1156, &NoiseGate<2>, 0, 100, 1, "%.0f"},
    {1055, 1159, 1158, &NoiseGate<3>, 0, 100, 1, "%.0f"},
    {1056, 1161, 1160, &Volume<0>, 0, 100, 1, "%.0f"},
    {1057, 1163, 1162, &Volume<1>, 0, 100, 1, "%.0f"},
    {1058, 1165, 1164, &Volume<2>, 0, 100, 1, "%.0f"},
    {1059, 1167, 1166, &Volume<3>, 0, 100, 1, "%.0f"},
};

// Per tab: the grid's row text and the previews' curve colour.
const QColor kGridText[cp::kMicTabCount] = {QColor(0, 200, 255), QColor(0, 220, 0),
                                            QColor(255, 200, 0)};
const QColor kPreviewCurve[cp::kMicTabCount] = {QColor(0x00, 0xC8, 0xFF), QColor(0x00, 0xDC, 0x00),
                                                QColor(0x64, 0x64, 0x64)};
// The reverb and echo EQ kinds of mic channels A and B.
constexpr int kReverbKind[2] = {4, 5};
constexpr int kEchoKind[2] = {2, 3};
const QColor kPreviewTitle(240, 0, 0);
const QColor kMicName(0, 0, 238);

constexpr int kZr07Inputs = 4;
constexpr int kOtherInputs = 2;
constexpr int kListNumberWidth = 50, kListNameWidth = 130, kListValueWidth = 80;
constexpr int kEffectColumnWidth = 76;  // the slider's column beside the list
constexpr int kPreviewWidth = 164;

QLabel* Static(QWidget* parent, int id) {
  auto* l = new QLabel(parent);
  SetCtrlId(l, id);
  return l;
}

void SetTextColour(QWidget* w, const QColor& c) {
  QPalette pal = w->palette();
  pal.setColor(QPalette::WindowText, c);
  w->setPalette(pal);
}

// One band of a preview, applied as the type asks: the type, the Q and gain
// the type implies, then the band's own gain, frequency and Q.
void ApplyPreviewBand(CSmallEqPanel& panel, int band, const cp::BandSettings& s) {
  panel.SetBandType(band, s.type);
  if (s.type == 1) panel.SetBandQ(band, 1.41f);
  if (s.type == 2 || s.type == 3) {
    panel.SetBandGain(band, 0.0f);
    panel.SetBandQ(band, 0.7f);
  }
  panel.SetBandGain(band, s.gain);
  panel.SetBandFrequency(band, static_cast<float>(s.frequency));
  if (s.q != 0.0f) panel.SetBandQ(band, s.q);
}

}  // namespace

CDialogMusic::CDialogMusic(PageContext& context, QWidget* parent, int tab)
    : EditorPage(context, ids::kMusicPage, parent), tab_(std::clamp(tab, 0, cp::kMicTabCount - 1)) {
  setObjectName(QStringLiteral("CDialogMusic"));
  context.state.micTab = tab_;
  controls_ = new ParamControls(*this, [](Fanout) { return std::vector<int>{0}; });
  bands_ = new BandEditor(*this, cp::MicTabBandCount(tab_), this);
  bands_->DropCrossover();
  bands_->SetSend([this](int record, const cp::BandSettings& settings) {
    Session().Eq().SendEqBand(cp::MicTabEqKind(tab_), record, settings);
  });
  BuildLayout();

  statusTimer_ = new QTimer(this);
  connect(statusTimer_, &QTimer::timeout, this, &CDialogMusic::UpdateStatus);
  statusTimer_->start(kStatusPeriodMs);

  RetextOwn();
  Reload();
  Retext();
}

CDialogMusic::~CDialogMusic() = default;

// ---- Building

QWidget* CDialogMusic::BuildMicInputs() {
  auto* box = new QWidget(this);
  auto* grid = new QGridLayout(box);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(1);
  controls_->AddSliders(kMicRows, box);
  for (int i = 0; i < cp::kMicInputCount; ++i) {
    micNames_[i] = Static(box, kMicNameFirst + i);
    micNames_[i]->setFont(MakeFont(QStringLiteral("Arial"), 13, 700));
    SetTextColour(micNames_[i], kMicName);
    toA_[i] = new QRadioButton(box);
    SetCtrlId(toA_[i], kChannelAFirst + 2 * i);
    toB_[i] = new QRadioButton(box);
    SetCtrlId(toB_[i], kChannelBFirst + 2 * i);
    auto* routing = new QButtonGroup(box);
    routing->addButton(toA_[i]);
    routing->addButton(toB_[i]);
    connect(toA_[i], &QRadioButton::clicked, this, [this, i] { RouteChosen(i, true); });
    connect(toB_[i], &QRadioButton::clicked, this, [this, i] { RouteChosen(i, false); });
    meters_[i] = new CPeakMeterCtrl(box);
    SetCtrlId(meters_[i], kMicMeterFirst + i);
    meters_[i]->UseLevelStyle();
    meters_[i]->setFixedHeight(10);

    // One block per input, side by side: name and routing, gate, volume,
    // meter.
    const int col = i * 4;
    const SliderRow& gate = kMicRows[i];
    const SliderRow& vol = kMicRows[4 + i];
    auto* routingRow = new QHBoxLayout;
    routingRow->setSpacing(2);
    routingRow->addWidget(toA_[i]);
    routingRow->addWidget(toB_[i]);
    routingRow->addStretch();
    grid->addWidget(micNames_[i], 0, col);
    grid->addLayout(routingRow, 0, col + 1, 1, 2);
    grid->addWidget(controls_->Label(gate.labelId), 1, col);
    grid->addWidget(controls_->Slider(gate.ctrlId), 1, col + 1);
    grid->addWidget(controls_->Label(gate.valueId), 1, col + 2);
    grid->addWidget(controls_->Label(vol.labelId), 2, col);
    grid->addWidget(controls_->Slider(vol.ctrlId), 2, col + 1);
    grid->addWidget(controls_->Label(vol.valueId), 2, col + 2);
    grid->addWidget(meters_[i], 3, col + 1, 1, 2);
    for (int id : {gate.valueId, vol.valueId}) {
      controls_->Label(id)->setFixedWidth(26);
      controls_->Label(id)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int id : {gate.ctrlId, vol.ctrlId}) controls_->Slider(id)->setFixedWidth(104);
    if (i + 1 < cp::kMicInputCount) grid->setColumnMinimumWidth(col + 3, 14);
  }
  return box;
}

QWidget* CDialogMusic::BuildEffects() {
  auto* box = new QWidget(this);
  effects_ = new CReportCtrl(box);
  SetCtrlId(effects_, kEffectList);
  effects_->SetSortable(false);
  effects_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  effects_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  connect(effects_, &CReportCtrl::RowPressed, this,
          [this](int row, Qt::MouseButton) { SelectEffectRow(row); });
  effectName_ = Static(box, kEffectName);
  effectName_->setAlignment(Qt::AlignCenter);
  effectName_->setWordWrap(true);
  effectSlider_ = new CXBmpSlider(box);
  SetCtrlId(effectSlider_, kEffectSlider);
  effectSlider_->UseVerticalStyle();
  effectSlider_->SetRange(100, 0);
  connect(effectSlider_, &CXBmpSlider::SliderMoved, this,
          [this](int, int position) { EffectMoved(position); });
  connect(effectSlider_, &CXBmpSlider::SliderReleased, this, [this](int, int) {
    if (!effectGesture_) return;
    effectGesture_ = false;
    EndEdit();
  });
  effectValue_ = new QLineEdit(box);
  SetCtrlId(effectValue_, kEffectValue);
  effectValue_->setReadOnly(true);
  effectValue_->setAlignment(Qt::AlignCenter);
  effectValue_->setFixedWidth(kEffectColumnWidth - 4);
  effectName_->setBuddy(effectSlider_);

  auto* sliderColumn = new QVBoxLayout;
  sliderColumn->setSpacing(2);
  sliderColumn->addWidget(effectName_);
  sliderColumn->addWidget(effectSlider_, 0, Qt::AlignHCenter);
  sliderColumn->addWidget(effectValue_, 0, Qt::AlignHCenter);
  auto* row = new QHBoxLayout(box);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(4);
  row->addWidget(effects_, 0, Qt::AlignTop);
  row->addLayout(sliderColumn);
  sliderColumn->addStretch();
  box->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  return box;
}

void CDialogMusic::BuildLayout() {
  // Tabs and the stream format.
  auto* head = new QHBoxLayout;
  head->setSpacing(4);
  for (int t = 0; t < cp::kMicTabCount; ++t) {
    auto* b = new CGdipButton(this);
    SetCtrlId(b, kTabFirst + t);
    b->LoadStdImage(art::kPageButton);
    b->LoadAltImage(art::kPageButtonSelected);
    b->SetCaptionFont(MakeFont(QString::fromUtf8("宋体"), 12));
    b->SetTextColor(Qt::white);
    b->setFocusPolicy(Qt::TabFocus);
    b->setFixedSize(96, 28);
    connect(b, &CGdipButton::clicked, this, [this, t] { SwitchTab(t); });
    tabs_[t] = b;
    head->addWidget(b);
  }
  head->addStretch();
  streamFormat_ = Static(this, kStreamFormat);
  streamFormat_->setFont(MakeFont(QStringLiteral("Arial"), 14, 700));
  streamFormat_->setMinimumWidth(110);
  streamFormat_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  head->addWidget(streamFormat_);

  // Music levels.
  musicPeak_ = new QGroupBox(this);
  SetCtrlId(musicPeak_, kMusicPeakGroup);
  auto* peakLayout = new QVBoxLayout(musicPeak_);
  peakLayout->setContentsMargins(6, 4, 6, 4);
  for (int m = 0; m < 2; ++m) {
    meters_[4 + m] = new CPeakMeterCtrl(musicPeak_);
    SetCtrlId(meters_[4 + m], kMusicMeterFirst + m);
    meters_[4 + m]->UseLevelStyle();
    meters_[4 + m]->setFixedHeight(10);
    meters_[4 + m]->setMinimumWidth(120);
    peakLayout->addWidget(meters_[4 + m]);
  }

  // Previews and the echo type.
  reverbPreview_ = new CSmallEqPanel(this);
  SetCtrlId(reverbPreview_, kReverbPreview);
  echoPreview_ = new CSmallEqPanel(this);
  SetCtrlId(echoPreview_, kEchoPreview);
  for (CSmallEqPanel* p : {reverbPreview_, echoPreview_}) {
    p->setFixedSize(kPreviewWidth, 72);
    p->setCursor(Qt::PointingHandCursor);
    p->setFocusPolicy(Qt::TabFocus);
  }
  connect(reverbPreview_, &CSmallEqPanel::Clicked, this, [this] { PreviewClicked(true); });
  connect(echoPreview_, &CSmallEqPanel::Clicked, this, [this] { PreviewClicked(false); });
  const int textIds[4] = {kReverbTitle, kReverbHint, kEchoTitle, kEchoHint};
  for (int i = 0; i < 4; ++i) {
    previewTexts_[i] = Static(this, textIds[i]);
    previewTexts_[i]->setWordWrap(true);
    previewTexts_[i]->setMaximumWidth(kPreviewWidth);
    if (i % 2 == 0) {
      SetTextColour(previewTexts_[i], kPreviewTitle);
      previewTexts_[i]->setFont(MakeFont(QStringLiteral("Arial"), 13, 700));
    } else {
      QFont f = previewTexts_[i]->font();
      f.setPointSizeF(f.pointSizeF() * 0.85);
      previewTexts_[i]->setFont(f);
    }
  }
  reverbPreview_->setAccessibleDescription(QString());
  echoTypeLabel_ = Static(this, kEchoTypeLabel);
  mono_ = new QRadioButton(this);
  SetCtrlId(mono_, kMono);
  stereo_ = new QRadioButton(this);
  SetCtrlId(stereo_, kStereo);
  auto* echoTypes = new QButtonGroup(this);
  echoTypes->addButton(mono_, 0);
  echoTypes->addButton(stereo_, 1);
  connect(echoTypes, &QButtonGroup::idClicked, this, &CDialogMusic::EchoTypeChosen);

  auto* previews = new QGridLayout;
  previews->setHorizontalSpacing(8);
  previews->setVerticalSpacing(1);
  previews->addWidget(previewTexts_[0], 0, 0);
  previews->addWidget(previewTexts_[1], 1, 0);
  previews->addWidget(reverbPreview_, 2, 0);
  previews->addWidget(previewTexts_[2], 0, 1);
  previews->addWidget(previewTexts_[3], 1, 1);
  previews->addWidget(echoPreview_, 2, 1);
  auto* echoRow = new QHBoxLayout;
  echoRow->addWidget(echoTypeLabel_);
  echoRow->addWidget(mono_);
  echoRow->addWidget(stereo_);
  echoRow->addStretch();

  // Tabs and stream format over the mic inputs and music levels; below
  // them the band list (or band editor), the curve, which takes what is
  // left, and the effect list with its slider, the previews and the echo
  // type.
  auto* inputs = new QHBoxLayout;
  inputs->setSpacing(12);
  inputs->addWidget(BuildMicInputs(), 0, Qt::AlignTop);
  inputs->addWidget(musicPeak_, 0, Qt::AlignTop);
  inputs->addStretch();

  auto* left = new QVBoxLayout;
  left->addWidget(bands_->ListArea());
  left->addStretch();

  auto* right = new QVBoxLayout;
  right->setSpacing(4);
  right->addWidget(BuildEffects());
  right->addLayout(previews);
  right->addLayout(echoRow);
  right->addStretch();

  auto* body = new QHBoxLayout;
  body->setSpacing(8);
  body->addLayout(left);
  body->addWidget(bands_->Panel(), 1);
  body->addLayout(right);

  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(8, 4, 8, 4);
  page->setSpacing(4);
  page->addLayout(head);
  page->addLayout(inputs);
  page->addLayout(body, 1);
}

// ---- Texts

void CDialogMusic::RetextOwn() {
  const UiLanguage& lang = Language();
  const bool en = lang.English();
  bands_->Retext();
  effects_->setColumnCount(0);
  effects_->DeleteAllItems();
  effects_->InsertColumn(0, en ? QStringLiteral(" ") : QString(), kListNumberWidth,
                         Qt::AlignCenter);
  effects_->InsertColumn(1, lang.Pick("参数名", "Parameter name"), kListNameWidth,
                         Qt::AlignLeft | Qt::AlignVCenter);
  effects_->InsertColumn(2, lang.Pick("参数值", "Value"), kListValueWidth, Qt::AlignCenter);
  for (int r = 0; r < cp::kEffectRowCount; ++r) {
    effects_->InsertItem(r, QString::number(r + 1));
    const cp::EffectRowInfo info = *cp::EffectRowOf(r);
    effects_->SetItemText(r, 1, QString::fromUtf8(en ? info.nameEn : info.nameZh));
  }
  int height = effects_->horizontalHeader()->sizeHint().height() + 2 * effects_->frameWidth();
  for (int r = 0; r < cp::kEffectRowCount; ++r) height += effects_->rowHeight(r);
  effects_->setFixedSize(
      kListNumberWidth + kListNameWidth + kListValueWidth + 2 * effects_->frameWidth(), height);
  // The slider with the row name over it and the value under it stands as
  // high as the list.
  effectName_->setFixedSize(kEffectColumnWidth, 2 * effectName_->fontMetrics().height());
  effectSlider_->setFixedHeight(
      std::max(60, height - effectName_->height() - effectValue_->sizeHint().height() - 4));
  if (effectRow_ >= 0) effects_->SelectRow(effectRow_);
  NameControls();
}

void CDialogMusic::NameControls() {
  const UiLanguage& lang = Language();
  for (const SliderRow& r : kMicRows) {
    const int input = (r.ctrlId - kNoiseGateFirst) % 4;
    controls_->Slider(r.ctrlId)->setAccessibleName(micNames_[input]->text() + QLatin1Char(' ') +
                                                   controls_->Label(r.labelId)->text());
  }
  for (int i = 0; i < cp::kMicInputCount; ++i) {
    const QString mic = micNames_[i]->text();
    toA_[i]->setAccessibleName(mic + QLatin1Char(' ') + toA_[i]->text());
    toB_[i]->setAccessibleName(mic + QLatin1Char(' ') + toB_[i]->text());
    meters_[i]->setAccessibleName(mic + QLatin1Char(' ') + lang.Pick("电平", "level"));
  }
  meters_[4]->setAccessibleName(lang.Pick("音乐电平 左", "Music level L"));
  meters_[5]->setAccessibleName(lang.Pick("音乐电平 右", "Music level R"));
  effects_->setAccessibleName(lang.Pick("效果参数", "Effect parameters"));
  const QString row = effectName_->text().isEmpty() ? lang.Pick("效果参数", "Effect parameter")
                                                    : effectName_->text();
  effectSlider_->setAccessibleName(row);
  effectValue_->setAccessibleName(row + QLatin1Char(' ') + lang.Pick("数值", "value"));
  reverbPreview_->setAccessibleName(previewTexts_[0]->text());
  reverbPreview_->setAccessibleDescription(previewTexts_[1]->text());
  echoPreview_->setAccessibleName(previewTexts_[2]->text());
  echoPreview_->setAccessibleDescription(previewTexts_[3]->text());
  mono_->setAccessibleName(echoTypeLabel_->text() + QLatin1Char(' ') + mono_->text());
  stereo_->setAccessibleName(echoTypeLabel_->text() + QLatin1Char(' ') + stereo_->text());
  streamFormat_->setAccessibleName(lang.Pick("输入格式", "Input format"));
  bands_->Panel()->setAccessibleName(bands_->Panel()->Title());
  bands_->Grid()->setAccessibleName(lang.Pick("均衡列表", "Band list"));
}

// ---- Showing

void CDialogMusic::SwitchTab(int tab) {
  if (tab < 0 || tab >= cp::kMicTabCount) return;
  tab_ = tab;
  Context().state.micTab = tab;
  Reload();
}

void CDialogMusic::Reload() {
  // The grid for the tab (rebuilt when its row count changes), the mic
  // sliders, the tab itself, the chosen effect row.
  bands_->SetRowCount(cp::MicTabBandCount(tab_));
  controls_->Reload();
  ShowTab();
  ShowEffectRow();
  NameControls();
}

void CDialogMusic::ShowTab() {
  // 1, 2. Routing, and the inputs this model has.
  const bool four = Session().Records().Identity().ModelName() == "ZR07";
  for (int i = 0; i < cp::kMicInputCount; ++i) {
    const bool a = Session().Mics().RoutedToA(i);
    toA_[i]->setChecked(a);
    toB_[i]->setChecked(!a);
    const bool shown = i < (four ? kZr07Inputs : kOtherInputs);
    const SliderRow& gate = kMicRows[i];
    const SliderRow& vol = kMicRows[4 + i];
    for (QWidget* w : std::initializer_list<QWidget*>{
             micNames_[i], toA_[i], toB_[i], meters_[i], controls_->Slider(gate.ctrlId),
             controls_->Slider(vol.ctrlId), controls_->Label(gate.labelId),
             controls_->Label(gate.valueId), controls_->Label(vol.labelId),
             controls_->Label(vol.valueId)}) {
      w->setVisible(shown);
    }
  }
  // 3. Tab buttons; the effect controls only for a mic channel.
  for (int t = 0; t < cp::kMicTabCount; ++t) tabs_[t]->SetAltImage(t == tab_);
  const bool mic = tab_ != 2;
  for (QWidget* w : std::initializer_list<QWidget*>{
           effects_, effectName_, effectValue_, reverbPreview_, echoPreview_, echoTypeLabel_, mono_,
           stereo_, previewTexts_[0], previewTexts_[1], previewTexts_[2], previewTexts_[3]}) {
    w->setEnabled(mic);
  }
  effectSlider_->SetEnabled(mic);
  // 4. Mic sliders (the table reloaded them). 5..7. The bands.
  LoadBands();
  // 8. Effect list and echo type.
  LoadEffectList();
  const bool stereo = Session().Mics().EchoType(tab_) != 0;
  mono_->setChecked(!stereo);
  stereo_->setChecked(stereo);
  // 9. Previews.
  LoadPreviews();
}

void CDialogMusic::LoadBands() {
  const int bypass = Session().Params().Mirror(cp::MicTabEqBypass(tab_)).AsInt();
  bands_->SetRowTextColour(kGridText[tab_]);
  bands_->Load(cp::MicTabEqKind(tab_), Session().Params().Store(), bypass);
}

void CDialogMusic::LoadPreviews() {
  const cp::ParamModel& model = Session().Params();
  reverbPreview_->SetCurveColour(kPreviewCurve[tab_]);
  echoPreview_->SetCurveColour(kPreviewCurve[tab_]);
  if (tab_ == 2) {
    reverbPreview_->SetBypassed(0);
    echoPreview_->SetBypassed(0);
    const cp::BandSettings flat{1, 100, 0.0f, 1.0f};
    for (int j = 0; j < cp::kSmallEqBands; ++j) {
      ApplyPreviewBand(*reverbPreview_, j, flat);
      ApplyPreviewBand(*echoPreview_, j, flat);
    }
    return;
  }
  const int set = EffectSet();
  reverbPreview_->SetBypassed(
      model.Mirror(set == 0 ? cp::kReverbAEqBypass : cp::kReverbBEqBypass).AsInt());
  echoPreview_->SetBypassed(
      model.Mirror(set == 0 ? cp::kEchoAEqBypass : cp::kEchoBEqBypass).AsInt());
  const cp::EqStore store = model.Store();
  auto band = [&store](int kind, int j) {
    const auto offset = static_cast<std::size_t>(cp::EqBandOffset(kind, j));
    return cp::DecodeBandRecord(
        cp::ReadBandRecord(std::span<const std::uint8_t, cp::kBandRecordSize>(
            store.data() + offset, cp::kBandRecordSize)));
  };
  for (int j = 0; j < cp::kSmallEqBands; ++j) {
    ApplyPreviewBand(*reverbPreview_, j, band(kReverbKind[set], j));
    cp::BandSettings echo = band(kEchoKind[set], j);
    if (echo.type < 0 || echo.type > 5) echo.type = 0;
    ApplyPreviewBand(*echoPreview_, j, echo);
  }
}

int CDialogMusic::EffectSet() const {
  return cp::EffectSetOfTab(tab_);
}

void CDialogMusic::LoadEffectList() {
  const bool en = Language().English();
  for (int r = 0; r < cp::kEffectRowCount; ++r) {
    const int value = Session().Mics().EffectValue(EffectSet(), r);
    effects_->SetItemText(r, 2, QString::fromStdString(cp::EffectValueText(r, value, en)));
  }
}

void CDialogMusic::ShowEffectRow() {
  if (effectRow_ < 0) {
    effectName_->clear();
    effectValue_->clear();
    return;
  }
  const cp::EffectRowInfo info = *cp::EffectRowOf(effectRow_);
  const bool en = Language().English();
  effectName_->setText(QString::fromUtf8(en ? info.nameEn : info.nameZh));
  effectSlider_->SetRange(info.maximum, info.minimum);
  const int value = Session().Mics().EffectValue(EffectSet(), effectRow_);
  effectSlider_->SetPos(cp::ClampEffectPosition(effectRow_, value));
  effectValue_->setText(QString::fromStdString(cp::EffectValueText(effectRow_, value, en)));
}

void CDialogMusic::SelectEffectRow(int row) {
  if (row < 0 || row >= cp::kEffectRowCount) return;
  effectRow_ = row;
  if (effects_->SelectedRow() != row) effects_->SelectRow(row);
  ShowEffectRow();
  NameControls();
}

// ---- Edits

void CDialogMusic::EffectMoved(int position) {
  if (effectRow_ < 0 || tab_ == 2) return;
  if (!effectGesture_) {
    effectGesture_ = true;
    BeginEdit();
  }
  Session().Mics().SetEffect(EffectSet(), effectRow_, position);
  const QString text =
      QString::fromStdString(cp::EffectValueText(effectRow_, position, Language().English()));
  effects_->SetItemText(effectRow_, 2, text);
  effectValue_->setText(text);
}

void CDialogMusic::StepEffect(int delta) {
  if (effectRow_ < 0 || delta == 0) return;
  effectSlider_->KeyStep(delta > 0 ? 1 : -1);
}

void CDialogMusic::RouteChosen(int input, bool toChannelA) {
  EditStep step(*this);
  Session().Mics().Route(input, toChannelA);
}

void CDialogMusic::EchoTypeChosen(int type) {
  if (tab_ == 2) return;
  EditStep step(*this);
  Session().Mics().SetEchoType(tab_, type);
}

void CDialogMusic::PreviewClicked(bool reverb) {
  if (tab_ == 2 || !Context().showPage) return;
  // Effect EQ page types: 0/1 reverb A/B, 2/3 echo A/B.
  const int type = (reverb ? 0 : 2) + EffectSet();
  Context().showPage(ids::kEffectsPage, type);
}

// ---- Keys, wheel, timer

bool CDialogMusic::TakesWheel(int ctrlId) const {
  return ctrlId == kEffectSlider || (ctrlId >= 1040 && ctrlId <= 1060) ||
         (ctrlId >= BandEditor::kGainSlider && ctrlId <= BandEditor::kQSlider);
}

void CDialogMusic::keyPressEvent(QKeyEvent* event) {
  // The effect list hands its keys on: the arrows step the effect slider.
  if (QApplication::focusWidget() == effects_ && effectRow_ >= 0) {
    switch (event->key()) {
      case Qt::Key_Left:
      case Qt::Key_Down:
        StepEffect(-1);
        event->accept();
        return;
      case Qt::Key_Right:
      case Qt::Key_Up:
        StepEffect(1);
        event->accept();
        return;
      default:
        break;
    }
  }
  EditorPage::keyPressEvent(event);
}

bool CDialogMusic::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Wheel && watched->isWidgetType() &&
      QApplication::focusWidget() == effects_) {
    auto* target = static_cast<QWidget*>(watched);
    if (target == this || isAncestorOf(target)) {
      const int dy = static_cast<QWheelEvent*>(event)->angleDelta().y();
      if (effectRow_ >= 0 && dy != 0) StepEffect(dy > 0 ? 1 : -1);
      return true;
    }
  }
  return EditorPage::eventFilter(watched, event);
}

void CDialogMusic::UpdateStatus() {
  const core::link::DeviceStatus status = Session().Records().Status();
  for (int m = 0; m < 6; ++m) meters_[m]->SetValue(0, status[static_cast<std::size_t>(m)]);
  if (const auto format = cp::StreamFormatName(status[7])) {
    streamFormat_->setText(QString::fromLatin1(format->data(), static_cast<int>(format->size())));
  }
}

// ---- The status bar's EQ commands

bool CDialogMusic::EqBypassed() const {
  return Session().Mics().EqBypassed(tab_);
}

void CDialogMusic::ToggleEqBypass() {
  {
    EditStep step(*this);
    Session().Mics().ToggleEqBypass(tab_);
  }
  bands_->Panel()->SetBypassed(EqBypassed() ? 1 : 0);
  bands_->Panel()->update();
}

void CDialogMusic::ResetShownEq() {
  bands_->ClearSelection();
  {
    EditStep step(*this);
    Session().Eq().ResetEq(cp::MicTabEqKind(tab_));
  }
  LoadBands();
}

}  // namespace ui
