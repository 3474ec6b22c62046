#pragma once

// What the editor-page tests share: a page's surroundings without the
// application (a session on a recording USB transport, the language, the
// prompts, the page state and context), the frames it sent, and the check
// that every control is named for assistive technology.

#include <QAccessible>
#include <QCoreApplication>
#include <QLabel>
#include <QTest>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app_test_support.h"
#include "recording_session.h"
#include "ui/controls/ctrl_id.h"
#include "ui/shell/page_context.h"
#include "ui/shell/ui_language.h"

namespace pagetest {

using Bytes = std::vector<std::uint8_t>;

// A parameter frame's body: 09 00, module, parameter, word count, words.
inline Bytes Param(int module, int param, std::initializer_list<std::uint32_t> words) {
  Bytes b{0x09, 0x00, static_cast<std::uint8_t>(module), static_cast<std::uint8_t>(param),
          static_cast<std::uint8_t>(words.size())};
  for (std::uint32_t w : words) {
    for (int shift : {24, 16, 8, 0}) b.push_back(static_cast<std::uint8_t>(w >> shift));
  }
  return b;
}
inline Bytes Param(int module, int param, std::uint32_t word) { return Param(module, param, {word}); }

// Lets the posted notifications (slider moves and releases) arrive.
inline void Settle() {
  QTest::qWait(0);
  QCoreApplication::processEvents();
}

// The surroundings of one page of type P.
template <typename P>
struct PageRig : testsupport::RecordingSession {
  explicit PageRig(int language = 0) {
    lang.SetLanguage(language);
    lang.LoadFile();
  }

  template <typename T = QWidget>
  T* Ctrl(int id) {
    return qobject_cast<T*>(ui::FindCtrl(page.get(), id));
  }
  // Bodies of the parameter frames (09 ..) sent since the last Clear.
  std::vector<Bytes> ParamFrames() const {
    std::vector<Bytes> frames;
    for (const Bytes& b : usb.Bodies()) {
      if (!b.empty() && b[0] == 0x09) frames.push_back(b);
    }
    return frames;
  }
  // The (module, parameter) pairs of those frames, in order.
  std::vector<std::pair<int, int>> Targets() const {
    std::vector<std::pair<int, int>> t;
    for (const Bytes& b : ParamFrames()) t.emplace_back(b[2], b[3]);
    return t;
  }

  ui::UiLanguage lang;
  apptest::FakePrompts prompts;
  ui::PageState state;
  QStringList notices;                              // "text ms"
  std::vector<ui::LinkOptions> saved;               // every "QtOption" written
  std::vector<std::pair<int, int>> pagesShown;      // (dialog, sub) asked for
  std::function<void(int dialog, int sub)> onShow;  // a page switching itself in place
  ui::PageContext context{
      session,
      lang,
      prompts,
      state,
      [this](const QString& text, int ms) { notices << QStringLiteral("%1 %2").arg(text).arg(ms); },
      [this](const ui::LinkOptions& l) {
        saved.push_back(l);
        return true;
      },
      [this](int dialog, int sub) {
        pagesShown.emplace_back(dialog, sub);
        if (onShow) onShow(dialog, sub);
      }};
  std::unique_ptr<P> page;
};

// Every id'd control the page shows has a name (a static with text is its
// own name); returns how many were checked.
inline int CheckEveryControlNamed(QWidget* page) {
  int named = 0;
  for (QWidget* w : page->findChildren<QWidget*>()) {
    if (ui::CtrlId(w) < 0 || ui::DialogId(w) >= 0 || w->isHidden()) continue;
    auto* label = qobject_cast<QLabel*>(w);
    if (label != nullptr && label->pixmap().isNull()) continue;
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    if (a == nullptr || a->text(QAccessible::Name).trimmed().isEmpty()) {
      qWarning("control %d (%s) has no name", ui::CtrlId(w), w->metaObject()->className());
      return -1;
    }
    ++named;
  }
  return named;
}

}  // namespace pagetest
