#include "run/record_dispatch.h"

#include <array>

#include "records/record_checkers.h"
#include "totals/total_records.h"

namespace lintaro {
namespace {

void RunRCA(const std::string& t, int32_t, CheckContext& c) { CheckCodeRCA(t, c); }
void RunRCE(const std::string& t, int32_t, CheckContext& c) { CheckCodeRCE(t, c); }
void RunRCW(const std::string& t, int32_t, CheckContext& c) { CheckCodeRCW(t, c); }
void RunRCO(const std::string& t, int32_t, CheckContext& c) { CheckCodeRCO(t, c); }
void RunRCF(const std::string& t, int32_t, CheckContext& c) { CheckCodeRCF(t, c); }

constexpr std::array<RecordType, 9> kTypes = {{
    {"RCA", 29, RunRCA, FillRCAlabels},
    {"RCE", 24, RunRCE, FillRCElabels},
    {"RCW", 78, RunRCW, FillRCWlabels},
    {"RCO", 19, RunRCO, FillRCOlabels},
    {"RCS", 1, nullptr, nullptr},
    {"RCT", 54, CheckCodeRCT, FillRCTlabels},
    {"RCU", 19, CheckCodeRCU, FillRCUlabels},
    {"RCV", 1, nullptr, nullptr},
    {"RCF", 3, RunRCF, FillRCFlabels},
}};

}  // namespace

const RecordType* FindRecordType(std::string_view id) {
  for (const RecordType& type : kTypes)
    if (type.id == id) return &type;
  return nullptr;
}

}  // namespace lintaro
