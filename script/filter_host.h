// VIroveridUza: the engine every filter script runs in: the host environment
// plus the PWL table over one job, with print routed to standard error.
#pragma once

#include "libs/host_environment.h"
#include "script/filter_job.h"
#include "script/pwl_context.h"

class VIroveridUza : public REveVed {
public:
  // The job must outlive the host.
  explicit VIroveridUza(TFilterJob &job);
  static const TLuaClass &StaticClass();
  const TLuaClass &ClassInfo() const override { return StaticClass(); }

  void Open() override;

  // Sets the global table arg as the stand-alone interpreter does: arg[0] the
  // script's name, arg[1], arg[2], ... the arguments (bytes as given). Returns the
  // status (0 = success; else the message is on top of the stack).
  int SetArgTable(const std::string &scriptName, const std::vector<std::string> &args);

  // Writes one printed line to standard error (no console conversion).
  void PrintOutput(const TText &msg);

private:
  TPwlContext FContext;
};
