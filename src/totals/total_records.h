// The checkers and viewer row fillers of the employer total records: RCT,
// compared with the employer's running totals of its RCW records (TRCT),
// and RCU, compared with those of its RCO records (TRCU). rec_ctr is the
// total record's number, by which a stored record finds its employer's row.
#ifndef LINTARO_TOTALS_TOTAL_RECORDS_H_
#define LINTARO_TOTALS_TOTAL_RECORDS_H_

#include <cstdint>
#include <string>

namespace lintaro {

struct CheckContext;
class ViewerRows;

void CheckCodeRCT(const std::string& txtline, int32_t rec_ctr, CheckContext& ctx);
void CheckCodeRCU(const std::string& txtline, int32_t rec_ctr, CheckContext& ctx);

void FillRCTlabels(const std::string& txtline, ViewerRows& rows);
void FillRCUlabels(const std::string& txtline, ViewerRows& rows);

}  // namespace lintaro

#endif  // LINTARO_TOTALS_TOTAL_RECORDS_H_
