#include "gauge_session.h"

namespace panel {

GaugeSession::GaugeSession(const std::filesystem::path& module_path)
    : module_(module_path),
      view_(*module_.gauges().front(), module_path.string()),
      driver_(view_, variables_, log_),
      mouse_(view_, variables_, log_) {}

}  // namespace panel
