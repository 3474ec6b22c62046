#include "ui/editors/band_editor.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "core/params/eq_band_set.h"
#include "core/params/eq_bank.h"
#include "core/params/rew_import.h"
#include "core/session.h"
#include "ui/controls/artwork.h"
#include "ui/controls/ctrl_id.h"
#include "ui/controls/fonts.h"
#include "ui/controls/grid/grid_list_ctrl.h"
#include "ui/controls/x_bmp_slider.h"
#include "ui/editors/eq_panel.h"
#include "ui/editors/rew_messages.h"
#include "ui/shell/editor_page.h"
#include "ui/shell/prompts.h"
#include "ui/shell/ui_language.h"

namespace cp = core::params;

namespace ui {

namespace {

constexpr const char* kTypeNamesZh[] = {"关闭", "参量", "低通", "高通", "低架", "高架"};
constexpr const char* kTypeNamesEn[] = {"OFF", "PEQ", "LP", "HP", "LS", "HS"};
constexpr int kDefaultRowFrequencies[] = {20,  25,  31,  40,  50,  63,  80, 100,
                                           125, 160, 200, 250, 315, 400, 500};
constexpr int kGridWidths[] = {30, 60, 60, 60, 50};
const QColor kRowBackground(20, 20, 20);

enum Column { kNumber = 0, kType = 1, kGain = 2, kFrequency = 3, kQ = 4 };

QString GainText(float gain) {
  return QString::asprintf("%+-.1fdB", static_cast<double>(gain));
}
QString FrequencyText(float f) {
  return QString::asprintf("%.0fHz", static_cast<double>(f));
}
QString QText(float q) {
  return QString::asprintf("%.2f", static_cast<double>(q));
}

CXBmpSlider* MakeVerticalSlider(QWidget* parent, int id, int minimum, int maximum) {
  auto* s = new CXBmpSlider(parent);
  SetCtrlId(s, id);
  s->UseVerticalStyle();
  s->SetRange(maximum, minimum);
  return s;
}

QLineEdit* MakeEdit(QWidget* parent, int id) {
  auto* e = new QLineEdit(parent);
  SetCtrlId(e, id);
  e->setAlignment(Qt::AlignCenter);
  e->setFixedWidth(62);
  return e;
}

// The type a composite band shows: its crossover's pass type, or its own.
int DisplayType(const cp::EqBandSet& bands, int band) {
  const cp::EqBand& b = bands.Band(band);
  int display = b.type;
  if (b.sectionCount > 0) cp::FindSlope(bands.SectionTypesOf(band), display);
  return display;
}

}  // namespace

float LeadingNumber(const QString& text) {
  static const QRegularExpression number(
      QStringLiteral("^\\s*[-+]?(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?"));
  const QRegularExpressionMatch m = number.match(text);
  if (!m.hasMatch()) return 0.0f;
  const float v = m.captured(0).trimmed().toFloat();
  return std::isfinite(v) ? v : 0.0f;
}

BandEditor::BandEditor(EditorPage& page, int rows, QWidget* parent)
    : QObject(&page), page_(page), rows_(rows) {
  panel_ = new CEqPanel(parent);
  SetCtrlId(panel_, kPanel);

  area_ = new QStackedWidget(parent);
  listPage_ = new QWidget(area_);
  grid_ = new CGridListCtrl(listPage_);
  SetCtrlId(grid_, kGrid);
  grid_->SetDefaultColours(rowText_, kRowBackground);
  grid_->SetCellMargin(2);
  QFont rowFont = grid_->horizontalHeader()->font();
  if (rowFont.pointSizeF() > 0) {
    rowFont.setPointSizeF(rowFont.pointSizeF() * 1.2);
  } else {
    rowFont.setPixelSize(static_cast<int>(rowFont.pixelSize() * 1.2));
  }
  grid_->SetRowFont(rowFont);
  rewButton_ = new QPushButton(listPage_);
  rewButton_->setIcon(QIcon::fromTheme(QStringLiteral("document-import")));
  auto* listLayout = new QVBoxLayout(listPage_);
  listLayout->setContentsMargins(0, 0, 0, 0);
  listLayout->setSpacing(4);
  listLayout->addWidget(grid_);
  listLayout->addWidget(rewButton_, 0, Qt::AlignLeft);
  listLayout->addStretch();
  area_->addWidget(listPage_);

  editor_ = new QWidget(area_);
  editor_->setAutoFillBackground(false);
  area_->addWidget(editor_);
  int width = 2 * grid_->frameWidth() + 2;
  for (int w : kGridWidths) width += w;
  area_->setFixedWidth(std::max(width, 300));

  bandNumber_ = new QLabel(editor_);
  SetCtrlId(bandNumber_, kBandNumber);
  bandNumber_->setFont(MakeFont(QStringLiteral("Arial"), 24, 700));
  QPalette pal = bandNumber_->palette();
  pal.setColor(QPalette::WindowText, QColor(20, 200, 20));
  bandNumber_->setPalette(pal);
  bandNumber_->setAlignment(Qt::AlignCenter);

  const int groupIds[] = {kTypeGroup, kFrequencyGroup, kGainGroup, kQGroup};
  for (int i = 0; i < 4; ++i) {
    groups_[i] = new QGroupBox(editor_);
    SetCtrlId(groups_[i], groupIds[i]);
  }
  radioGroup_ = new QButtonGroup(this);
  auto* typeLayout = new QVBoxLayout(groups_[0]);
  typeLayout->setContentsMargins(6, 4, 6, 4);
  for (int i = 0; i < 5; ++i) {
    radios_[i] = new QRadioButton(groups_[0]);
    SetCtrlId(radios_[i], kTypeFirst + i);
    radioGroup_->addButton(radios_[i], kTypeFirst + i);
    typeLayout->addWidget(radios_[i]);
  }
  typeLayout->addStretch();
  gainSlider_ = MakeVerticalSlider(groups_[2], kGainSlider, -150, 150);
  frequencySlider_ = MakeVerticalSlider(groups_[1], kFrequencySlider, 20, 20000);
  qSlider_ = MakeVerticalSlider(groups_[3], kQSlider, 10, 3000);
  gainEdit_ = MakeEdit(groups_[2], kGainEdit);
  frequencyEdit_ = MakeEdit(groups_[1], kFrequencyEdit);
  qEdit_ = MakeEdit(groups_[3], kQEdit);
  const std::pair<CXBmpSlider*, QLineEdit*> pairs[] = {
      {frequencySlider_, frequencyEdit_}, {gainSlider_, gainEdit_}, {qSlider_, qEdit_}};
  for (int i = 0; i < 3; ++i) {
    auto* l = new QVBoxLayout(groups_[i + 1]);
    l->setContentsMargins(2, 4, 2, 4);
    l->addWidget(pairs[i].first, 1, Qt::AlignHCenter);
    l->addWidget(pairs[i].second, 0, Qt::AlignHCenter);
  }
  crossoverLabel_ = new QLabel(editor_);
  SetCtrlId(crossoverLabel_, kCrossoverLabel);
  crossover_ = new QComboBox(editor_);
  SetCtrlId(crossover_, kCrossover);
  crossoverLabel_->setBuddy(crossover_);

  auto* top = new QHBoxLayout;
  top->addWidget(bandNumber_);
  top->addWidget(crossoverLabel_);
  top->addWidget(crossover_, 1);
  auto* row = new QHBoxLayout;
  row->setSpacing(3);
  for (QGroupBox* g : groups_) row->addWidget(g);
  auto* layout = new QVBoxLayout(editor_);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addLayout(top);
  layout->addLayout(row, 1);
  crossover_->hide();
  crossoverLabel_->hide();

  connect(panel_, &CEqPanel::BandPressed, this, &BandEditor::Select);
  connect(panel_, &CEqPanel::EmptyClicked, this, &BandEditor::ClearSelection);
  connect(panel_, &CEqPanel::BandChanged, this, &BandEditor::OnBandChanged);
  connect(panel_, &CEqPanel::EditEnded, this, &BandEditor::OnEditEnded);
  connect(panel_, &CEqPanel::CopyPasteChosen, this, &BandEditor::OnCopyPaste);
  for (CXBmpSlider* s : {gainSlider_, frequencySlider_, qSlider_}) {
    connect(s, &CXBmpSlider::SliderMoved, this, &BandEditor::OnSliderMoved);
    connect(s, &CXBmpSlider::SliderReleased, this, [this](int id, int) {
      if (sliderGesture_ != id) return;
      sliderGesture_ = -1;
      CloseGesture();
    });
  }
  for (QLineEdit* e : {gainEdit_, frequencyEdit_, qEdit_}) {
    connect(e, &QLineEdit::returnPressed, this, [this] {
      EditStep step(page_);
      ApplyEditor();
    });
  }
  connect(radioGroup_, &QButtonGroup::idClicked, this, [this](int id) { ChooseType(id - 1203); });
  connect(crossover_, &QComboBox::activated, this, &BandEditor::ChooseSlope);
  connect(grid_, &CGridListCtrl::CellEdited, this, &BandEditor::OnGridEdited);
  connect(rewButton_, &QAbstractButton::clicked, this, &BandEditor::ImportRewFilters);
  Retext();
}

QString BandEditor::TypeName(int type) const {
  if (type < 0 || type >= kTypeCount) return QString();
  return QString::fromUtf8(page_.Language().English() ? kTypeNamesEn[type] : kTypeNamesZh[type]);
}

void BandEditor::Retext() {
  const UiLanguage& lang = page_.Language();
  panel_->SetLanguage(lang.Language());
  rewButton_->setText(lang.Pick("导入 REW 滤波器…", "Import REW filters…"));
  grid_->Clear();
  QStringList choices;
  for (int t = 1; t < kTypeCount; ++t) choices << TypeName(t);
  grid_->InsertColumn(kNumber, QString(), kGridWidths[0]);
  grid_->InsertColumn(kType, lang.Pick("类型", "Type"), kGridWidths[1], Qt::AlignCenter,
                      GridEditor::kChoice, choices);
  grid_->InsertColumn(kGain, lang.Pick("增益", "Gain"), kGridWidths[2], Qt::AlignCenter,
                      GridEditor::kText);
  grid_->InsertColumn(kFrequency, lang.Pick("频率", "Freq"), kGridWidths[3], Qt::AlignCenter,
                      GridEditor::kText);
  grid_->InsertColumn(kQ, lang.Pick("Q值", "Q"), kGridWidths[4], Qt::AlignCenter,
                      GridEditor::kText);
  // The columns keep their proportions and share the list's whole width, so
  // "16000Hz" and "-12.5dB" fit whatever the font.
  int sum = 0;
  for (int w : kGridWidths) sum += w;
  const int available = area_->width() - 2 * grid_->frameWidth() - 2;
  for (int c = 0; c < 5 && available > sum; ++c) {
    grid_->setColumnWidth(c, kGridWidths[c] * available / sum);
  }
  for (int r = 0; r < rows_; ++r) {
    grid_->InsertRow(r, QString::number(r + 1));
    grid_->SetItemText(r, kType, TypeName(1));
    grid_->SetItemText(r, kGain, QStringLiteral("0.0dB"));
    const int f = r < static_cast<int>(std::size(kDefaultRowFrequencies)) ? kDefaultRowFrequencies[r]
                                                                          : 1000;
    grid_->SetItemText(r, kFrequency, QStringLiteral("%1Hz").arg(f));
    grid_->SetItemText(r, kQ, QStringLiteral("1.414"));
    grid_->SetRowColours(r, rowText_, kRowBackground);
  }
  for (int r = 0; r < rows_ && r < panel_->Bands().BandCount(); ++r) WriteRow(r);
  // Every row shows, without scrolling; the height stays whatever the page's.
  int height = grid_->horizontalHeader()->sizeHint().height() + 2 * grid_->frameWidth();
  for (int r = 0; r < rows_; ++r) height += grid_->rowHeight(r);
  grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid_->setFixedHeight(height);
  area_->setFixedHeight(
      std::max(height + 4 + rewButton_->sizeHint().height(), editor_->minimumSizeHint().height()));
  const int slope = crossover_->currentIndex();
  crossover_->clear();
  for (int s = 0; s < 11; ++s) crossover_->addItem(QString::fromLatin1(cp::CrossoverSlopeName(s)));
  crossover_->setCurrentIndex(slope);
  if (selected_ >= 0) FillEditor();
}

void BandEditor::SetRowCount(int rows) {
  if (rows == rows_ || rows < 1) return;
  rows_ = rows;
  Retext();
}

void BandEditor::SetRowTextColour(const QColor& colour) {
  rowText_ = colour;
  grid_->SetDefaultColours(colour, kRowBackground);
  for (int r = 0; r < grid_->RowCount(); ++r) grid_->SetRowColours(r, colour, kRowBackground);
}

void BandEditor::DropCrossover() {
  crossover_->hide();
  crossoverLabel_->hide();
  SetCtrlId(crossover_, -1);
  SetCtrlId(crossoverLabel_, -1);
  crossoverLabel_->setBuddy(nullptr);
  crossoverDropped_ = true;
}

void BandEditor::Load(int kind, std::span<const std::uint8_t> store, int bypassed) {
  CloseGesture();
  ClearSelection();
  panel_->SetEqKind(kind);
  panel_->LoadBands(store);
  for (int r = 0; r < rows_ && r < panel_->Bands().BandCount(); ++r) WriteRow(r);
  if (panel_->Bypassed() != bypassed) panel_->SetBypassed(bypassed);
  panel_->update();
}

void BandEditor::ShowEditor(bool editor) {
  area_->setCurrentWidget(editor ? editor_ : listPage_);
}

void BandEditor::ClearSelection() {
  selected_ = -1;
  panel_->SetSelectedBand(-1);
  ShowEditor(false);
}

void BandEditor::Select(int band) {
  if (band < 0 || band >= panel_->Bands().BandCount()) return;
  selected_ = band;
  if (panel_->SelectedBand() != band) panel_->SetSelectedBand(band);
  bandNumber_->setText(QString::number(band + 1));
  ShowEditor(true);
  FillEditor();
  SetUpCrossover();
}

void BandEditor::FillEditor() {
  if (selected_ < 0) return;
  filling_ = true;
  const cp::EqBand& b = panel_->Band(selected_);
  gainEdit_->setText(GainText(b.gain));
  gainSlider_->SetPos(std::clamp(static_cast<int>(b.gain * 10.0f), -150, 150));
  frequencyEdit_->setText(FrequencyText(b.frequency));
  frequencySlider_->SetPos(std::clamp(static_cast<int>(b.frequency), 20, 20000));
  qEdit_->setText(QText(b.q));
  const int display = DisplayType(panel_->Bands(), selected_);
  qSlider_->SetRange(display == 1 ? 3000 : 200, 10);
  qSlider_->SetPos(static_cast<int>(b.q * 100.0f));
  radioGroup_->setExclusive(false);
  for (int i = 0; i < 5; ++i) radios_[i]->setChecked(display == i + 1);
  radioGroup_->setExclusive(true);
  const bool shaped = display == 1 || display == 4 || display == 5;
  gainSlider_->SetEnabled(shaped);
  gainEdit_->setEnabled(shaped);
  filling_ = false;
}

void BandEditor::SetUpCrossover() {
  if (selected_ < 0 || crossoverDropped_) return;
  const cp::EqBand& b = panel_->Band(selected_);
  if (b.sectionCount == 0) {
    crossover_->hide();
    crossoverLabel_->hide();
    return;
  }
  if (b.type == 2 || b.type == 3 || b.type > 5) {
    int display = b.type;
    const int slope = cp::FindSlope(panel_->Bands().SectionTypesOf(selected_), display);
    crossover_->setCurrentIndex(std::clamp(slope, 0, crossover_->count() - 1));
    crossover_->show();
    crossoverLabel_->show();
  }
}

void BandEditor::WriteRow(int band) {
  if (band < 0 || band >= rows_ || band >= grid_->RowCount()) return;
  const cp::EqBand& b = panel_->Band(band);
  grid_->SetItemText(band, kGain, GainText(b.gain));
  grid_->SetItemText(band, kFrequency, FrequencyText(b.frequency));
  grid_->SetItemText(band, kQ, QText(b.q));
  if (b.sectionCount > 0) {
    grid_->SetItemText(band, kType, TypeName(DisplayType(panel_->Bands(), band)));
  } else if (b.type >= 0 && b.type < kTypeCount) {
    grid_->SetItemText(band, kType, TypeName(b.type));
  }
}

void BandEditor::SendBand(int band) {
  if (!send_ || band < 0) return;
  const cp::EqBand& b = panel_->Band(band);
  auto settings = [](const cp::EqBand& r) {
    return cp::BandSettings{r.type, static_cast<int>(std::lround(r.frequency)), r.gain, r.q};
  };
  send_(band, settings(b));
  for (int i = 0; i < b.sectionCount; ++i) {
    const int record = b.sections[i];
    if (record >= 0) send_(record, settings(panel_->Band(record)));
  }
  emit EqChanged();
}

void BandEditor::OpenGesture() {
  if (gestureOpen_) return;
  gestureOpen_ = true;
  page_.BeginEdit();
}

void BandEditor::CloseGesture() {
  if (!gestureOpen_) return;
  gestureOpen_ = false;
  page_.EndEdit();
}

void BandEditor::OnBandChanged(int band) {
  if (band < 0) return;
  OpenGesture();
  SendBand(band);
  WriteRow(band);
  FillEditor();
}

void BandEditor::OnEditEnded() {
  CloseGesture();
}

void BandEditor::OnCopyPaste(int action, int kind) {
  int& slot = page_.Context().state.eqCopyKind;
  if (action == 0) {
    slot = kind;
  } else if (slot != -1) {
    EditStep step(page_);
    page_.Session().Eq().CopyEq(slot, kind);
  }
  Load(panel_->Kind(), page_.Session().Params().Store(), panel_->Bypassed());
  emit EqChanged();
}

void BandEditor::OnSliderMoved(int ctrlId, int position) {
  if (filling_) return;
  if (sliderGesture_ != ctrlId) {
    if (sliderGesture_ >= 0) CloseGesture();
    sliderGesture_ = ctrlId;
    OpenGesture();
  }
  if (ctrlId == kGainSlider) {
    gainEdit_->setText(QString::asprintf("%+-.1fdB", position / 10.0));
  } else if (ctrlId == kFrequencySlider) {
    frequencyEdit_->setText(QString::asprintf("%dHz", position));
  } else {
    qEdit_->setText(QString::asprintf("%.2f", position / 100.0));
  }
  ApplyEditor();
}

void BandEditor::ApplyEditor() {
  if (selected_ < 0) return;
  const int band = selected_;
  panel_->SetBandGain(LeadingNumber(gainEdit_->text()), band);
  const float frequency = std::clamp(LeadingNumber(frequencyEdit_->text()), 20.0f, 20000.0f);
  panel_->SetBandFrequency(band, frequency);
  panel_->RecomputeBand(band);
  panel_->SetBandQ(LeadingNumber(qEdit_->text()), band);
  SendBand(band);
  WriteRow(band);
  FillEditor();
}

void BandEditor::ChooseType(int type) {
  if (selected_ < 0 || type < 0 || type >= kTypeCount) return;
  EditStep step(page_);
  panel_->setFocus();
  panel_->SetCompositeType(selected_, type);
  SendBand(selected_);
  WriteRow(selected_);
  FillEditor();
  SetUpCrossover();
}

void BandEditor::ChooseSlope(int slope) {
  if (selected_ < 0) return;
  EditStep step(page_);
  panel_->SetCrossoverSlope(selected_, slope);
  WriteRow(selected_);
  FillEditor();
  SendBand(selected_);
}

void BandEditor::OnGridEdited(int row, int column, const QString& text) {
  if (row < 0 || row >= rows_ || row >= panel_->Bands().BandCount()) return;
  if (column == kType) {
    for (int t = 0; t < kTypeCount; ++t) {
      if (text == TypeName(t)) {
        EditStep step(page_);
        panel_->SetCompositeType(row, t);
        SendBand(row);
        WriteRow(row);
        FillEditor();
        SetUpCrossover();
        return;
      }
    }
    return;
  }
  if (column < kGain || column > kQ) return;
  grid_->SetItemText(row, column, text);
  EditStep step(page_);
  panel_->SetBandGain(LeadingNumber(grid_->GetItemText(row, kGain)), row);
  const float frequency = LeadingNumber(grid_->GetItemText(row, kFrequency));
  if (frequency != 0.0f) {
    panel_->SetBandFrequency(row, std::clamp(frequency, 20.0f, 20000.0f));
    panel_->RecomputeBand(row);
  }
  panel_->SetBandQ(LeadingNumber(grid_->GetItemText(row, kQ)), row);
  SendBand(row);
  WriteRow(row);
  FillEditor();
}

}  // namespace ui

namespace ui {

void BandEditor::ImportRewFilters() {
  const UiLanguage& lang = page_.Language();
  const QString path = page_.Context().prompts.OpenFile(
      &page_, lang.Pick("REW 滤波器设置 (*.txt);;所有文件 (*)",
                        "REW filter settings (*.txt);;All files (*)"));
  if (path.isEmpty()) return;
  QFile file(path);
  // A filter export is a few kilobytes; anything far larger is not one.
  constexpr qint64 kMaxSize = 1 << 20;
  if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSize) {
    page_.Context().prompts.Message(
        &page_, lang.Pick("错误", "Error"),
        lang.Pick("无法读取文件：%1", "Cannot read the file: %1").arg(path),
        Prompts::Icon::Warning);
    return;
  }
  ImportRewText(file.readAll());
}

bool BandEditor::ImportRewText(const QByteArray& text) {
  const UiLanguage& lang = page_.Language();
  const int kind = panel_->Kind();
  const cp::RewImportPlan plan = cp::PlanRewImportText(
      std::string_view(text.constData(), static_cast<std::size_t>(text.size())), kind);
  if (!plan.Ok()) {
    page_.Context().prompts.Message(&page_, lang.Pick("导入 REW 滤波器", "Import REW filters"),
                                    RewRefusalText(lang, plan), Prompts::Icon::Warning);
    return false;
  }
  CloseGesture();
  ClearSelection();
  {
    EditStep step(page_);
    const int plain = cp::EqPlainBandCount(kind);
    for (int band = 0; band < plain; ++band) {
      cp::BandSettings s = cp::ResetBand(kind, band);
      for (const cp::RewAssignment& a : plan.bands) {
        if (a.band == band) s = a.settings;
      }
      panel_->SetBandType(band, s.type);
      panel_->SetBandGain(s.gain, band);
      panel_->SetBandFrequency(band, static_cast<float>(s.frequency));
      panel_->SetBandQ(s.q, band);
      panel_->RecomputeBand(band);
      SendBand(band);
      WriteRow(band);
    }
  }
  panel_->update();
  if (page_.Context().showNotice) {
    page_.Context().showNotice(lang.Pick("已导入 %1 个 REW 滤波器", "%1 REW filters imported")
                                   .arg(static_cast<int>(plan.bands.size())),
                               1500);
  }
  emit EqChanged();
  return true;
}

}  // namespace ui
