#include "ui/editors/delay_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/params/eq_bank.h"
#include "core/params/named_params.h"
#include "core/params/output_channels.h"
#include "core/session.h"
#include "ui/controls/ctrl_id.h"
#include "ui/controls/x_bmp_slider.h"
#include "ui/editors/delay_panel.h"
#include "ui/editors/page_bar.h"
#include "ui/shell/command_ids.h"
#include "ui/shell/ui_language.h"

namespace cp = core::params;

namespace ui {

namespace {

using namespace ids::delay;

constexpr int kChannels = 8;
// The delay edits, up-downs and chart work in tenths of a millisecond
// within the chart's limits, 1.5..100 ms.
constexpr int kMinTenths = 15;
constexpr int kMaxTenths = 1000;

QString MsText(float ms) {
  return QString::asprintf("%.1fms", static_cast<double>(ms));
}

// The number a delay edit starts with ("12.5ms" reads 12.5); 0 when it
// starts with none.
float LeadingNumber(const QString& text) {
  const QByteArray bytes = text.trimmed().toLatin1();
  char* end = nullptr;
  const double v = std::strtod(bytes.constData(), &end);
  if (end == bytes.constData() || !std::isfinite(v)) return 0.0f;
  return static_cast<float>(v);
}

int Tenths(float ms) {
  return static_cast<int>(std::lround(static_cast<double>(ms) * 10.0));
}

}  // namespace

// ---- CDelayEdit

void CDelayEdit::wheelEvent(QWheelEvent* event) {
  if (!isEnabled()) {
    event->ignore();
    return;
  }
  wheelRest_ += event->angleDelta().y();
  const int steps = wheelRest_ / 120;
  wheelRest_ -= steps * 120;
  if (steps != 0) emit WheelStep(steps);
  event->accept();
}

void CDelayEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  emit FocusLeft();
}

// ---- CDelayUpDown

CDelayUpDown::CDelayUpDown(QWidget* parent) : QWidget(parent) {
  up_ = new QToolButton(this);
  up_->setArrowType(Qt::UpArrow);
  down_ = new QToolButton(this);
  down_->setArrowType(Qt::DownArrow);
  for (QToolButton* b : {up_, down_}) {
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedSize(18, 11);
    b->setIconSize(QSize(7, 5));
  }
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(up_);
  column->addWidget(down_);
  connect(up_, &QToolButton::clicked, this, [this] { Step(1); });
  connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
}

void CDelayUpDown::SetRange(int minimum, int maximum) {
  minimum_ = std::min(minimum, maximum);
  maximum_ = std::max(minimum, maximum);
  SetPos(position_);
}

void CDelayUpDown::SetPos(int position) {
  position_ = std::clamp(position, minimum_, maximum_);
}

void CDelayUpDown::SetNames(const QString& up, const QString& down) {
  up_->setAccessibleName(up);
  down_->setAccessibleName(down);
}

void CDelayUpDown::Step(int delta) {
  const int next = std::clamp(position_ + delta, minimum_, maximum_);
  if (next == position_) return;
  position_ = next;
  emit Stepped(position_);
}

// ---- CDelayDlg

CDelayDlg::CDelayDlg(PageContext& context, QWidget* parent)
    : EditorPage(context, ids::kDelayPage, parent) {
  setObjectName(QStringLiteral("CDelayDlg"));
  chart_ = new CDelayPanel(this);
  SetCtrlId(chart_, kChart);
  bar_ = new PageBar(context, this);
  // Here the page button 1074 is the delay page's own.
  bar_->SetRecordButtonPage(ids::kDelayPage);
  BuildLayout();

  connect(chart_, &CDelayPanel::DragStarted, this, [this](int) {
    if (dragGesture_) return;
    dragGesture_ = true;
    BeginEdit();
  });
  connect(chart_, &CDelayPanel::DelayDragged, this, &CDelayDlg::DelayChosen);
  connect(chart_, &CDelayPanel::DragEnded, this, [this](int) {
    if (!dragGesture_) return;
    dragGesture_ = false;
    EndEdit();
  });

  RetextOwn();
  Reload();
  Retext();
}

CDelayDlg::~CDelayDlg() = default;

void CDelayDlg::BuildLayout() {
  auto* rowsFrame = new QFrame(this);
  rowsFrame->setFrameShape(QFrame::StyledPanel);
  auto* grid = new QGridLayout(rowsFrame);
  grid->setContentsMargins(6, 4, 6, 4);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(2);

  distanceHeading_ = new QLabel(rowsFrame);
  SetCtrlId(distanceHeading_, kDistanceHeading);
  grid->addWidget(distanceHeading_, 0, 8, 1, 2);

  const auto* distanceFormat = new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("\\d{0,3}([.,]\\d{0,3})?")), this);
  QPalette red = palette();
  red.setColor(QPalette::WindowText, QColor(210, 0, 0));
  QFont bold = font();
  bold.setBold(true);
  for (int c = 0; c < kChannels; ++c) {
    Row& r = rows_[c];
    const int line = c + 1;
    r.name = new QLabel(rowsFrame);
    SetCtrlId(r.name, kChannelLabel[c]);
    r.onOff = new QCheckBox(rowsFrame);
    SetCtrlId(r.onOff, kSwitchFirst + c);
    connect(r.onOff, &QCheckBox::clicked, this, [this, c](bool t) { SwitchClicked(c, t); });

    r.hf = new QRadioButton(rowsFrame);
    SetCtrlId(r.hf, kHfDelayFirst + 2 * c);
    r.whole = new QRadioButton(rowsFrame);
    SetCtrlId(r.whole, kChannelDelayFirst + 2 * c);
    auto* modes = new QButtonGroup(this);
    modes->addButton(r.hf, 0);
    modes->addButton(r.whole, 1);
    connect(modes, &QButtonGroup::idClicked, this, [this, c](int mode) { ModeChosen(c, mode); });

    r.split = new CXBmpSlider(rowsFrame);
    SetCtrlId(r.split, kSplit[c]);
    r.split->UseHorizontalStyle();
    r.split->SetRange(cp::kHfSplitPairCount - 1, 0);
    r.split->setFixedWidth(80);
    connect(r.split, &CXBmpSlider::SliderMoved, this, [this, c](int, int p) { SplitMoved(c, p); });
    connect(r.split, &CXBmpSlider::SliderReleased, this, [this](int, int) { SplitReleased(); });
    r.splitText = new QLabel(rowsFrame);
    SetCtrlId(r.splitText, kSplitText[c]);
    r.splitText->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("3000Hz")) + 4);

    r.delay = new CDelayEdit(rowsFrame);
    SetCtrlId(r.delay, kDelayEditFirst + c);
    r.delay->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("100.0ms")) + 16);
    connect(r.delay, &QLineEdit::returnPressed, this, [this, c] { DelayTyped(c); });
    connect(r.delay, &CDelayEdit::WheelStep, this,
            [this, c](int steps) { DelayStepped(c, Tenths(chart_->Delay(c)) + steps); });
    connect(r.delay, &CDelayEdit::FocusLeft, this, [this, c] {
      // Text left without Enter is not the channel's delay: show that again.
      rows_[c].delay->setText(MsText(chart_->Delay(c)));
    });
    r.upDown = new CDelayUpDown(rowsFrame);
    SetCtrlId(r.upDown, kUpDownFirst + c);
    r.upDown->SetRange(kMinTenths, kMaxTenths);
    connect(r.upDown, &CDelayUpDown::Stepped, this, [this, c](int p) { DelayStepped(c, p); });

    r.distance = new QLineEdit(rowsFrame);
    SetCtrlId(r.distance, kDistanceFirst + c);
    r.distance->setValidator(distanceFormat);
    r.distance->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("100.00")) + 16);
    r.distance->setAlignment(Qt::AlignRight);
    connect(r.distance, &QLineEdit::textEdited, this,
            [this, c](const QString& t) { DistanceEdited(c, t); });
    r.mark = new QLabel(rowsFrame);
    SetCtrlId(r.mark, kMarkFirst + c);
    r.mark->setPalette(red);
    r.mark->setFont(bold);
    r.mark->setFixedWidth(QFontMetrics(bold).horizontalAdvance(QLatin1Char('!')) + 6);

    grid->addWidget(r.name, line, 0);
    grid->addWidget(r.onOff, line, 1);
    grid->addWidget(r.hf, line, 2);
    grid->addWidget(r.whole, line, 3);
    grid->addWidget(r.split, line, 4);
    grid->addWidget(r.splitText, line, 5);
    auto* delayBox = new QHBoxLayout;
    delayBox->setSpacing(1);
    delayBox->addWidget(r.delay);
    delayBox->addWidget(r.upDown);
    grid->addLayout(delayBox, line, 6);
    grid->addItem(new QSpacerItem(8, 1), line, 7);
    grid->addWidget(r.distance, line, 8);
    grid->addWidget(r.mark, line, 9);
  }

  align_ = new QPushButton(rowsFrame);
  SetCtrlId(align_, kAlign);
  connect(align_, &QPushButton::clicked, this, [this] { Align(); });
  alignNote_ = new QLabel(rowsFrame);
  SetCtrlId(alignNote_, kAlignNote);
  alignNote_->setWordWrap(true);
  auto* alignRow = new QHBoxLayout;
  alignRow->addWidget(alignNote_, 1);
  alignRow->addWidget(align_, 0, Qt::AlignRight | Qt::AlignTop);
  grid->addLayout(alignRow, kChannels + 1, 0, 1, 10);
  alignSummary_ = new QLabel(rowsFrame);
  SetCtrlId(alignSummary_, kAlignSummary);
  alignSummary_->setPalette(red);
  alignSummary_->setWordWrap(true);
  grid->addWidget(alignSummary_, kChannels + 2, 0, 1, 10);
  grid->setRowStretch(kChannels + 3, 1);
  rowsFrame->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);

  auto* head = new QHBoxLayout;
  head->addWidget(bar_);
  head->addStretch();
  auto* body = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addWidget(rowsFrame);
  left->addStretch();
  body->addLayout(left);
  body->addWidget(chart_, 1);
  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(8, 4, 8, 4);
  page->setSpacing(4);
  page->addLayout(head);
  page->addLayout(body, 1);
}

void CDelayDlg::RetextOwn() {
  chart_->SetEnglish(Language().English());
  NameControls();
}

void CDelayDlg::NameControls() {
  const UiLanguage& lang = Language();
  chart_->setAccessibleName(lang.Pick("延时图", "Delay chart"));
  for (int c = 0; c < kChannels; ++c) {
    const Row& r = rows_[c];
    const QString ch =
        lang.Pick(QStringLiteral("通道%1"), QStringLiteral("CH %1")).arg(c + 1) + QLatin1Char(' ');
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{r.onOff, r.hf, r.whole}) {
      b->setAccessibleName(ch + b->text().trimmed());
    }
    r.split->setAccessibleName(ch + lang.Pick("高频分频点", "H.Freq split"));
    r.delay->setAccessibleName(ch + lang.Pick("延时", "delay"));
    r.upDown->setAccessibleName(ch + lang.Pick("延时微调", "delay step"));
    r.upDown->SetNames(ch + lang.Pick("延时加0.1ms", "delay +0.1 ms"),
                       ch + lang.Pick("延时减0.1ms", "delay -0.1 ms"));
    r.distance->setAccessibleName(ch + distanceHeading_->text());
    r.mark->setAccessibleName(ch + lang.Pick("对齐", "alignment"));
  }
  alignSummary_->setAccessibleName(lang.Pick("对齐结果", "Alignment result"));
}

void CDelayDlg::Reload() {
  bar_->SetSelected(PageBar::kRecord);
  const cp::ParamModel& params = Session().Params();
  for (int c = 0; c < kChannels; ++c) {
    Row& r = rows_[c];
    r.onOff->setChecked(params.Mirror(cp::OutputDelayOff(c)).AsInt() == 0);
    const int mode = params.Display().delayMode[c];
    r.hf->setChecked(mode == 0);
    r.whole->setChecked(mode != 0);
    const int pair = Session().Eq().FindHfSplit(c);
    r.split->SetPos(pair);
    r.splitText->setText(QStringLiteral("%1Hz").arg(cp::HfSplit(pair).low));
    ShowDelay(c, params.Mirror(cp::OutputDelay(c)).AsFloat());
    const auto& distance = Context().state.speakerDistancesM[c];
    if (!r.distance->hasFocus()) {
      r.distance->setText(distance ? QString::number(*distance, 'f', 2) : QString());
    }
    r.mark->clear();
    r.mark->setToolTip(QString());
    EnableRow(c);
  }
  alignSummary_->clear();
}

// What the channel holds, in its edit, up-down and chart.
void CDelayDlg::ShowDelay(int channel, float ms) {
  Row& r = rows_[channel];
  r.delay->setText(MsText(ms));
  r.upDown->SetPos(Tenths(ms));
  chart_->ShowDelay(channel, ms);
}

void CDelayDlg::EnableRow(int channel) {
  Row& r = rows_[channel];
  const bool on = r.onOff->isChecked();
  const bool hf = r.hf->isChecked();
  r.hf->setEnabled(on);
  r.whole->setEnabled(on);
  r.split->SetEnabled(on && hf);
  r.splitText->setEnabled(on && hf);
}

bool CDelayDlg::TakesWheel(int ctrlId) const {
  return std::ranges::find(kSplit, ctrlId) != kSplit.end() ||
         (ctrlId >= kDelayEditFirst && ctrlId < kDelayEditFirst + kChannels);
}

// ---- Edits of one channel

void CDelayDlg::SwitchClicked(int channel, bool ticked) {
  {
    EditStep step(*this);
    Session().Outputs().SetDelaySwitch(channel, ticked);
  }
  EnableRow(channel);
}

void CDelayDlg::ModeChosen(int channel, int mode) {
  {
    EditStep step(*this);
    // This page addresses the channels one by one: no linked pair.
    Session().Outputs().SetDelayMode(channel, cp::SpeakerLinks{}, mode);
  }
  EnableRow(channel);
}

void CDelayDlg::SplitMoved(int channel, int position) {
  if (!splitGesture_) {
    splitGesture_ = true;
    BeginEdit();
  }
  Session().Outputs().SetSplit(channel, position);
  rows_[channel].splitText->setText(QStringLiteral("%1Hz").arg(cp::HfSplit(position).low));
}

void CDelayDlg::SplitReleased() {
  if (!splitGesture_) return;
  splitGesture_ = false;
  EndEdit();
}

void CDelayDlg::DelayChosen(int channel, float ms) {
  if (channel < 0 || channel >= kChannels || std::isnan(ms)) return;
  // To a tenth of a millisecond, as the edits and up-downs step.
  const float tenths = static_cast<float>(std::clamp(Tenths(ms), kMinTenths, kMaxTenths));
  const float value = tenths / 10.0f;
  Row& r = rows_[channel];
  r.delay->setText(MsText(value));
  r.delay->setFocus();
  chart_->SetDelay(channel, value);
  r.upDown->SetPos(Tenths(chart_->Delay(channel)));
  ClearMark(channel);
  // A drag is one step from press to release; anything else is one here.
  EditStep step(*this);
  Session().Outputs().SetDelay(channel, chart_->Delay(channel));
}

void CDelayDlg::DelayTyped(int channel) {
  const float ms = std::clamp(LeadingNumber(rows_[channel].delay->text()), CDelayPanel::kLowerLimit,
                              CDelayPanel::kUpperLimit);
  DelayChosen(channel, ms);
}

void CDelayDlg::DelayStepped(int channel, int tenths) {
  DelayChosen(channel, static_cast<float>(std::clamp(tenths, kMinTenths, kMaxTenths)) / 10.0f);
}

// ---- Speaker distances

void CDelayDlg::DistanceEdited(int channel, const QString& text) {
  QString t = text.trimmed();
  t.replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double v = t.toDouble(&ok);
  Context().state.speakerDistancesM[channel] =
      ok ? std::optional<double>(v) : std::optional<double>();
  ClearMark(channel);
}

// The channel's delay is no longer the alignment's: its mark goes, and the
// summary with the last mark.
void CDelayDlg::ClearMark(int channel) {
  rows_[channel].mark->clear();
  rows_[channel].mark->setToolTip(QString());
  const bool anyLeft =
      std::ranges::any_of(rows_, [](const Row& r) { return !r.mark->text().isEmpty(); });
  if (!anyLeft) alignSummary_->clear();
}

cp::AlignmentPlan CDelayDlg::Align() {
  const cp::AlignmentPlan plan = cp::PlanSpeakerAlignment(Context().state.speakerDistancesM);
  if (!plan.Ok()) {
    QString text;
    if (plan.error == cp::AlignmentError::NoDistance) {
      text = Language().Pick("请先输入各通道音箱到听音位置的距离",
                             "Type the speakers' distances first");
    } else {
      text = Language()
                 .Pick(QStringLiteral("通道%1的距离应为0到100米"),
                       QStringLiteral("CH %1: a distance is 0 to 100 m"))
                 .arg(plan.badChannel + 1);
    }
    if (Context().showNotice) Context().showNotice(text, 1500);
    return plan;
  }
  {
    EditStep step(*this);
    for (int c = 0; c < kChannels; ++c) {
      if (plan.channels[c].aligned) Session().Outputs().SetDelay(c, plan.channels[c].delayMs);
    }
  }
  Reload();
  ShowMarks(plan);
  return plan;
}

void CDelayDlg::ShowMarks(const cp::AlignmentPlan& plan) {
  QStringList out;
  for (int c = 0; c < kChannels; ++c) {
    const cp::AlignedDelay& a = plan.channels[c];
    if (!a.aligned || !a.outOfRange) continue;
    rows_[c].mark->setText(QStringLiteral("!"));
    rows_[c].mark->setToolTip(
        Language()
            .Pick(QStringLiteral("超出范围：对齐需要%1ms，最大延时为%2ms"),
                  QStringLiteral("Out of range: alignment needs %1 ms; the most is %2 ms"))
            .arg(a.wantedMs, 0, 'f', 1)
            .arg(static_cast<double>(cp::kAlignMaxDelayMs), 0, 'f', 1));
    out << Language().Pick(QStringLiteral("通道%1"), QStringLiteral("CH %1")).arg(c + 1);
  }
  if (out.isEmpty()) return;
  alignSummary_->setText(
      Language()
          .Pick(QStringLiteral("! %1超出延时范围，已设为%2ms，未能对齐"),
                QStringLiteral("! %1: out of range, set to %2 ms and not aligned"))
          .arg(out.join(Language().Pick("、", ", ")))
          .arg(static_cast<double>(cp::kAlignMaxDelayMs), 0, 'f', 1));
}

}  // namespace ui
