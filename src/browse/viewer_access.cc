#include "browse/viewer_access.h"

#include "core/framer.h"

namespace lintaro {

std::vector<std::string> ViewerRowDescriptions(const std::vector<ViewerRow>& rows) {
  size_t total = 0;
  for (const ViewerRow& row : rows) total += row.value.size();
  const bool whole_record = total == kRecordLength;
  std::vector<std::string> out;
  out.reserve(rows.size());
  size_t start = 1;
  for (const ViewerRow& row : rows) {
    std::string text;
    if (whole_record && !row.value.empty()) {
      const size_t end = start + row.value.size() - 1;
      text = "Positions " + std::to_string(start) + " to " + std::to_string(end);
    }
    if (row.marked) text += text.empty() ? "In error" : ", in error";
    start += row.value.size();
    out.push_back(std::move(text));
  }
  return out;
}

}  // namespace lintaro
