#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace core {
class Session;
}

namespace ui {

class CMainFrame;
class CRV4470v13App;

// The device modes M1..M4 (load into the processor, store its settings),
// the mode files on the PC and the machine reset, with their questions and
// notices.
class ModeCommands : public QObject {
  Q_OBJECT
 public:
  static constexpr int kSavingNoticeDelayMs = 500;

  ModeCommands(CRV4470v13App& app, CMainFrame& frame, QWidget* owner);

  // Device mode n (0..3): loading asks first when settings were changed;
  // storing always asks.
  void LoadMode(int n);
  void StoreMode(int n);
  // The processor keeps its current settings in `mode`, without a question.
  void SaveToMode(int mode);

  // The file commands: they need a connected processor and ask for a path.
  void LoadModeFileCommand();
  void SaveModeFileCommand();
  // A mode file into the processor (write-all); a file named m1..m4 is then
  // stored into that device mode once the write-all has ended.
  void LoadModeFileAt(const QString& path);
  // False, after telling the user why, when the file was not written.
  bool SaveModeFileAt(const QString& path);
  // The mode file named on the command line, after the first
  // synchronisation: loaded into the processor when the user agrees.
  void OfferCommandLineFile(const QString& path);

  void MachineReset();

  // A synchronisation ended with the protocol the processor must speak:
  // the slot of a mode file the write-all pushed is stored now. Any other
  // end forgets the slot.
  void SyncEnded(bool afterWrite, bool protocolOk);
  int PendingModeSlot() const { return pendingModeSlot_; }

 private:
  void FileError(const QString& path, int error, const char* zh, const char* en);

  CRV4470v13App& app_;
  CMainFrame& frame_;
  core::Session& session_;
  QWidget* owner_;
  int pendingModeSlot_ = -1;
};

}  // namespace ui
