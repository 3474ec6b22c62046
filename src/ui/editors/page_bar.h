#pragma once

#include <QWidget>
#include <array>

namespace ui {

class CGdipButton;
struct PageContext;

// The row of page buttons over the output, record, sound-field, compressor
// and delay pages: CH1..CH8 (the output page of that channel), the sound
// field, the record page (or, on the compressor and delay pages, the delay
// page) and the compressor page. A button opens its page through the page
// context; the output page's channel buttons switch it in place.
class PageBar : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kButtonCount = 11;
  // The ids in the order they stand, left to right.
  static constexpr std::array<int, kButtonCount> kIds = {1069, 1072, 1070, 1071, 1076, 1077,
                                                         1078, 1079, 1073, 1074, 1075};
  static constexpr int kLocation = 1073;
  static constexpr int kRecord = 1074;  // the delay page's button on compressor and delay pages
  static constexpr int kCompressor = 1075;

  PageBar(PageContext& context, QWidget* parent);

  // The id of channel c's button (0..7), -1 outside.
  static int ChannelButton(int channel);

  CGdipButton* Button(int ctrlId) const;
  // Buttons the page does not show (the output page hides 1074 and 1075).
  void SetHidden(std::initializer_list<int> ids);
  // The button of the current page or channel shows its alternate face.
  void SetSelected(int ctrlId);
  // The page button 1074 opens (the record page, or the delay page).
  void SetRecordButtonPage(int dialogId) { recordPage_ = dialogId; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Pressed(int ctrlId);
  void Arrange();
  int ShownCount() const;

  PageContext& context_;
  std::array<CGdipButton*, kButtonCount> buttons_{};
  std::array<bool, kButtonCount> hidden_{};
  int recordPage_;
};

}  // namespace ui
