#include "core/session.h"

namespace core {

Session::Session() {
  records_.ResetToStartup();
  params_.BuildDefaultImage();
  params_.DecodeImage();
}

}  // namespace core
