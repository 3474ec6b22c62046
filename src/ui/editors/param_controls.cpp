#include "ui/editors/param_controls.h"

#include <QCheckBox>
#include <QLabel>
#include <algorithm>
#include <cmath>

#include "core/session.h"
#include "ui/controls/ctrl_id.h"
#include "ui/controls/x_bmp_slider.h"
#include "ui/shell/editor_page.h"

namespace ui {

namespace {

bool IsFloatKind(core::params::ParamName name) {
  using core::params::ValueKind;
  if (!name.Valid() || name.Row() >= core::params::kParamCount) return false;
  const ValueKind kind = core::params::kParamTable[name.Row()].kind;
  return kind == ValueKind::Float || kind == ValueKind::Milliseconds;
}

QLabel* MakeLabel(QWidget* parent, int id) {
  auto* label = new QLabel(parent);
  SetCtrlId(label, id);
  label->setAttribute(Qt::WA_TranslucentBackground);
  return label;
}

}  // namespace

ParamControls::ParamControls(EditorPage& page, Targets targets)
    : QObject(&page), page_(page), targets_(std::move(targets)) {}

void ParamControls::AddSliders(std::span<const SliderRow> rows, QWidget* parent) {
  if (parent == nullptr) parent = &page_;
  for (const SliderRow& row : rows) {
    auto* slider = new CXBmpSlider(parent);
    SetCtrlId(slider, row.ctrlId);
    slider->UseHorizontalStyle();
    slider->SetRange(row.maximum, row.minimum);
    QLabel* value = row.valueId >= 0 ? MakeLabel(parent, row.valueId) : nullptr;
    if (row.labelId >= 0) labels_.push_back(MakeLabel(parent, row.labelId));
    if (value != nullptr) labels_.push_back(value);
    sliders_.push_back({&row, slider, value});
    connect(slider, &CXBmpSlider::SliderMoved, this, &ParamControls::OnMoved);
    connect(slider, &CXBmpSlider::SliderReleased, this, [this](int id, int) { OnReleased(id); });
  }
}

void ParamControls::AddChecks(std::span<const CheckRow> rows, QWidget* parent) {
  if (parent == nullptr) parent = &page_;
  for (const CheckRow& row : rows) {
    auto* box = new QCheckBox(parent);
    SetCtrlId(box, row.ctrlId);
    checks_.push_back({&row, box});
    const Check_ check = checks_.back();
    connect(box, &QCheckBox::clicked, this,
            [this, check](bool ticked) { OnClicked(check, ticked); });
  }
}

void ParamControls::SetCustomSend(std::function<void(const SliderRow&, int)> send) {
  customSend_ = std::move(send);
}
void ParamControls::SetCustomValue(std::function<float(const SliderRow&)> value) {
  customValue_ = std::move(value);
}
void ParamControls::SetAfterEdit(std::function<void(int)> after) {
  after_ = std::move(after);
}

CXBmpSlider* ParamControls::Slider(int ctrlId) const {
  const Slider_* s = FindSlider(ctrlId);
  return s != nullptr ? s->slider : nullptr;
}

QLabel* ParamControls::Label(int ctrlId) const {
  for (QLabel* label : labels_) {
    if (CtrlId(label) == ctrlId) return label;
  }
  return nullptr;
}

QAbstractButton* ParamControls::Check(int ctrlId) const {
  for (const Check_& c : checks_) {
    if (c.row->ctrlId == ctrlId) return c.box;
  }
  return nullptr;
}

const ParamControls::Slider_* ParamControls::FindSlider(int ctrlId) const {
  for (const Slider_& s : sliders_) {
    if (s.row->ctrlId == ctrlId) return &s;
  }
  return nullptr;
}

int ParamControls::SubOf(int rowSub) const {
  return rowSub >= 0 ? rowSub : page_.Sub();
}

QString ParamControls::ValueText(const SliderRow& row, int position) {
  const int p = row.inverted ? row.maximum + row.minimum - position : position;
  return QString::asprintf(row.format, static_cast<double>(p) / row.steps);
}

int ParamControls::PositionOf(const SliderRow& row, float value) {
  // In float, as the value is held: 1.4f x 10 is 14, where the double
  // product would truncate to 13.
  const float scaled = value * static_cast<float>(row.steps);
  int p = std::isfinite(scaled) ? static_cast<int>(std::clamp(scaled, -1e9f, 1e9f)) : row.minimum;
  p = std::clamp(p, row.minimum, row.maximum);
  return row.inverted ? row.maximum + row.minimum - p : p;
}

float ParamControls::CurrentValue(const SliderRow& row) const {
  if (row.param == nullptr) return customValue_ ? customValue_(row) : 0.0f;
  return page_.Session().Params().Mirror(row.param(page_.Sub())).AsFloat();
}

void ParamControls::Reload() {
  for (const Slider_& s : sliders_) ReloadSlider(s.row->ctrlId);
  for (const Check_& c : checks_) {
    const CheckRow& row = *c.row;
    const int value = page_.Session().Params().Mirror(row.param(SubOf(row.sub))).AsInt();
    const bool ticked = row.tickedWhenNegative ? value < 0 : value == row.tickedValue;
    c.box->setChecked(ticked);
  }
}

void ParamControls::ReloadSlider(int ctrlId) {
  const Slider_* s = FindSlider(ctrlId);
  if (s == nullptr) return;
  const SliderRow& row = *s->row;
  s->slider->SetPos(PositionOf(row, CurrentValue(row)));
  if (s->value != nullptr) s->value->setText(ValueText(row, s->slider->GetPos()));
}

void ParamControls::OnMoved(int ctrlId, int position) {
  const Slider_* s = FindSlider(ctrlId);
  if (s == nullptr) return;
  if (gestureSlider_ != ctrlId) {
    if (gestureSlider_ >= 0) page_.EndEdit();
    page_.BeginEdit();
    gestureSlider_ = ctrlId;
  }
  const SliderRow& row = *s->row;
  if (s->value != nullptr) s->value->setText(ValueText(row, position));
  if (row.param == nullptr) {
    if (customSend_) customSend_(row, position);
  } else {
    const int p = row.inverted ? row.maximum + row.minimum - position : position;
    core::params::ParamModel& model = page_.Session().Params();
    for (int sub : targets_(row.fanout)) {
      const core::params::ParamName name = row.param(sub);
      const core::params::ParamValue value =
          IsFloatKind(name) ? core::params::ParamValue(static_cast<float>(p) / row.steps)
                            : core::params::ParamValue(p / row.steps);
      if (row.onlyWhenChanged && model.Mirror(name) == value) continue;
      model.SetParam(name, value);
    }
  }
  if (after_) after_(ctrlId);
}

void ParamControls::OnReleased(int ctrlId) {
  if (gestureSlider_ != ctrlId) return;
  gestureSlider_ = -1;
  page_.EndEdit();
}

void ParamControls::OnClicked(const Check_& check, bool ticked) {
  const CheckRow& row = *check.row;
  {
    EditStep step(page_);
    const int value = ticked ? row.tickedValue : row.untickedValue;
    std::vector<int> subs = row.sub >= 0 ? std::vector<int>{row.sub} : targets_(row.fanout);
    for (int sub : subs) page_.Session().Params().SetParam(row.param(sub), value);
  }
  if (after_) after_(row.ctrlId);
}

}  // namespace ui
