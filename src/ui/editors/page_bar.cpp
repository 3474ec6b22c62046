#include "ui/editors/page_bar.h"

#include "ui/controls/artwork.h"
#include "ui/controls/ctrl_id.h"
#include "ui/controls/fonts.h"
#include "ui/controls/gdip_button.h"
#include "ui/shell/command_ids.h"
#include "ui/shell/page_context.h"

namespace ui {

namespace {
constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 28;
constexpr int kGap = 4;
}  // namespace

PageBar::PageBar(PageContext& context, QWidget* parent)
    : QWidget(parent), context_(context), recordPage_(ids::kRecordPage) {
  for (int i = 0; i < kButtonCount; ++i) {
    auto* b = new CGdipButton(this);
    SetCtrlId(b, kIds[i]);
    b->LoadStdImage(art::kPageButton);
    b->LoadAltImage(art::kPageButtonSelected);
    b->SetCaptionFont(MakeFont(QString::fromUtf8("宋体"), 12));
    b->SetTextColor(Qt::white);
    b->setFocusPolicy(Qt::TabFocus);
    const int id = kIds[i];
    connect(b, &CGdipButton::clicked, this, [this, id] { Pressed(id); });
    buttons_[i] = b;
  }
  Arrange();
}

int PageBar::ChannelButton(int channel) {
  return channel >= 0 && channel < 8 ? kIds[channel] : -1;
}

CGdipButton* PageBar::Button(int ctrlId) const {
  for (int i = 0; i < kButtonCount; ++i) {
    if (kIds[i] == ctrlId) return buttons_[i];
  }
  return nullptr;
}

void PageBar::SetHidden(std::initializer_list<int> ids) {
  for (int id : ids) {
    for (int i = 0; i < kButtonCount; ++i) {
      if (kIds[i] == id) {
        hidden_[i] = true;
        buttons_[i]->hide();
      }
    }
  }
  Arrange();
}

void PageBar::SetSelected(int ctrlId) {
  for (int i = 0; i < kButtonCount; ++i) buttons_[i]->SetAltImage(kIds[i] == ctrlId);
}

void PageBar::Pressed(int ctrlId) {
  if (!context_.showPage) return;
  for (int c = 0; c < 8; ++c) {
    if (kIds[c] == ctrlId) {
      context_.showPage(ids::kOutputPage, c);
      return;
    }
  }
  switch (ctrlId) {
    case kLocation:
      context_.showPage(ids::kSoundFieldPage, 0);
      break;
    case kRecord:
      context_.showPage(recordPage_, 0);
      break;
    case kCompressor:
      context_.showPage(ids::kCompressorPage, 0);
      break;
    default:
      break;
  }
}

QSize PageBar::sizeHint() const {
  int shown = 0;
  for (bool hidden : hidden_) shown += hidden ? 0 : 1;
  return QSize(shown * (kButtonWidth + kGap), kButtonHeight);
}

void PageBar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Arrange();
}

void PageBar::Arrange() {
  int x = 0;
  for (int i = 0; i < kButtonCount; ++i) {
    if (hidden_[i]) continue;
    buttons_[i]->setGeometry(x, 0, kButtonWidth, kButtonHeight);
    x += kButtonWidth + kGap;
  }
}

}  // namespace ui
