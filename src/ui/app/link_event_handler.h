#pragma once

#include <cstdint>
#include <string>

namespace ui {

// What the main view does with the link's events, always on the GUI thread
// (QtLinkEvents brings them there).
class LinkEventHandler {
 public:
  virtual ~LinkEventHandler() = default;
  virtual void OnRemoteKey(std::uint8_t code) = 0;
  virtual void OnSyncDone(int afterWrite) = 0;
  virtual void OnLinkLost() = 0;
  virtual void OnHostBusy() = 0;
  virtual void OnDeviceError(std::uint8_t code, std::uint8_t command1, std::uint8_t command2) = 0;
  virtual void OnDeviceArrived(const std::string& path) = 0;
  virtual void OnDeviceRemoved(const std::string& path) = 0;
  virtual void OnPlugProgress(int message, int wParam, long lParam) = 0;
};

}  // namespace ui
