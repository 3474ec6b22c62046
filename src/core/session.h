#pragma once

#include "core/link/device_records.h"
#include "core/link/link.h"
#include "core/params/param_model.h"

namespace core {

// Everything that mirrors one processor: the link, the device records and
// the parameter model. The application creates exactly one; tests and the
// command-line tool create their own.
class Session {
 public:
  // Starts as the application does before any processor answers: placeholder
  // identity, cleared settings, the default image decoded.
  Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  link::Link& Link() { return link_; }
  link::DeviceRecords& Records() { return records_; }
  params::ParamModel& Params() { return params_; }
  const params::ParamModel& Params() const { return params_; }

 private:
  link::Link link_;
  link::DeviceRecords records_;
  params::ParamModel params_{link_};
};

}  // namespace core
