#pragma once

#include <QDialog>
#include <array>
#include <cstdint>

#include "core/params/named_params.h"

class QButtonGroup;
class QLabel;
class QRadioButton;

namespace ui {

class CXBmpSlider;
struct PageContext;

// Control ids of the source dialogs (512, its model variants 527..541, and
// 542): row k (0..13) is the radio kRadioFirst + k, the slider SliderId(k)
// and the value text kTextFirst + k.
namespace ids::source {
inline constexpr int kRowCount = core::params::kMusicSourceCount;
inline constexpr int kRadioFirst = 1243;
inline constexpr int kTextFirst = 1267;
inline constexpr int kSliders[kRowCount] = {1257, 1258, 1259, 1260, 1261, 1049, 1262,
                                            1263, 1264, 1265, 1054, 1052, 1266, 1053};
constexpr int SliderId(int row) {
  return row >= 0 && row < kRowCount ? kSliders[row] : -1;
}
}  // namespace ids::source

// "Source setting": the music input source (one radio per source, sent as
// (4, 23)) and the level of every source (4, 24 + k). The template, chosen
// by the connected model when the dialog is made, says which sources the
// model has and the names printed on them. Modeless; each choice and each
// slider gesture is one step of the edit history, made in this template.
class CDialogMusicInput : public QDialog {
  Q_OBJECT

 public:
  // Rows shown by a template (bit k: row k), and whether it is one this
  // dialog knows (any other shows every row with the texts of 512).
  static std::uint16_t TemplateRows(int templateId);
  static bool KnownTemplate(int templateId);

  CDialogMusicInput(PageContext& context, int templateId, QWidget* parent = nullptr);
  ~CDialogMusicInput() override;

  int TemplateId() const { return templateId_; }
  // The dialog id whose language texts it shows.
  int TextsId() const;

  // Sliders, texts and the chosen source from the parameter model, the
  // rows the processor has, then the language texts.
  void Refresh();
  // Title and names in the current language.
  void Retext();

  QRadioButton* Radio(int row) const { return rows_[row].radio; }
  CXBmpSlider* Slider(int row) const { return rows_[row].slider; }
  QLabel* Text(int row) const { return rows_[row].text; }
  bool RowKept(int row) const { return (kept_ >> row) & 1u; }

  QSize sizeHint() const override;

 protected:
  // The rows kept (bit k: row k).
  virtual std::uint16_t KeptRows() const;
  // Names the rows after the language texts are applied.
  virtual void RenameRows() {}
  bool eventFilter(QObject* watched, QEvent* event) override;

  PageContext& Context() const { return context_; }

 private:
  struct Row {
    QRadioButton* radio = nullptr;
    CXBmpSlider* slider = nullptr;
    QLabel* text = nullptr;
  };
  void LayOut();
  void SourceChosen(int row);
  void SliderMoved(int row, int position);
  void GestureEnded();
  void NameSliders();

  PageContext& context_;
  int templateId_;
  std::array<Row, ids::source::kRowCount> rows_{};
  QButtonGroup* group_;
  std::uint16_t kept_ = 0;
  int height_ = 0;
  bool gestureOpen_ = false;
};

}  // namespace ui
