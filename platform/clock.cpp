#include "platform/clock.h"

#include <climits>
#include <ctime>

namespace pf {
namespace {

std::optional<LocalDate> g_override;

}  // namespace

LocalDate GetLocalDate() {
  if (g_override) return *g_override;
  const std::time_t now = std::time(nullptr);
  if (now == static_cast<std::time_t>(-1)) return LocalDate{};
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) return LocalDate{};
  if (local.tm_year > INT_MAX - 1900) return LocalDate{};
  return LocalDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

void SetLocalDateOverride(std::optional<LocalDate> date) { g_override = date; }

}  // namespace pf
