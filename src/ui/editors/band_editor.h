#pragma once

#include <QColor>
#include <QObject>
#include <QStackedWidget>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <span>

#include "core/params/eq_kinds.h"

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

class QWidget;

namespace ui {

class CEqPanel;
class CGridListCtrl;
class CXBmpSlider;
class EditorPage;

// The equaliser of an EQ page: the curve panel (1040), the band grid (1139),
// the band editor (group boxes 1199..1202, band number 1203, type radios
// 1204..1208, sliders 1209..1211, edits 1212..1214) and the crossover
// drop-down (1134, label 1215) of composite bands, with the selection logic
// that ties them: the grid shows while no band is selected, the editor
// while one is; never both.
//
// The editor does not know whom a band reaches: the page gives it a send
// that takes one record (the band, or one section of a composite band) and
// sends it to every channel it should. Each gesture (a drag on the curve, a
// slider gesture, a typed value, a type or slope chosen, a grid edit, a
// paste) is one step of the page's edit history.
class BandEditor : public QObject {
  Q_OBJECT

 public:
  using SendRecord = std::function<void(int record, const core::params::BandSettings& settings)>;

  // Ids of the composite's controls (the same on every EQ page).
  static constexpr int kPanel = 1040, kGrid = 1139, kTypeGroup = 1199, kFrequencyGroup = 1200,
                       kGainGroup = 1201, kQGroup = 1202, kBandNumber = 1203, kTypeFirst = 1204,
                       kGainSlider = 1209, kFrequencySlider = 1210, kQSlider = 1211,
                       kGainEdit = 1212, kFrequencyEdit = 1213, kQEdit = 1214, kCrossover = 1134,
                       kCrossoverLabel = 1215;

  BandEditor(EditorPage& page, int rows, QWidget* parent);

  void SetSend(SendRecord send) { send_ = std::move(send); }
  // The grid's row count (the grid is rebuilt when it changes).
  void SetRowCount(int rows);
  int RowCount() const { return rows_; }
  // The text colour of the grid's rows (RGB 0, 200, 255 by default).
  void SetRowTextColour(const QColor& colour);
  QColor RowTextColour() const { return rowText_; }
  // For pages without composite bands: the crossover drop-down and its label
  // never show and give up their ids (1134, 1215), which such a page may
  // use for controls of its own.
  void DropCrossover();

  CEqPanel* Panel() const { return panel_; }
  CGridListCtrl* Grid() const { return grid_; }
  // The grid (with the import button) and the editor in one place: the
  // page lays this out.
  QWidget* ListArea() const { return area_; }
  QWidget* EditorBox() const { return editor_; }
  QComboBox* Crossover() const { return crossover_; }

  // The bands of `kind` from the equaliser store, the grid rows after them,
  // and the bypass mark. Clears the selection first.
  void Load(int kind, std::span<const std::uint8_t> store, int bypassed);
  // The grid's columns and rows in the current language (then Load fills
  // them), the type names and the crossover entries.
  void Retext();
  void ClearSelection();
  // A band chosen as a click on its handle would.
  void Select(int band);
  int Selected() const { return selected_; }

  // Sends band `band` (and its sections) through the page's send.
  void SendBand(int band);

  // "Import REW filters…": a REW filter-settings text over the plain bands
  // (the rest flattened, the crossover kept), sent as one edit; a refusal
  // names the line. The button stands under the grid.
  QAbstractButton* RewButton() const { return rewButton_; }
  void ImportRewFilters();
  // The same with the text already read (the file dialog's part done);
  // false, with the refusal shown, when nothing was imported.
  bool ImportRewText(const QByteArray& text);

  // The grid texts of a type in the current language ("" outside 0..5).
  QString TypeName(int type) const;

  // Types the user may choose: 1..5 as radios and grid names.
  static constexpr int kTypeCount = 6;

 signals:
  // Something of the equaliser changed (the page may refresh its status).
  void EqChanged();

 private:
  void OnBandChanged(int band);
  void OnEditEnded();
  void OnCopyPaste(int action, int kind);
  void OnSliderMoved(int ctrlId, int position);
  void ApplyEditor();
  void ChooseType(int type);
  void ChooseSlope(int slope);
  void OnGridEdited(int row, int column, const QString& text);
  void WriteRow(int band);
  void FillEditor();
  void SetUpCrossover();
  void ShowEditor(bool editor);
  // Opens the edit step of a gesture unless one is open; CloseGesture ends it.
  void OpenGesture();
  void CloseGesture();

  EditorPage& page_;
  int rows_;
  int selected_ = -1;
  bool gestureOpen_ = false;
  int sliderGesture_ = -1;
  bool filling_ = false;  // the editor is being filled: its signals are ours
  bool crossoverDropped_ = false;
  QColor rowText_{0, 200, 255};
  SendRecord send_;

  CEqPanel* panel_;
  CGridListCtrl* grid_;
  QStackedWidget* area_;
  QWidget* listPage_;  // the grid and the import button
  QWidget* editor_;
  QLabel* bandNumber_;
  std::array<QGroupBox*, 4> groups_{};
  std::array<QRadioButton*, 5> radios_{};
  QButtonGroup* radioGroup_;
  CXBmpSlider* gainSlider_;
  CXBmpSlider* frequencySlider_;
  CXBmpSlider* qSlider_;
  QLineEdit* gainEdit_;
  QLineEdit* frequencyEdit_;
  QLineEdit* qEdit_;
  QComboBox* crossover_;
  QLabel* crossoverLabel_;
  QAbstractButton* rewButton_;
};

// The leading number of a text ("12.5dB" is 12.5); 0 when it has none.
float LeadingNumber(const QString& text);

}  // namespace ui
