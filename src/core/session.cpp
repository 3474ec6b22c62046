#include "core/session.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "core/link/commands.h"

namespace core {

Session::Session(std::unique_ptr<link::HidBackend> hid)
    : hid_(hid ? std::move(hid) : link::MakeHidapiBackend()),
      usb_(link_, dispatcher_, records_, *hid_) {
  records_.ResetToStartup();
  params_.BuildDefaultImage();
  params_.DecodeImage();
  link_.SetTransport(link::LinkType::Tcp, &tcp_);
  link_.SetTransport(link::LinkType::Usb, &usb_);
  dispatcher_.SetReadAllStarter([this] { sync_.StartReadAll(); });
}

Session::~Session() {
  tcp_.TcpClose(false);
  usb_.UsbClose(false);
  link_.State().open = false;
  sync_.JoinAll();
  dispatcher_.SetReadAllStarter(nullptr);
  link_.SetTransport(link::LinkType::Tcp, nullptr);
  link_.SetTransport(link::LinkType::Usb, nullptr);
}

void Session::SetTcpTarget(const std::string& address, std::uint16_t port) {
  tcpAddress_ = address;
  tcpPort_ = port;
}

int Session::Connect() {
  if (link_.State().networkMode.load()) return tcp_.TcpConnect(tcpAddress_, tcpPort_);
  return usb_.Connect();
}

void Session::Disconnect(bool sendNotice) {
  if (tcp_.Running()) tcp_.TcpClose(sendNotice);
  usb_.UsbClose(sendNotice);
}

bool Session::HandleDeviceRemoved(const std::string& path) {
  if (!usb_.IsOpenDevice(path)) return false;
  return usb_.UsbCloseOnRemoval();
}

namespace {
std::uint8_t ModeNumber(int mode) { return static_cast<std::uint8_t>(std::clamp(mode, 0, 3)); }
}  // namespace

void Session::StoreMode(int mode) {
  const std::uint8_t n = ModeNumber(mode);
  records_.SetSettingsChanged(false);
  records_.SetCurrentMode(n);
  link_.SendCommandBytes({link::cmd::kStoreMode, n});
}

void Session::NameAndStoreMode(int mode) {
  const std::uint8_t n = ModeNumber(mode);
  records_.SetCurrentMode(n);
  link_.SendCommandBytes({link::cmd::kNameModeSlot, n});
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  link_.SendCommandBytes({link::cmd::kStoreMode, n});
}

}  // namespace core
