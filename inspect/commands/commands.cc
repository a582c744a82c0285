#include "inspect/commands/commands.h"

namespace inspect {

namespace {

std::optional<int> Given(int value) {
  if (value == kNotGiven) return std::nullopt;
  return value;
}

}  // namespace

Selection SelectionOf(const Options &options) {
  return {Given(options.display), Given(options.mode), Given(options.feature)};
}

}  // namespace inspect
