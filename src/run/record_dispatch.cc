#include "run/record_dispatch.h"

#include <array>

#include "records/employee_layouts.h"
#include "records/record_checkers.h"
#include "totals/total_layouts.h"
#include "totals/total_records.h"

namespace lintaro {
namespace {

void RunRCA(const std::string& t, int32_t, CheckContext& c) { CheckCodeRCA(t, c); }
void RunRCE(const std::string& t, int32_t, CheckContext& c) { CheckCodeRCE(t, c); }
void RunRCW(const std::string& t, int32_t, CheckContext& c) { CheckCodeRCW(t, c); }
void RunRCO(const std::string& t, int32_t, CheckContext& c) { CheckCodeRCO(t, c); }
void RunRCF(const std::string& t, int32_t, CheckContext& c) { CheckCodeRCF(t, c); }

constexpr std::array<RecordType, 9> kTypes = {{
    {"RCA", kRCAFieldCount, RunRCA, FillRCAlabels},
    {"RCE", kRCEFieldCount, RunRCE, FillRCElabels},
    {"RCW", kRCWFields.size(), RunRCW, FillRCWlabels},
    {"RCO", kRCOFields.size(), RunRCO, FillRCOlabels},
    {"RCS", 1, nullptr, nullptr},
    {"RCT", kRCTFields.size(), CheckCodeRCT, FillRCTlabels},
    {"RCU", kRCUFields.size(), CheckCodeRCU, FillRCUlabels},
    {"RCV", 1, nullptr, nullptr},
    {"RCF", kRCFFieldCount, RunRCF, FillRCFlabels},
}};

}  // namespace

const RecordType* FindRecordType(std::string_view id) {
  for (const RecordType& type : kTypes)
    if (type.id == id) return &type;
  return nullptr;
}

}  // namespace lintaro
