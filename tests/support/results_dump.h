// Reads whole tables of a results database for assertions.
#ifndef LINTARO_TESTS_SUPPORT_RESULTS_DUMP_H_
#define LINTARO_TESTS_SUPPORT_RESULTS_DUMP_H_

#include <string>
#include <vector>

#include "store/rows.h"

namespace lintaro::testing {

// Every Errors row in Err_Num order, texts as code page 1252 bytes.
std::vector<ErrorRow> AllErrors(const std::string& db_path);
// Every Records row in Rec_Num order.
std::vector<RecordRow> AllRecords(const std::string& db_path);
// Every MISC row.
std::vector<MiscRow> AllFiles(const std::string& db_path);
// Every row of a running-total table in Indx order.
std::vector<TotalsRow> AllTotals(const std::string& db_path, TotalsTable table);

// "Reference | User_Entry | Error" of each finding, for compact comparisons.
std::vector<std::string> Findings(const std::string& db_path);

}  // namespace lintaro::testing

#endif  // LINTARO_TESTS_SUPPORT_RESULTS_DUMP_H_
