#include "ui/editors/output_page.h"

#include <QAccessible>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/params/eq_bank.h"
#include "core/params/output_channels.h"
#include "core/session.h"
#include "core/trace.h"
#include "ui/controls/artwork.h"
#include "ui/controls/ctrl_id.h"
#include "ui/controls/grid/grid_list_ctrl.h"
#include "ui/controls/x_bmp_slider.h"
#include "ui/editors/band_editor.h"
#include "ui/editors/eq_panel.h"
#include "ui/editors/page_bar.h"
#include "ui/editors/param_controls.h"
#include "ui/shell/command_ids.h"
#include "ui/shell/prompts.h"
#include "ui/shell/ui_language.h"

namespace cp = core::params;

namespace ui {

namespace {

using namespace ids::output;

constexpr int kOutputEqKind = 7;  // EQ kind of CH1; CH c is 7 + c
constexpr int kGridRows = 10;

// Mix levels, sent to every channel of the linked set.
constexpr SliderRow kMixRows[] = {
    {1041, 1123, 1127, &cp::OutputMixDirect, 0, 100, 1, "%.0f%%", false, Fanout::Linked},
    {1042, 1124, 1128, &cp::OutputMixReverb, 0, 100, 1, "%.0f%%", false, Fanout::Linked},
    {1043, 1125, 1129, &cp::OutputMixEcho, 0, 100, 1, "%.0f%%", false, Fanout::Linked},
    {1044, 1126, 1130, &cp::OutputMixMusic, 0, 100, 1, "%.0f%%", false, Fanout::Linked},
};

// The compressor: the four values travel together in one block, so the
// page sends them (threshold dB, ratio in tenths, attack and release ms).
constexpr SliderRow kCompressorRows[] = {
    {kThreshold, 1005, 1225, nullptr, -60, 0, 1, "%.0fdB", false, Fanout::Linked},
    {kRatio, 1007, 1226, nullptr, 10, 300, 10, "%.1f:1", false, Fanout::Linked},
    {kAttack, 1006, 1227, nullptr, 1, 100, 1, "%.0fms", false, Fanout::Linked},
    {kRelease, 1002, 1228, nullptr, 1, 1000, 1, "%.0fms", false, Fanout::Linked},
};

// The delay of the page's channel in tenths of a ms, 1.4..100 ms; sent only
// when it differs from what the channel holds.
constexpr SliderRow kDelayRows[] = {
    {kDelay, -1, kDelayText, &cp::OutputDelay, 14, 1000, 10, "%.1fms", false, Fanout::Own, true},
};

// Mute and phase of every channel, whatever channel the page shows; the
// two switches of the page's channel (the compressor's for its set).
constexpr CheckRow kChecks[] = {
    {MuteId(0), &cp::OutputOn, 0, 0, 100},
    {MuteId(1), &cp::OutputOn, 1, 0, 100},
    {MuteId(2), &cp::OutputOn, 2, 0, 100},
    {MuteId(3), &cp::OutputOn, 3, 0, 100},
    {MuteId(4), &cp::OutputOn, 4, 0, 100},
    {MuteId(5), &cp::OutputOn, 5, 0, 100},
    {MuteId(6), &cp::OutputOn, 6, 0, 100},
    {MuteId(7), &cp::OutputOn, 7, 0, 100},
    {kPhaseFirst + 0, &cp::OutputPhase, 0, -100, 100, true},
    {kPhaseFirst + 1, &cp::OutputPhase, 1, -100, 100, true},
    {kPhaseFirst + 2, &cp::OutputPhase, 2, -100, 100, true},
    {kPhaseFirst + 3, &cp::OutputPhase, 3, -100, 100, true},
    {kPhaseFirst + 4, &cp::OutputPhase, 4, -100, 100, true},
    {kPhaseFirst + 5, &cp::OutputPhase, 5, -100, 100, true},
    {kPhaseFirst + 6, &cp::OutputPhase, 6, -100, 100, true},
    {kPhaseFirst + 7, &cp::OutputPhase, 7, -100, 100, true},
    {kCompressorSwitch, &cp::OutputCompressorSwitch, -1, 0, 1, false, Fanout::Linked},
    {kDelaySwitch, &cp::OutputDelayOff, -1, 0, 1, false, Fanout::Own},
};

constexpr const char* kPositionsZh[] = {"前置左", "前置右", "侧环绕左", "侧环绕右",
                                        "超低",   "中置",   "后环绕左", "后环绕右"};
constexpr const char* kPositionsEn[] = {"CH-L",   "CH-R",   "CH-SL",  "CH-SR",
                                        "CH-SUB", "CH-CEN", "CH-SBL", "CH-SBR"};

struct LinkBox {
  int id;
  cp::SpeakerPair pair;
};
constexpr LinkBox kLinkBoxes[] = {{kFrontLink, cp::SpeakerPair::Front},
                                  {kSideLink, cp::SpeakerPair::Side},
                                  {kBackLink, cp::SpeakerPair::Back}};

QLabel* Static(QWidget* parent, int id) {
  auto* l = new QLabel(parent);
  SetCtrlId(l, id);
  return l;
}

QGroupBox* Group(QWidget* parent) {
  auto* g = new QGroupBox(parent);
  g->setFlat(false);
  return g;
}

}  // namespace

CDialogOutput::CDialogOutput(PageContext& context, QWidget* parent, int channel)
    : EditorPage(context, ids::kOutputPage, parent), channel_(std::clamp(channel, 0, 7)) {
  setObjectName(QStringLiteral("CDialogOutput"));
  context.state.outputChannel = channel_;
  controls_ = new ParamControls(*this, [this](Fanout f) {
    return f == Fanout::Linked ? LinkedSet() : std::vector<int>{channel_};
  });
  bands_ = new BandEditor(*this, kGridRows, this);
  bands_->SetSend([this](int record, const cp::BandSettings& settings) {
    Session().Outputs().SendBand(channel_, Context().state.speakerLinks.Links(), record, settings);
  });
  bar_ = new PageBar(context, this);
  // Every page button shows, so that the record, compressor and delay pages
  // are a click away from the page the outputs are tuned on.
  title_ = Static(this, kTitle);
  BuildLayout();

  // The compressor sliders stand in field order from the threshold's id.
  controls_->SetCustomValue([this](const SliderRow& row) -> float {
    return Session().Params().Display().compressors[channel_].Field(row.ctrlId - kThreshold);
  });
  controls_->SetCustomSend([this](const SliderRow& row, int position) {
    cp::CompressorDisplay d = Session().Params().Display().compressors[channel_];
    d.SetField(row.ctrlId - kThreshold,
               static_cast<float>(position) / static_cast<float>(row.steps));
    Session().Outputs().SetCompressor(channel_, Context().state.speakerLinks.Links(), d.threshold,
                                      d.ratio, d.attackMs, d.releaseMs);
  });
  controls_->SetAfterEdit([this](int id) {
    if (id == kDelaySwitch) EnableDelay();
  });

  RetextOwn();
  Reload();
  Retext();
}

CDialogOutput::~CDialogOutput() = default;

void CDialogOutput::BuildLayout() {
  // Mix levels.
  auto* mix = Group(this);
  mix->setTitle(QString());
  auto* mixGrid = new QGridLayout(mix);
  controls_->AddSliders(kMixRows, mix);
  for (int i = 0; i < 4; ++i) {
    const SliderRow& r = kMixRows[i];
    mixGrid->addWidget(controls_->Label(r.labelId), i, 0);
    mixGrid->addWidget(controls_->Slider(r.ctrlId), i, 1);
    mixGrid->addWidget(controls_->Label(r.valueId), i, 2);
    controls_->Label(r.valueId)->setMinimumWidth(44);
  }

  // The eight channels: position, mute, phase; the pair links below them.
  auto* channels = new QFrame(this);
  channels->setFrameShape(QFrame::StyledPanel);
  auto* chGrid = new QGridLayout(channels);
  chGrid->setVerticalSpacing(0);
  chGrid->setHorizontalSpacing(6);
  chGrid->setContentsMargins(6, 4, 6, 4);
  controls_->AddChecks(kChecks, channels);
  for (int c = 0; c < 8; ++c) {
    channelNames_[c] = new QLabel(channels);
    positions_[c] = new QComboBox(channels);
    SetCtrlId(positions_[c], kPositionFirst + c);
    positions_[c]->setMinimumContentsLength(6);
    positions_[c]->setFixedHeight(positions_[c]->sizeHint().height() - 4);
    positions_[c]->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(positions_[c], &QComboBox::activated, this,
            [this, c](int index) { PositionChosen(c, index); });
    chGrid->addWidget(channelNames_[c], c, 0);
    chGrid->addWidget(positions_[c], c, 1);
    chGrid->addWidget(controls_->Check(MuteId(c)), c, 2);
    chGrid->addWidget(controls_->Check(kPhaseFirst + c), c, 3);
  }
  for (int i = 0; i < 3; ++i) {
    links_[i] = new QCheckBox(channels);
    SetCtrlId(links_[i], kLinkBoxes[i].id);
    const int id = kLinkBoxes[i].id;
    connect(links_[i], &QCheckBox::clicked, this, [this, id](bool t) { LinkClicked(id, t); });
  }
  // The pair links are page-wide: they stand over the page bar.
  auto* linkRow = new QHBoxLayout;
  linkRow->setSpacing(12);
  linkRow->addStretch();
  for (QCheckBox* b : links_) {
    b->setParent(this);
    linkRow->addWidget(b);
  }
  chGrid->setColumnStretch(3, 1);

  // Compressor.
  auto* comp = Group(this);
  auto* compGrid = new QGridLayout(comp);
  controls_->AddSliders(kCompressorRows, comp);
  compGrid->addWidget(controls_->Check(kCompressorSwitch), 0, 0, 1, 3);
  for (int i = 0; i < 4; ++i) {
    const SliderRow& r = kCompressorRows[i];
    compGrid->addWidget(controls_->Label(r.labelId), i + 1, 0);
    compGrid->addWidget(controls_->Slider(r.ctrlId), i + 1, 1);
    compGrid->addWidget(controls_->Label(r.valueId), i + 1, 2);
    controls_->Label(r.valueId)->setMinimumWidth(48);
  }

  // Delay.
  auto* delay = Group(this);
  auto* delayGrid = new QGridLayout(delay);
  controls_->AddSliders(kDelayRows, delay);
  hfDelay_ = new QRadioButton(delay);
  SetCtrlId(hfDelay_, kHfDelay);
  channelDelay_ = new QRadioButton(delay);
  SetCtrlId(channelDelay_, kChannelDelay);
  auto* modes = new QButtonGroup(this);
  modes->addButton(hfDelay_, 0);
  modes->addButton(channelDelay_, 1);
  connect(modes, &QButtonGroup::idClicked, this, &CDialogOutput::DelayModeChosen);
  split_ = new CXBmpSlider(delay);
  SetCtrlId(split_, kSplit);
  split_->UseHorizontalStyle();
  split_->SetRange(cp::kHfSplitPairCount - 1, 0);
  splitText_ = Static(delay, kSplitText);
  splitText_->setMinimumWidth(56);
  connect(split_, &CXBmpSlider::SliderMoved, this, [this](int, int p) { SplitMoved(p); });
  connect(split_, &CXBmpSlider::SliderReleased, this, [this](int, int) {
    if (splitGesture_ < 0) return;
    splitGesture_ = -1;
    EndEdit();
  });
  delayGrid->addWidget(controls_->Check(kDelaySwitch), 0, 0, 1, 2);
  delayGrid->addWidget(hfDelay_, 1, 0, 1, 2);
  delayGrid->addWidget(channelDelay_, 2, 0, 1, 2);
  delayGrid->addWidget(split_, 3, 0);
  delayGrid->addWidget(splitText_, 3, 1);
  delayGrid->addWidget(controls_->Slider(kDelay), 4, 0);
  delayGrid->addWidget(controls_->Label(kDelayText), 4, 1);
  controls_->Label(kDelayText)->setMinimumWidth(56);

  // Title image and page bar over everything; the controls in a row; the
  // band list and the curve below, the curve taking what is left.
  auto* head = new QHBoxLayout;
  head->addWidget(title_, 0, Qt::AlignLeft | Qt::AlignVCenter);
  head->addSpacing(12);
  auto* barColumn = new QVBoxLayout;
  barColumn->setSpacing(2);
  barColumn->addLayout(linkRow);
  barColumn->addWidget(bar_);
  head->addLayout(barColumn, 1);
  // Left: the channels, then the band list (or the band editor). Right:
  // the channel's mix, compressor and delay over the curve, which takes
  // what is left of the page.
  auto* left = new QVBoxLayout;
  left->addWidget(channels);
  left->addWidget(bands_->ListArea());
  left->addStretch();
  auto* upper = new QHBoxLayout;
  upper->addWidget(mix);
  upper->addWidget(comp);
  upper->addWidget(delay);
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

std::vector<int> CDialogOutput::LinkedSet() const {
  return Session().Outputs().LinkedSet(channel_, Context().state.speakerLinks.Links());
}

void CDialogOutput::SwitchChannel(int channel) {
  if (channel < 0 || channel > 7) return;
  channel_ = channel;
  Context().state.outputChannel = channel;
  Reload();
  Language().ApplyDialogTexts(this, ids::kOutputPage);
  RetextOwn();
  Reload();
}

void CDialogOutput::RetextOwn() {
  const bool en = Language().English();
  for (int c = 0; c < 8; ++c) {
    channelNames_[c]->setText(
        Language().Pick(QStringLiteral("通道%1"), QStringLiteral("CH%1")).arg(c + 1));
    const int keep = positions_[c]->currentIndex();
    positions_[c]->clear();
    for (int p = 0; p < 8; ++p) {
      positions_[c]->addItem(QString::fromUtf8(en ? kPositionsEn[p] : kPositionsZh[p]));
    }
    positions_[c]->setCurrentIndex(keep);
  }
  bands_->Retext();
  NameControls();
}

void CDialogOutput::NameControls() {
  const UiLanguage& lang = Language();
  // Controls whose text does not say what they are, by the label beside them.
  for (const SliderRow& r : kMixRows) {
    controls_->Slider(r.ctrlId)->setAccessibleName(controls_->Label(r.labelId)->text());
  }
  for (const SliderRow& r : kCompressorRows) {
    controls_->Slider(r.ctrlId)->setAccessibleName(controls_->Label(r.labelId)->text());
  }
  controls_->Slider(kDelay)->setAccessibleName(lang.Pick("延时", "Delay"));
  split_->setAccessibleName(lang.Pick("高频分频点", "H.Freq split"));
  for (int c = 0; c < 8; ++c) {
    const QString ch = channelNames_[c]->text();
    positions_[c]->setAccessibleName(ch + QLatin1Char(' ') + lang.Pick("位置", "position"));
    for (int id : {MuteId(c), kPhaseFirst + c}) {
      QAbstractButton* b = controls_->Check(id);
      b->setAccessibleName(ch + QLatin1Char(' ') + b->text());
    }
  }
  title_->setAccessibleName(channelNames_[channel_]->text());
  bands_->Panel()->setAccessibleName(bands_->Panel()->Title());
  bands_->Grid()->setAccessibleName(lang.Pick("均衡列表", "Band list"));
}

void CDialogOutput::Reload() {
  const UiLanguage& lang = Language();
  // 1. Title and grid.
  const int titleId = (lang.English() ? art::kOutputTitleEn : art::kOutputTitleZh) + 2 * channel_;
  title_->setPixmap(art::LoadArtwork(titleId, devicePixelRatioF()));
  title_->setAccessibleName(channelNames_[channel_]->text());
  // 2. Mix levels (and every other parameter-bound control).
  controls_->Reload();
  // 3, 4. Selection cleared, grid shown, the bands.
  LoadBands();
  // 5. Page bar, positions and links.
  bar_->SetSelected(PageBar::ChannelButton(channel_));
  for (int c = 0; c < 8; ++c) positions_[c]->setCurrentIndex(Session().Outputs().Position(c));
  const LinkOptions& links = Context().state.speakerLinks;
  links_[0]->setChecked(links.FrontLinked());
  links_[1]->setChecked(links.SideLinked());
  links_[2]->setChecked(links.BackLinked());
  // 6 and 7. Compressor (in the table) and delay.
  LoadDelay();
}

void CDialogOutput::LoadBands() {
  const int bypass = Session().Params().Mirror(cp::OutputEqBypass(channel_)).AsInt();
  bands_->Load(kOutputEqKind + channel_, Session().Params().Store(), bypass);
}

void CDialogOutput::LoadDelay() {
  const int pair = Session().Eq().FindHfSplit(channel_);
  split_->SetPos(pair);
  splitText_->setText(QStringLiteral("%1Hz").arg(cp::HfSplit(pair).low));
  const int mode = Session().Params().Display().delayMode[channel_];
  hfDelay_->setChecked(mode == 0);
  channelDelay_->setChecked(mode != 0);
  EnableDelay();
}

void CDialogOutput::EnableDelay() {
  const bool on = controls_->Check(kDelaySwitch)->isChecked();
  const bool hf = hfDelay_->isChecked();
  hfDelay_->setEnabled(on);
  channelDelay_->setEnabled(on);
  split_->SetEnabled(on && hf);
  splitText_->setEnabled(on && hf);
  controls_->Label(kDelayText)->setEnabled(on);
}

bool CDialogOutput::TakesWheel(int ctrlId) const {
  return (ctrlId >= 1040 && ctrlId <= 1044) || (ctrlId >= 1014 && ctrlId <= 1019) || ctrlId >= 1046;
}

// ---- Behaviour of its own

void CDialogOutput::PositionChosen(int channel, int position) {
  {
    EditStep step(*this);
    Session().Outputs().SetPosition(channel, position);
  }
  if (Context().showPage) {
    Context().showPage(ids::kOutputPage, channel);
  } else {
    SwitchChannel(channel);
  }
}

void CDialogOutput::DelayModeChosen(int mode) {
  {
    EditStep step(*this);
    Session().Outputs().SetDelayMode(channel_, Context().state.speakerLinks.Links(), mode);
  }
  EnableDelay();
}

void CDialogOutput::SplitMoved(int position) {
  if (splitGesture_ < 0) {
    splitGesture_ = kSplit;
    BeginEdit();
  }
  Session().Outputs().SetSplit(channel_, position);
  splitText_->setText(QStringLiteral("%1Hz").arg(cp::HfSplit(position).low));
}

void CDialogOutput::LinkClicked(int ctrlId, bool ticked) {
  const LinkBox* box = nullptr;
  for (const LinkBox& b : kLinkBoxes) {
    if (b.id == ctrlId) box = &b;
  }
  if (box == nullptr) return;
  if (ticked) {
    const std::vector<int> differing = Session().Outputs().DifferingFromFirst(box->pair);
    if (!differing.empty()) {
      if (Context().prompts.Question(this, QString(),
                                     Language().Pick("参数不一致，同步参数吗？", "Set same?"))) {
        EditStep step(*this);
        Session().Outputs().CopyFirstToOthers(box->pair);
      } else {
        ticked = false;
      }
    }
  }
  LinkOptions& links = Context().state.speakerLinks;
  links.SetLinked(box->pair, ticked);
  if (Context().saveLinkOptions && !Context().saveLinkOptions(links)) {
    core::Trace("保存失败");
  }
  Reload();
}

// ---- The status bar's EQ commands

bool CDialogOutput::EqBypassed() const {
  return Session().Params().Mirror(cp::OutputEqBypass(channel_)).AsInt() != 0;
}

void CDialogOutput::ToggleEqBypass() {
  {
    EditStep step(*this);
    Session().Outputs().ToggleEqBypass(channel_, Context().state.speakerLinks.Links());
  }
  bands_->Panel()->SetBypassed(Session().Params().Mirror(cp::OutputEqBypass(channel_)).AsInt());
  bands_->Panel()->update();
}

void CDialogOutput::ResetShownEq() {
  bands_->ClearSelection();
  const std::vector<int> set = LinkedSet();
  if (Context().showNotice) {
    Context().showNotice(Language().Pick("正在复位均衡...", "Reset EQ..."),
                         1000 * static_cast<int>(set.size()));
  }
  {
    EditStep step(*this);
    Session().Outputs().ResetEq(channel_, Context().state.speakerLinks.Links());
  }
  LoadBands();
}

}  // namespace ui
