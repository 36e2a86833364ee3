#include "records/employee_layouts.h"

namespace lintaro {

std::string_view PairColumn(int pair) {
  static constexpr std::string_view kColumns[] = {
      "0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10", "11", "12",
      "13", "14", "15", "16", "17", "18", "19", "20", "21", "22", "23", "24", "25"};
  if (pair < 0 || pair > 25) return {};
  return kColumns[pair];
}

}  // namespace lintaro
