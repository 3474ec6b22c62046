#pragma once

#include "core/params/named_params.h"
#include "ui/shell/editor_page.h"
#include "ui/shell/eq_page.h"

class QLabel;

namespace ui {

class BandEditor;
class CGdipButton;

// Control ids of the effect EQ page (dialog 421); the curve, the band grid
// and the band editor are BandEditor's (1040, 1139, 1199..1214).
namespace ids::effects {
inline constexpr int kTitle = 1258;
inline constexpr int kBack = 1068;
}  // namespace ids::effects

// The seven-band equaliser of one effect path and set: reverb A, reverb B,
// echo A or echo B (the page's type, 0..3). The mic and music page opens it
// from its effect previews; asked for another type while shown, the page
// switches in place. The back button returns to the mic and music page on
// the tab it last showed.
class CDialogEfx : public EditorPage, public EqPage {
  Q_OBJECT

 public:
  static constexpr int kTypeCount = 4;
  static constexpr int kBandCount = 7;

  // What each type edits.
  struct Type {
    int eqKind;                      // the equaliser (EQ kinds 4, 5, 2, 3)
    core::params::ParamName bypass;  // its bypass switch
  };
  static const Type& TypeInfo(int type);

  CDialogEfx(PageContext& context, QWidget* parent, int type);
  ~CDialogEfx() override;

  int EffectType() const { return type_; }
  // Shows another type in this window: title, bands and texts anew.
  void Retarget(int type);

  // EditorPage
  int Sub() const override { return type_; }
  void Reselect(int sub) override { Retarget(sub); }
  void Reload() override;

  // EqPage: the status bar's bypass and reset of the type's equaliser.
  bool EqBypassed() const override;
  void ToggleEqBypass() override;
  void ResetShownEq() override;

  BandEditor& Bands() const { return *bands_; }
  CGdipButton& BackButton() const { return *back_; }

 protected:
  void RetextOwn() override;
  bool TakesWheel(int ctrlId) const override;

 private:
  void BuildLayout();
  void LoadTitle();
  void LoadBands();
  void ShowBypass();
  void Back();
  void NameControls();

  int type_;
  BandEditor* bands_;
  QLabel* title_;
  CGdipButton* back_;
};

}  // namespace ui
