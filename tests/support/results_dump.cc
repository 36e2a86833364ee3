#include "support/results_dump.h"

#include <sqlite3.h>

#include "core/cp1252.h"
#include "store/results_db.h"

namespace lintaro::testing {

std::vector<ErrorRow> AllErrors(const std::string& db_path) {
  auto db = ResultsDb::Open(db_path, true);
  std::vector<ErrorRow> rows;
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(db->handle(),
                     "SELECT Err_Num, Type, Rec_Num, Reference, User_Entry, Error FROM ERRORS"
                     " ORDER BY Err_Num",
                     -1, &s, nullptr);
  auto text = [s](int i) {
    const char* p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
    return Utf8ToCp1252(p ? std::string(p, sqlite3_column_bytes(s, i)) : std::string());
  };
  while (sqlite3_step(s) == SQLITE_ROW) {
    rows.push_back(ErrorRow{sqlite3_column_int64(s, 0), text(1), sqlite3_column_int64(s, 2),
                            text(3), text(4), text(5)});
  }
  sqlite3_finalize(s);
  return rows;
}

std::vector<RecordRow> AllRecords(const std::string& db_path) {
  auto db = ResultsDb::Open(db_path, true);
  std::vector<RecordRow> rows;
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(db->handle(), "SELECT Rec_Num FROM RECORDS ORDER BY Rec_Num", -1, &s,
                     nullptr);
  std::vector<int64_t> numbers;
  while (sqlite3_step(s) == SQLITE_ROW) numbers.push_back(sqlite3_column_int64(s, 0));
  sqlite3_finalize(s);
  for (int64_t n : numbers) rows.push_back(*db->ReadRecord(n));
  return rows;
}

std::vector<MiscRow> AllFiles(const std::string& db_path) {
  return ResultsDb::Open(db_path, true)->ReadMisc();
}

std::vector<TotalsRow> AllTotals(const std::string& db_path, TotalsTable table) {
  auto db = ResultsDb::Open(db_path, true);
  std::vector<TotalsRow> rows;
  for (int64_t i = 1, n = db->CountTotals(table); i <= n; ++i)
    if (auto row = db->ReadTotals(table, i)) rows.push_back(*row);
  return rows;
}

std::vector<std::string> Findings(const std::string& db_path) {
  std::vector<std::string> out;
  for (const ErrorRow& e : AllErrors(db_path))
    out.push_back(e.reference + " | " + e.user_entry + " | " + e.error);
  return out;
}

}  // namespace lintaro::testing
