#pragma once

#include <array>
#include <cstdint>

#include "ui/editors/music_input_dlg.h"

namespace ui {

// The source dialog of boards that describe their own inputs (input
// descriptor starting with "U", dialog 542): the descriptor's bytes 1..4
// say which of the fourteen sources exist and which of them are Android or
// Bluetooth inputs; the kept rows are stacked and the window's height
// follows them.
class CDialogMusicInputSet : public CDialogMusicInput {
  Q_OBJECT

 public:
  using Descriptor = std::array<std::uint8_t, 5>;

  explicit CDialogMusicInputSet(PageContext& context, QWidget* parent = nullptr);

  // The rows a descriptor keeps (bit k: row k).
  static std::uint16_t RowsOf(const Descriptor& d);
  // The name a descriptor gives row k over the language text `text`.
  static QString NameOf(const Descriptor& d, int row, const QString& text);

 protected:
  std::uint16_t KeptRows() const override;
  void RenameRows() override;

 private:
  Descriptor CurrentDescriptor() const;
};

}  // namespace ui
