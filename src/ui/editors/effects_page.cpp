#include "ui/editors/effects_page.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "core/params/eq_bank.h"
#include "core/session.h"
#include "ui/controls/artwork.h"
#include "ui/controls/ctrl_id.h"
#include "ui/controls/gdip_button.h"
#include "ui/controls/grid/grid_list_ctrl.h"
#include "ui/editors/band_editor.h"
#include "ui/editors/eq_panel.h"
#include "ui/shell/command_ids.h"
#include "ui/shell/ui_language.h"

namespace cp = core::params;

namespace ui {

namespace {

using namespace ids::effects;

// Reverb A, reverb B, echo A, echo B.
constexpr CDialogEfx::Type kTypes[CDialogEfx::kTypeCount] = {
    {4, cp::kReverbAEqBypass},
    {5, cp::kReverbBEqBypass},
    {2, cp::kEchoAEqBypass},
    {3, cp::kEchoBEqBypass},
};

constexpr const char* kNamesZh[CDialogEfx::kTypeCount] = {"混响A效果", "混响B效果", "回声A效果",
                                                          "回声B效果"};
constexpr const char* kNamesEn[CDialogEfx::kTypeCount] = {"Reverb A", "Reverb B", "Echo A",
                                                          "Echo B"};

}  // namespace

const CDialogEfx::Type& CDialogEfx::TypeInfo(int type) {
  return kTypes[std::clamp(type, 0, kTypeCount - 1)];
}

CDialogEfx::CDialogEfx(PageContext& context, QWidget* parent, int type)
    : EditorPage(context, ids::kEffectsPage, parent), type_(std::clamp(type, 0, kTypeCount - 1)) {
  setObjectName(QStringLiteral("CDialogEfx"));
  bands_ = new BandEditor(*this, kBandCount, this);
  // One equaliser, nothing linked: a band reaches the type's EQ alone.
  bands_->SetSend([this](int record, const cp::BandSettings& settings) {
    Session().Eq().SendEqBand(TypeInfo(type_).eqKind, record, settings);
  });
  bands_->Panel()->SetSevenBands();
  title_ = new QLabel(this);
  SetCtrlId(title_, kTitle);
  back_ = new CGdipButton(this);
  SetCtrlId(back_, kBack);
  back_->LoadStdImage(art::kBackButton);
  back_->setFixedSize(art::ArtworkSize(art::kBackButton));
  connect(back_, &CGdipButton::clicked, this, &CDialogEfx::Back);
  BuildLayout();

  RetextOwn();
  Reload();
  Retext();
}

CDialogEfx::~CDialogEfx() = default;

void CDialogEfx::BuildLayout() {
  // The title over the band list (or the band editor) on the left, the
  // curve taking the rest of the page on the right; the back button in the
  // top right corner, 2 pixels from the edges.
  auto* head = new QHBoxLayout;
  head->setContentsMargins(0, 0, 0, 0);
  head->addWidget(title_, 0, Qt::AlignLeft | Qt::AlignVCenter);
  head->addStretch();
  head->addWidget(back_, 0, Qt::AlignRight | Qt::AlignTop);
  auto* left = new QVBoxLayout;
  left->addWidget(bands_->ListArea());
  left->addStretch();
  auto* body = new QHBoxLayout;
  body->addLayout(left);
  body->addWidget(bands_->Panel(), 1);
  auto* page = new QVBoxLayout(this);
  page->setContentsMargins(8, 2, 2, 4);
  page->setSpacing(4);
  page->addLayout(head);
  page->addLayout(body, 1);
}

void CDialogEfx::Retarget(int type) {
  if (type < 0 || type >= kTypeCount) return;
  type_ = type;
  // Title, selection and bands of the new type, in the current language.
  Retext();
}

void CDialogEfx::RetextOwn() {
  bands_->Retext();
  NameControls();
}

void CDialogEfx::NameControls() {
  const UiLanguage& lang = Language();
  const QString name = QString::fromUtf8(lang.English() ? kNamesEn[type_] : kNamesZh[type_]);
  title_->setAccessibleName(name);
  bands_->Panel()->setAccessibleName(name + QLatin1Char(' ') + bands_->Panel()->Title());
  bands_->Grid()->setAccessibleName(lang.Pick("均衡列表", "Band list"));
  // Effect EQs have no composite bands: the slope drop-down never shows.
  bands_->Crossover()->setAccessibleName(lang.Pick("分频斜率", "Crossover slope"));
  back_->setAccessibleName(lang.Pick("返回", "Back"));
}

void CDialogEfx::Reload() {
  LoadTitle();
  LoadBands();
}

void CDialogEfx::LoadTitle() {
  const int id = Language().English() ? art::kEffectTitleEn[type_] : art::kEffectTitleZh[type_];
  title_->setPixmap(art::LoadArtwork(id, devicePixelRatioF()));
}

void CDialogEfx::LoadBands() {
  // Clears the selection, shows the grid, fills panel and rows from the
  // store and marks the curve when the EQ is bypassed.
  const int bypass = Session().Params().Mirror(TypeInfo(type_).bypass).AsInt();
  bands_->Load(TypeInfo(type_).eqKind, Session().Params().Store(), bypass);
  bands_->Panel()->setFocus();
}

bool CDialogEfx::TakesWheel(int ctrlId) const {
  return ctrlId == BandEditor::kPanel ||
         (ctrlId >= BandEditor::kGainSlider && ctrlId <= BandEditor::kQSlider);
}

void CDialogEfx::Back() {
  if (Context().showPage) Context().showPage(ids::kMusicPage, Context().state.micTab);
}

// ---- The status bar's EQ commands

bool CDialogEfx::EqBypassed() const {
  const int bypass = Session().Params().Mirror(TypeInfo(type_).bypass).AsInt();
  // The status bar asks after every change: the curve's mark follows.
  CEqPanel* panel = bands_->Panel();
  if (panel->Bypassed() != bypass) {
    panel->SetBypassed(bypass);
    panel->update();
  }
  return bypass != 0;
}

void CDialogEfx::ToggleEqBypass() {
  const cp::ParamName bypass = TypeInfo(type_).bypass;
  {
    EditStep step(*this);
    const int now = Session().Params().Mirror(bypass).AsInt();
    Session().Params().SetParam(bypass, now == 0 ? 1 : 0);
  }
  EqBypassed();
}

void CDialogEfx::ResetShownEq() {
  bands_->ClearSelection();
  {
    EditStep step(*this);
    Session().Eq().ResetEq(TypeInfo(type_).eqKind);
  }
  LoadBands();
}

}  // namespace ui
