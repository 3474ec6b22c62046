#pragma once

#include <QWidget>

#include "ui/shell/page_context.h"

namespace ui {

// The base of every editor page of the main view's page area. It keeps
// the page context and the page's dialog id, paints the page colour, keeps
// Enter, Escape and F1 to itself (a page never closes) and sends the wheel
// to the focused control when the page says that control takes it.
//
// Edits: every user gesture on a page is one step of the session's edit
// history. The shared pieces (control tables, band editor) open and close
// the step around their sends; a page's own behaviours wrap theirs in an
// EditStep. Undoing a step sends the earlier values again and shows the
// page and the sub-page (channel, input) where the edit was made.
class EditorPage : public QWidget {
  Q_OBJECT

 public:
  EditorPage(PageContext& context, int dialogId, QWidget* parent);
  ~EditorPage() override;

  PageContext& Context() const { return context_; }
  core::Session& Session() const { return context_.session; }
  const UiLanguage& Language() const { return context_.language; }
  int PageDialogId() const { return dialogId_; }

  // The channel, input or tab the page shows (0 where there is one only).
  virtual int Sub() const { return 0; }
  // Asked for `sub` again while shown: switch in place.
  virtual void Reselect(int sub) { (void)sub; }
  // Every control from the session's mirrors and stores.
  virtual void Reload() = 0;
  // The texts of the current language: the dialog's texts by control id,
  // then the page's own (RetextOwn), then a reload.
  void Retext();

  // Opens (nested: counts) and closes one step of the edit history, made
  // on this page and its current sub-page.
  void BeginEdit();
  void EndEdit();
  bool InEdit() const { return editDepth_ > 0; }

 protected:
  // Texts built in code (drop-down entries, grid headings, images).
  virtual void RetextOwn() {}
  // True when the wheel, turned anywhere over the page, goes to the focused
  // control of this id. None by default.
  virtual bool TakesWheel(int ctrlId) const {
    (void)ctrlId;
    return false;
  }

  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  PageContext& context_;
  int dialogId_;
  int editDepth_ = 0;
};

// One step of the edit history for the lifetime of the object.
class EditStep {
 public:
  explicit EditStep(EditorPage& page) : page_(page) { page_.BeginEdit(); }
  ~EditStep() { page_.EndEdit(); }
  EditStep(const EditStep&) = delete;
  EditStep& operator=(const EditStep&) = delete;

 private:
  EditorPage& page_;
};

}  // namespace ui
