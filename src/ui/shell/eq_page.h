#pragma once

namespace ui {

// What the status bar's EQ elements ask of the page that shows an
// equaliser. The EQ pages implement it; other pages do not.
class EqPage {
 public:
  virtual ~EqPage() = default;
  // The bypass value of the equaliser shown (ticked when bypassed).
  virtual bool EqBypassed() const = 0;
  virtual void ToggleEqBypass() = 0;
  // Resets the equaliser shown and redraws.
  virtual void ResetShownEq() = 0;
};

}  // namespace ui
