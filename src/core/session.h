#pragma once

#include "core/link/device_records.h"
#include "core/link/dispatcher.h"
#include "core/link/link.h"
#include "core/link/sync_runs.h"
#include "core/link/tcp_link.h"
#include "core/params/param_model.h"

namespace core {

// Everything that mirrors one processor: the link with its transports, the
// dispatcher, the synchronisation runs, the device records and the
// parameter model. The application creates exactly one; tests and the
// command-line tool create their own.
class Session {
 public:
  // Starts as the application does before any processor answers: placeholder
  // identity, cleared settings, the default image decoded.
  Session();
  // Closes the link and waits for every thread of it and of the runs.
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  link::Link& Link() { return link_; }
  link::DeviceRecords& Records() { return records_; }
  const link::DeviceRecords& Records() const { return records_; }
  params::ParamModel& Params() { return params_; }
  const params::ParamModel& Params() const { return params_; }
  link::Dispatcher& Dispatcher() { return dispatcher_; }
  link::SyncRuns& Sync() { return sync_; }
  link::TcpLink& Tcp() { return tcp_; }

 private:
  link::Link link_;
  link::DeviceRecords records_;
  params::ParamModel params_{link_};
  link::SyncRuns sync_{link_, params_, records_};
  link::Dispatcher dispatcher_{link_, params_, records_};
  link::TcpLink tcp_{link_, dispatcher_, records_};
};

}  // namespace core
