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

  // Writes one printed line to standard error (no console conversion).
  void PrintOutput(const TText &msg);

private:
  TPwlContext FContext;
};
