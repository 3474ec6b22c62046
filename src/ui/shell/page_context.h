#pragma once

#include <QString>
#include <functional>

#include "ui/shell/page_state.h"

namespace core {
class Session;
}

namespace ui {

class Prompts;
class UiLanguage;

// What every editor page is made with: the session it edits, the language,
// the message boxes, the values that outlive a page and the few services of
// the application a page asks for. The application owns the one context;
// tests build their own.
struct PageContext {
  core::Session& session;
  UiLanguage& language;
  Prompts& prompts;
  PageState& state;
  // The notice window with a text for a while (ms).
  std::function<void(const QString& text, int durationMs)> showNotice;
  // Keeps the speaker links in the settings ("QtOption"); false when the
  // settings could not be written.
  std::function<bool(const LinkOptions& links)> saveLinkOptions;
  // Makes a page current (the page bar's buttons): the page of `dialogId`
  // for `sub` (a channel, an input), switched in place when it is shown.
  std::function<void(int dialogId, int sub)> showPage;
};

}  // namespace ui
