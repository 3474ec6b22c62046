#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>

class QWidget;

namespace ui {

struct PageContext;

// How a page of the main view is made. The editor pages register here; an
// id without a factory leaves the page area empty. A page derived from
// EditorPage is spoken to through its own hooks (reselect, re-text,
// reload); the hooks below serve pages that are not.
struct PageFactory {
  // Creates the page as a child of `parent` for `sub` (channel, input, type).
  std::function<QWidget*(PageContext& context, QWidget* parent, int sub)> create;
  // The page exists and is asked for `sub` again: select it without making
  // a new page. Empty: nothing happens.
  std::function<void(QWidget* page, int sub)> reselect;
  // Re-texts the page after a language switch.
  std::function<void(QWidget* page)> retext;
  // Refreshes the page from the session after a synchronisation.
  std::function<void(QWidget* page)> refresh;
};

// The modeless dialogs, each at most once, in the order the view re-texts,
// refreshes and closes them.
enum class ModelessDialog : int {
  MachineSettings,      // 335, the F7 key
  AutoSub,              // 410, command 32883
  InputSource,          // 512 or the model's variant, "Input Source"
  InputSourceSettings,  // 542, "Input Source" on boards tagged "U"
  DeviceRemote,         // 373, "Remote control", while connected
  SmartPlug,            // 479, command 32771
  Loudness,             // 515, "Features"
  NetworkConnect,       // 521, "Connect IP" (the shell's own)
};
inline constexpr int kModelessDialogCount = 8;

// How a modeless dialog is made and spoken to. The application opens it
// (creating it on first use), deletes it when its window closes, and
// calls the hooks that are set.
struct ModelessFactory {
  // Makes the dialog's window, without a parent, from `templateId`, with
  // what the pages are made with (session, language, prompts, services).
  std::function<QWidget*(PageContext& context, int templateId)> create;
  // The dialog id whose texts the language file gives it on opening and on
  // a language switch; 0 when `retext` does the work.
  int textsId = 0;
  std::function<void(QWidget* dialog)> retext;
  // Reloads the dialog from the session: on opening and after every
  // synchronisation.
  std::function<void(QWidget* dialog)> refresh;
  // The dialog's own close (closing what it opened first); empty: the
  // window is closed.
  std::function<void(QWidget* dialog)> close;
  // A command the view routes to the open dialog (the machine settings'
  // mode restores, 32823..32826).
  std::function<void(QWidget* dialog, int command)> command;
  // A key code the processor learnt (the device remote's learning).
  std::function<void(QWidget* dialog, std::uint8_t code)> remoteKey;
  // Progress of a smart-plug run: message 3024 or 3025 with its values.
  std::function<void(QWidget* dialog, int message, int wParam, long lParam)> plugMessage;
};

class PageRegistry {
 public:
  void Register(int dialogId, PageFactory factory) { factories_[dialogId] = std::move(factory); }
  const PageFactory* Find(int dialogId) const {
    auto it = factories_.find(dialogId);
    return it == factories_.end() ? nullptr : &it->second;
  }
  bool Empty() const { return factories_.empty(); }

  void RegisterDialog(ModelessDialog which, ModelessFactory factory) {
    dialogs_[static_cast<std::size_t>(which)] = std::move(factory);
  }
  // Nothing when no factory makes that dialog.
  const ModelessFactory* FindDialog(ModelessDialog which) const {
    const ModelessFactory& f = dialogs_[static_cast<std::size_t>(which)];
    return f.create ? &f : nullptr;
  }

 private:
  std::map<int, PageFactory> factories_;
  std::array<ModelessFactory, kModelessDialogCount> dialogs_{};
};

}  // namespace ui
