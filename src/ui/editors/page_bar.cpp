#include "ui/editors/page_bar.h"

#include <algorithm>

#include "ui/controls/artwork.h"
#include "ui/controls/ctrl_id.h"
#include "ui/controls/fonts.h"
#include "ui/controls/gdip_button.h"
#include "ui/shell/command_ids.h"
#include "ui/shell/page_context.h"

namespace ui {

namespace {
constexpr int kButtonWidth = 84;     // when there is room
constexpr int kMinButtonWidth = 64;  // still holds "声场定位" and "Location"
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
    b->setMinimumWidth(kMinButtonWidth);
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

int PageBar::ShownCount() const {
  int shown = 0;
  for (bool hidden : hidden_) shown += hidden ? 0 : 1;
  return shown;
}

QSize PageBar::sizeHint() const { return QSize(ShownCount() * (kButtonWidth + kGap), kButtonHeight); }

QSize PageBar::minimumSizeHint() const {
  return QSize(ShownCount() * (kMinButtonWidth + kGap), kButtonHeight);
}

void PageBar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Arrange();
}

void PageBar::Arrange() {
  // The buttons narrow, down to a floor, when the page is short of room.
  const int shown = std::max(1, ShownCount());
  const int width = std::clamp(this->width() / shown - kGap, kMinButtonWidth, kButtonWidth);
  int x = 0;
  for (int i = 0; i < kButtonCount; ++i) {
    if (hidden_[i]) continue;
    buttons_[i]->setGeometry(x, 0, width, kButtonHeight);
    x += width + kGap;
  }
}

}  // namespace ui
