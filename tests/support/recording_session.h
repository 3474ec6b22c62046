#pragma once

#include "core/link/recording_transport.h"
#include "core/session.h"

namespace testsupport {

// A session whose USB link records what it would write instead of writing
// it, answered at once and with synchronous sends: every frame is on the
// transport when the call that sent it returns. Fixtures derive from it
// (or hold one) and read `usb`.
class RecordingSession {
 public:
  RecordingSession() {
    session.Link().SetTransport(core::link::LinkType::Usb, &usb);
    session.Link().State().open = true;
    session.SetSynchronousSends(true);
    usb.SetOnWrite([this](const auto&) { session.Link().ReplyReceived(); });
  }
  RecordingSession(const RecordingSession&) = delete;
  RecordingSession& operator=(const RecordingSession&) = delete;

  core::Session session;
  core::link::RecordingTransport usb{core::link::LinkType::Usb};
};

}  // namespace testsupport
