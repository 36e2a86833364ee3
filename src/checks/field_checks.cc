#include "checks/field_checks.h"

#include "core/yielder.h"

namespace lintaro {

// The character tests are filled in with the record checkers.
bool NumCheck(std::string_view text) {
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace lintaro
