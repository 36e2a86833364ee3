#include "reports/report_scope.h"

#include <functional>

#include "records/record_checkers.h"
#include "reports/finding_parts.h"
#include "store/results_db.h"

namespace lintaro {
namespace {

bool IsFinalRecord(ResultsDb& db, int64_t rec_num) {
  const std::optional<RecordRow> row = db.ReadRecord(rec_num);
  return row && row->record.compare(0, 3, "RCF") == 0;
}

// The number of the final record that ends the last employer's block, or 0
// when the results hold none. A record after the final record (another
// final record too) stops the check, so the final record is the one before
// the last record or the last.
int64_t FinalRecNum(ResultsDb& db) {
  const int64_t last = db.LastRecNum();
  if (last > 1 && IsFinalRecord(db, last - 1)) return last - 1;
  if (last > 0 && IsFinalRecord(db, last)) return last;
  return 0;
}

// Calls block for each employer record with the number of records of its
// block: up to the next employer record, or to the final record (which is
// no employer's, nor is a record after it), or to the last record.
void ForEachEmployerBlock(ResultsDb& db,
                          const std::function<void(const RecordRow&, int64_t)>& block) {
  const int64_t last = db.LastRecNum();
  const int64_t final_rec_num = FinalRecNum(db);
  std::optional<RecordRow> rce = db.NextEmployerRecord(0);
  while (rce) {
    std::optional<RecordRow> next = db.NextEmployerRecord(rce->rec_num);
    // One past the block's last record.
    int64_t end = next ? next->rec_num : last + 1;
    if (rce->rec_num < final_rec_num && final_rec_num < end) end = final_rec_num;
    block(*rce, end - rce->rec_num);
    rce = std::move(next);
  }
}

}  // namespace

std::optional<std::string> ParseEin(std::string text) {
  if (text.size() == 10 && text[2] == '-') text.erase(2, 1);
  if (text.size() != 9) return std::nullopt;
  for (char c : text)
    if (c < '0' || c > '9') return std::nullopt;
  return text;
}

int64_t EmployerRecordCount(ResultsDb& db, const std::string& ein) {
  int64_t count = 0;
  ForEachEmployerBlock(db, [&](const RecordRow& rce, int64_t records) {
    if (EmployerEinOf(rce.record) == ein) count += records;
  });
  return count;
}

std::vector<EmployerEntry> ListEmployers(ResultsDb& db) {
  std::vector<EmployerEntry> employers;
  ForEachEmployerBlock(db, [&](const RecordRow& rce, int64_t records) {
    const std::string ein = EmployerEinOf(rce.record);
    if (ParseEin(ein) != ein) return;
    for (EmployerEntry& known : employers) {
      if (known.ein != ein) continue;
      known.records += records;
      return;
    }
    std::string name = EmployerNameOf(rce.record);
    name.erase(name.find_last_not_of(' ') + 1);
    employers.push_back({ein, std::move(name), rce.rec_num, records});
  });
  return employers;
}

const std::string& EmployerTracker::EmployerOf(int64_t rec_num, const std::string& id) {
  if (!started_) {
    started_ = true;
    next_ = db_.NextEmployerRecord(0);
    final_rec_num_ = FinalRecNum(db_);
  }
  while (next_ && next_->rec_num <= rec_num) {
    current_ = EmployerEinOf(next_->record);
    current_rec_num_ = next_->rec_num;
    next_ = db_.NextEmployerRecord(next_->rec_num);
  }
  // The final record closes the block it ends.
  const bool after_final = current_rec_num_ < final_rec_num_ && final_rec_num_ < rec_num;
  return BelongsToEmployer(id) && !after_final ? current_ : none_;
}

ReportHeader ReadReportHeader(ResultsDb& db, const ReportFilter& filter) {
  ReportHeader header = ReadReportHeader(db);
  if (filter.keeps_all()) return header;
  header.scope_heading = "Employer EIN: " + filter.employer_ein;
  header.records_tested = EmployerRecordCount(db, filter.employer_ein);
  header.records_with_errors = 0;
  header.errors = 0;
  bool stopped_here = false;
  RecordOpenings openings;
  ForEachReportRow(db, filter, true, [&](const ReportRow& row, const std::string&) {
    ++header.errors;
    if (openings.Opens(row)) ++header.records_with_errors;
    if (header.critical && row.err_num == header.critical->err_num) stopped_here = true;
    return true;
  });
  if (!stopped_here) header.critical.reset();
  return header;
}

void ForEachReportRow(ResultsDb& db, const ReportFilter& filter, bool name_employers,
                      const ScopedRowHandler& row) {
  if (filter.keeps_all() && !name_employers) {
    const std::string none;
    db.ForEachReportRow([&](const ReportRow& r) { return row(r, none); });
    return;
  }
  EmployerTracker employers(db);
  db.ForEachReportRow([&](const ReportRow& r) {
    const std::string& employer = employers.EmployerOf(r.rec_num, r.id);
    if (!filter.keeps_all() && employer != filter.employer_ein) return true;
    return row(r, employer);
  });
}

bool WriteFindings(ResultsDb& db, const ReportFilter& filter, bool name_employers,
                   ReportBuffer& out, const PieceHandler& after_finding,
                   const FindingWriter& write) {
  bool completed = true;
  ForEachReportRow(db, filter, name_employers,
                   [&](const ReportRow& row, const std::string& employer) {
                     write(row, employer);
                     completed = !after_finding || after_finding(out);
                     return completed;
                   });
  return completed;
}

}  // namespace lintaro
