#include "ui/editors/music_input_dlg.h"

#include <QApplication>
#include <QButtonGroup>
#include <QEvent>
#include <QLabel>
#include <QRadioButton>
#include <QWheelEvent>
#include <algorithm>

#include "core/params/edit_history.h"
#include "core/session.h"
#include "ui/controls/artwork.h"
#include "ui/controls/ctrl_id.h"
#include "ui/controls/x_bmp_slider.h"
#include "ui/shell/command_ids.h"
#include "ui/shell/page_context.h"
#include "ui/shell/ui_language.h"

namespace cp = core::params;

namespace ui {

namespace {

using namespace ids::source;

constexpr std::uint16_t Rows(std::initializer_list<int> rows) {
  std::uint16_t bits = 0;
  for (int r : rows) bits = static_cast<std::uint16_t>(bits | (1u << r));
  return bits;
}

constexpr std::uint16_t kAllRows = (1u << kRowCount) - 1;

// The sources each model's template offers: the same sources the model
// accepts when a mode file is loaded (the model catalogue), so that the
// dialog never offers one the processor would not take. The NR1.5's
// template leaves source 5 to the protocol check below.
struct Template {
  int id;
  std::uint16_t rows;
};
constexpr Template kTemplates[] = {
    {512, kAllRows},                             // any other model
    {527, Rows({0, 1, 2, 3})},                   // NR1.5
    {528, Rows({5, 8, 11})},                     // NR240
    {529, Rows({5, 6, 11})},                     // NR580
    {530, Rows({0, 1, 2, 3, 5, 6, 11})},         // NR620
    {532, Rows({0, 1, 2, 3, 5, 6, 11, 12})},     // HM620
    {534, Rows({0, 1, 2, 3, 5, 6, 11, 12})},     // 5P620II
    {535, Rows({5, 6, 8, 9, 11})},               // B580II
    {536, Rows({0, 1, 2, 5})},                   // LT1.5, LT6.2, LT6.2II, NR3900
    {537, Rows({0, 1, 2, 3, 4, 5, 6, 11, 12})},  // 5P620III
    {538, Rows({5, 11})},                        // NR230, B470
    {539, Rows({5, 11})},                        // W2310
    {540, Rows({0, 1, 2, 3, 5, 6, 11})},         // RV2310
    {541, Rows({5, 11, 12, 13})},                // ZR07
};

// The NR1.5 shows source 5 when it speaks the family's protocol.
constexpr int kNr15SpdifRow = 5;
constexpr std::int32_t kFamilyProtocol = 20;

// Rows are stacked this far apart; the window ends this far below the last.
constexpr int kRowPitch = 35;
constexpr int kBottomMargin = 60;
constexpr int kTop = 16;
constexpr int kLeft = 16;
constexpr int kRadioWidth = 118;
constexpr int kTextWidth = 48;
constexpr int kRowHeight = 24;

QString LevelText(int position) {
  return QStringLiteral("%1%").arg(position);
}

}  // namespace

std::uint16_t CDialogMusicInput::TemplateRows(int templateId) {
  for (const Template& t : kTemplates) {
    if (t.id == templateId) return t.rows;
  }
  return kAllRows;
}

bool CDialogMusicInput::KnownTemplate(int templateId) {
  return std::any_of(std::begin(kTemplates), std::end(kTemplates),
                     [templateId](const Template& t) { return t.id == templateId; });
}

CDialogMusicInput::CDialogMusicInput(PageContext& context, int templateId, QWidget* parent)
    : QDialog(parent), context_(context), templateId_(templateId) {
  setObjectName(QStringLiteral("CDialogMusicInput"));
  setModal(false);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, art::PageBackground());
  setPalette(pal);
  setAutoFillBackground(true);

  group_ = new QButtonGroup(this);
  for (int k = 0; k < kRowCount; ++k) {
    Row& r = rows_[k];
    r.radio = new QRadioButton(this);
    SetCtrlId(r.radio, kRadioFirst + k);
    group_->addButton(r.radio, k);
    r.slider = new CXBmpSlider(this);
    SetCtrlId(r.slider, SliderId(k));
    r.slider->UseHorizontalStyle();
    r.slider->SetRange(100, 0);
    r.text = new QLabel(this);
    SetCtrlId(r.text, kTextFirst + k);
    r.text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    connect(r.slider, &CXBmpSlider::SliderMoved, this,
            [this, k](int, int position) { SliderMoved(k, position); });
    connect(r.slider, &CXBmpSlider::SliderReleased, this, [this](int, int) { GestureEnded(); });
  }
  connect(group_, &QButtonGroup::idClicked, this, &CDialogMusicInput::SourceChosen);
  // The wheel anywhere over the dialog turns the focused slider.
  qApp->installEventFilter(this);
}

CDialogMusicInput::~CDialogMusicInput() {
  qApp->removeEventFilter(this);
  GestureEnded();
}

int CDialogMusicInput::TextsId() const {
  return KnownTemplate(templateId_) ? templateId_ : ids::kInputSourceDialog;
}

std::uint16_t CDialogMusicInput::KeptRows() const {
  std::uint16_t rows = TemplateRows(templateId_);
  const core::link::DeviceIdentity identity = context_.session.Records().Identity();
  if (identity.ModelName() == "NR1.5" && identity.ProtocolVersion() == kFamilyProtocol) {
    rows = static_cast<std::uint16_t>(rows | (1u << kNr15SpdifRow));
  }
  return rows;
}

void CDialogMusicInput::Refresh() {
  const cp::ParamModel& model = context_.session.Params();
  for (int k = 0; k < kRowCount; ++k) {
    const int level = std::clamp(model.Mirror(cp::kMusicSourceLevels[k]).AsInt(), 0, 100);
    rows_[k].slider->SetPos(level);
    rows_[k].text->setText(LevelText(level));
  }
  const int source = model.Mirror(cp::kMusicSource).AsInt();
  // A source outside the rows (or hidden) leaves no radio chosen.
  group_->setExclusive(false);
  for (int k = 0; k < kRowCount; ++k) rows_[k].radio->setChecked(k == source);
  group_->setExclusive(true);
  LayOut();
  // The names may follow what the processor reported: texts last.
  Retext();
}

void CDialogMusicInput::LayOut() {
  kept_ = KeptRows();
  const int sliderWidth = rows_[0].slider->sizeHint().width();
  int y = kTop;
  int bottom = kTop;
  for (int k = 0; k < kRowCount; ++k) {
    const Row& r = rows_[k];
    const bool kept = RowKept(k);
    r.radio->setVisible(kept);
    r.slider->setVisible(kept);
    r.text->setVisible(kept);
    if (!kept) continue;
    const int sliderHeight = r.slider->sizeHint().height();
    r.radio->setGeometry(kLeft, y, kRadioWidth, kRowHeight);
    r.slider->setGeometry(kLeft + kRadioWidth + 8, y + (kRowHeight - sliderHeight) / 2, sliderWidth,
                          sliderHeight);
    r.text->setGeometry(kLeft + kRadioWidth + 8 + sliderWidth + 6, y, kTextWidth, kRowHeight);
    bottom = y + kRowHeight;
    y += kRowPitch;
  }
  height_ = bottom + kBottomMargin;
  // The height follows the rows; the position and the width stay.
  const QSize size = sizeHint();
  setFixedSize(size);
}

QSize CDialogMusicInput::sizeHint() const {
  const int sliderWidth = rows_[0].slider->sizeHint().width();
  const int width = kLeft + kRadioWidth + 8 + sliderWidth + 6 + kTextWidth + kLeft;
  return {width, height_ > 0 ? height_ : kTop + kBottomMargin};
}

void CDialogMusicInput::Retext() {
  const UiLanguage& lang = context_.language;
  lang.ApplyDialogTexts(this, TextsId());
  if (windowTitle().isEmpty()) setWindowTitle(lang.Pick("音源设置", "Source setting"));
  RenameRows();
  NameSliders();
}

void CDialogMusicInput::NameSliders() {
  const QString level = context_.language.Pick("电平", "level");
  for (const Row& r : rows_) {
    r.slider->setAccessibleName(r.radio->text() + QLatin1Char(' ') + level);
    r.text->setAccessibleName(r.radio->text() + QLatin1Char(' ') + level);
  }
}

void CDialogMusicInput::SourceChosen(int row) {
  if (row < 0 || row >= kRowCount) return;
  GestureEnded();
  core::params::EditHistory::Scope step(context_.session.History(),
                                        {templateId_, 0, kRadioFirst + row});
  context_.session.Params().SetParam(cp::kMusicSource, row);
}

void CDialogMusicInput::SliderMoved(int row, int position) {
  if (!gestureOpen_) {
    context_.session.History().Begin({templateId_, 0, SliderId(row)});
    gestureOpen_ = true;
  }
  context_.session.Params().SetParam(cp::kMusicSourceLevels[row], position);
  rows_[row].text->setText(LevelText(position));
}

void CDialogMusicInput::GestureEnded() {
  if (!gestureOpen_) return;
  gestureOpen_ = false;
  context_.session.History().End();
}

bool CDialogMusicInput::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Wheel || !watched->isWidgetType()) return false;
  auto* target = static_cast<QWidget*>(watched);
  if (target != this && !isAncestorOf(target)) return false;
  auto* focus = qobject_cast<CXBmpSlider*>(QApplication::focusWidget());
  if (focus == nullptr || focus == target || !isAncestorOf(focus)) return false;
  auto* wheel = static_cast<QWheelEvent*>(event);
  const QPointF local = focus->mapFromGlobal(wheel->globalPosition());
  QWheelEvent copy(local, wheel->globalPosition(), wheel->pixelDelta(), wheel->angleDelta(),
                   wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted());
  QCoreApplication::sendEvent(focus, &copy);
  return true;
}

}  // namespace ui
