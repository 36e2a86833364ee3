#include "reports/finding_parts.h"

#include <cctype>

#include "core/whole_number.h"
#include "store/cp1252.h"

namespace lintaro {
namespace {

constexpr std::string_view kPositionOpen = " [Position ";

// A whole number of one to five digits.
std::optional<int> Number(std::string_view digits) {
  if (digits.size() > 5) return std::nullopt;
  return ParseWholeNumber(digits, 0, 99999);
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// "S - E" (also written "S-E") or "N".
std::optional<Positions> ParsePositions(std::string_view inside) {
  const size_t dash = inside.find('-');
  if (dash == std::string_view::npos) {
    if (auto n = Number(inside)) return Positions{*n, *n};
    return std::nullopt;
  }
  auto start = Number(Trimmed(inside.substr(0, dash)));
  auto end = Number(Trimmed(inside.substr(dash + 1)));
  if (!start || !end) return std::nullopt;
  return Positions{*start, *end};
}

std::string Upper(std::string_view id) {
  std::string upper(id);
  UpperCaseCp1252(upper, 0, upper.size());
  return upper;
}

}  // namespace

FindingParts SplitFinding(std::string_view reference, std::string_view user_entry) {
  FindingParts parts;
  parts.field = std::string(reference);
  const size_t open = reference.rfind(kPositionOpen);
  if (open != std::string_view::npos && reference.back() == ']') {
    const size_t from = open + kPositionOpen.size();
    if (auto p = ParsePositions(reference.substr(from, reference.size() - 1 - from))) {
      parts.positions = p;
      parts.field = std::string(reference.substr(0, open));
    }
  }
  if (user_entry.size() >= 2 && user_entry.front() == '[' && user_entry.back() == ']')
    user_entry = user_entry.substr(1, user_entry.size() - 2);
  parts.user_entry = std::string(user_entry);
  return parts;
}

std::optional<std::string> ReferenceKindOf(std::string_view record_id) {
  const std::string id = Upper(record_id);
  if (id == "RCA" || id == "RCE" || id == "RCT" || id == "RCU") return "ein";
  if (id == "RCF") return std::nullopt;
  return "ssn";
}

bool BelongsToEmployer(std::string_view record_id) { return Upper(record_id) != "RCF"; }

std::optional<std::string> IsoDate(std::string_view date) {
  if (date.size() != 10 || date[2] != '/' || date[5] != '/') return std::nullopt;
  for (size_t i : {0, 1, 3, 4, 6, 7, 8, 9})
    if (!std::isdigit(static_cast<unsigned char>(date[i]))) return std::nullopt;
  const int month = (date[0] - '0') * 10 + (date[1] - '0');
  const int day = (date[3] - '0') * 10 + (date[4] - '0');
  if (month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
  return std::string(date.substr(6, 4)) + "-" + std::string(date.substr(0, 2)) + "-" +
         std::string(date.substr(3, 2));
}

}  // namespace lintaro
