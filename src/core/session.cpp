#include "core/session.h"

namespace core {

Session::Session() {
  records_.ResetToStartup();
  params_.BuildDefaultImage();
  params_.DecodeImage();
  link_.SetTransport(link::LinkType::Tcp, &tcp_);
  dispatcher_.SetReadAllStarter([this] { sync_.StartReadAll(); });
}

Session::~Session() {
  tcp_.TcpClose(false);
  link_.State().open = false;
  sync_.JoinAll();
  dispatcher_.SetReadAllStarter(nullptr);
  link_.SetTransport(link::LinkType::Tcp, nullptr);
}

}  // namespace core
