// The results database ERRLOG2C.MDB: one SQLite file in the program folder
// holding the tested files (MISC), the records (RECORDS), the findings
// (ERRORS) and each employer's running totals (TRCT, TRCU).
//
// A test run creates the file anew and writes it; the grids, the viewer and
// the reports open it read-only. Every statement is prepared once, when it
// is first run, and given its values through bound parameters. Failures
// throw StoreError.
//
// A ResultsDb may be used by one thread at a time only; a test run hands
// its database between its own thread and its writer's (BatchWriter).
#ifndef LINTARO_STORE_RESULTS_DB_H_
#define LINTARO_STORE_RESULTS_DB_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "store/rows.h"

struct sqlite3;
struct sqlite3_stmt;

namespace lintaro {

inline constexpr const char* kResultsFileName = "ERRLOG2C.MDB";

class StoreError : public std::runtime_error {
 public:
  StoreError(int code, const std::string& what) : std::runtime_error(what), code_(code) {}
  // The SQLite result code, or -1 for a failure outside SQLite.
  int code() const { return code_; }

 private:
  int code_;
};

class ResultsDb {
 public:
  // Creates a new, empty results database at path with all five tables. The
  // file must not exist (the caller deletes an old one first); it is created
  // readable and writable by its owner only.
  static std::unique_ptr<ResultsDb> Create(const std::string& path);

  // Creates a new, empty results database with the same tables that lives in
  // memory only and is gone when closed. For the fuzz targets, which keep one
  // for all their inputs (CheckRunOptions::results_store); path() is ":memory:".
  static std::unique_ptr<ResultsDb> CreateInMemory();

  // Opens an existing results database. Throws when the file is missing, is
  // not a database, or lacks the tables and columns of this layout.
  static std::unique_ptr<ResultsDb> Open(const std::string& path, bool read_only);

  ~ResultsDb();
  ResultsDb(const ResultsDb&) = delete;
  ResultsDb& operator=(const ResultsDb&) = delete;

  // Writes are grouped into transactions by the caller. Begin when one is
  // already open does nothing; Commit when none is open does nothing.
  void Begin();
  void Commit();
  // Undoes the open transaction, if any; never throws.
  void Rollback();
  bool in_transaction() const { return in_transaction_; }

  // The highest key of each table with numbered rows (0 for an empty
  // table): a new row without a key given is numbered one higher.
  struct LastKeys {
    int64_t misc = 0;
    int64_t error = 0;
    int64_t totals[2] = {0, 0};  // TRCT, TRCU
  };
  LastKeys ReadLastKeys();

  // Deletes every row of every table, leaving the database as Create left
  // it (the rows are numbered from 1 again). Commits an open transaction
  // first.
  void Clear();

  // RUN. A new database (and a cleared one) holds the row of a run that has
  // started and not ended. MarkRunEnded records the ending and the run's
  // counts (nothing: not counted); the run does it in the transaction of
  // its last rows. ReadRun gives nothing for a file
  // written before runs recorded their ending: read it as finished. A RUN
  // table without its one row (none, or several that may disagree), or
  // whose ending is none of RunEnding's names, is damaged: ReadRun throws.
  void MarkRunEnded(RunEnding ending, const RunCounts& counts = {});
  std::optional<RunRow> ReadRun();
  // The number of records the run recorded with its ending; nothing where
  // it recorded none (an earlier version, or no ending).
  std::optional<int64_t> RecordedRecordCount();
  // The number of findings the run recorded with its ending; nothing where
  // it recorded none (an earlier version, or no ending).
  std::optional<int64_t> RecordedErrorCount();

  // MISC. data_id 0 numbers the row one past the highest; returns Data_Id.
  int64_t InsertMisc(const std::string& path_utf8, const std::string& rpt_date,
                     int64_t data_id = 0);
  void SetPinOK(int64_t data_id, bool pin_ok);
  std::vector<MiscRow> ReadMisc();

  // RECORDS
  void InsertRecord(const RecordRow& row);
  // Stores the rows in their order, as InsertRecord would one by one, but
  // kRecordsPerInsert to a statement while that many are left. A row that
  // cannot be stored leaves the rows before it in its statement: the caller
  // rolls the transaction back (as WriteBatch does). A statement's rows
  // numbered one after another (as a run's are) must come after the table's
  // last row, or the statement fails.
  static constexpr size_t kRecordsPerInsert = 32;
  void InsertRecords(std::span<const RecordRow> rows);
  void UpdateRecord(const RecordRow& row);  // every column but Rec_Num
  std::optional<RecordRow> ReadRecord(int64_t rec_num);
  int64_t CountRecords();
  // The records stored and the sum of their Errors counts, read in one pass
  // over the records. A run numbers its records from 1 without gaps and
  // counts each record's findings in its Errors, so in results it left
  // these are LastRecNum and CountErrors. A handle opened read-only reads
  // the file of a run that has ended, which nothing writes again (a new run
  // replaces it): it counts the records once (the count alone, or with the
  // sum), and CountRecords gives that count.
  struct RecordTally {
    int64_t records = 0;
    int64_t counted_errors = 0;
  };
  RecordTally TallyRecords();
  // Records whose ID, as found, is id (exact comparison). For "RCW" the
  // count the run recorded with its ending, where there is one: counting
  // reads every record.
  int64_t CountRecordsWithId(std::string_view id);
  // Rec_Num of the last record stored (the number of records tested); 0 when
  // there is none.
  int64_t LastRecNum();
  // The first stored record after record after_rec_num whose stored text
  // begins with "RCE" (an employer record), or nothing; read through the
  // index of the employer records where the file has it.
  std::optional<RecordRow> NextEmployerRecord(int64_t after_rec_num);
  // The employer records (RCE) a stored record belongs to, found by the
  // identifier as found in any case ("rce" as well as "RCE"): the first
  // whose RCE_Indx is rce_indx, and the last stored before record rec_num.
  // Read through the index of the employer records (EmployerRecords) where
  // the file has it.
  std::optional<RecordRow> FirstEmployerRecordWithIndx(int64_t rce_indx);
  std::optional<RecordRow> LastEmployerRecordBefore(int64_t rec_num);
  // The records first_rec_num to last_rec_num that are stored, in order, as
  // the record grids show them.
  std::vector<RecordListing> ListRecords(int64_t first_rec_num, int64_t last_rec_num);
  std::optional<RecordListing> ListRecord(int64_t rec_num);

  // ERRORS
  // Stores the row under row.err_num, or numbers it when that is 0; returns
  // Err_Num.
  int64_t InsertError(const ErrorRow& row);
  // Stores the rows in their order, as InsertError would one by one, but
  // kErrorsPerInsert to a statement while that many are left; a failure
  // leaves rows as InsertRecords' does, and so does a statement's rows
  // numbered one after another before the table's last row.
  static constexpr size_t kErrorsPerInsert = 32;
  void InsertErrors(std::span<const ErrorRow> rows);
  std::vector<ErrorRow> ReadErrorsOf(int64_t rec_num);
  int64_t CountErrors();
  // Distinct Rec_Num values among the findings.
  int64_t CountRecordsWithErrors();
  // The distinct Rec_Num values among the findings, ascending: the records
  // with errors, read from the findings' index on the record number.
  std::vector<int64_t> RecordNumbersWithErrors();
  // The finding recorded last, if any.
  std::optional<ErrorRow> ReadLastError();
  // Findings whose Rec_Num names no record of 1 to the last stored (or is
  // no whole number): a run never leaves one, so they mean the file was
  // changed or damaged. The report lists findings with their records, and
  // counts every finding.
  int64_t CountFindingsWithoutRecord();
  // The error report's rows: every finding joined with its record, ordered
  // by record number and then finding number. Streams the rows to row one
  // at a time; row returns false to stop early. row must not read the
  // report rows again while it runs.
  void ForEachReportRow(const std::function<bool(const ReportRow&)>& row);

  // TRCT and TRCU
  // Stores the row under row.indx, or numbers it when that is 0; returns Indx.
  int64_t InsertTotals(TotalsTable table, const TotalsRow& row);
  void UpdateTotals(TotalsTable table, const TotalsRow& row);
  std::optional<TotalsRow> ReadTotals(TotalsTable table, int64_t indx);
  // The employer row a stored record belongs to: the row whose Indx is the
  // record's RCE_Indx.
  std::optional<TotalsRow> ReadTotalsForRecord(TotalsTable table, int64_t rec_num);
  int64_t CountTotals(TotalsTable table);

  // Whether the file opened has since been deleted, renamed or replaced at
  // its path, as a later run replaces the results file: what this handle
  // reads is then no longer the results of the last run.
  bool Replaced() const;
  sqlite3* handle() const { return db_; }
  const std::string& path() const { return path_; }

 private:
  ResultsDb(sqlite3* db, std::string path, bool read_only = false);
  void Exec(const char* sql);
  sqlite3_stmt* Prepare(const std::string& sql);
  class LazyStatement;
  // The statement, prepared if this is its first use; null when it is
  // absent from this file's layout.
  sqlite3_stmt* Statement(LazyStatement& statement);
  [[noreturn]] void Fail(std::string_view what);
  // Every statement is stepped through one of the four below, which reset
  // it and clear its bindings when done and Fail(failure) when it fails.
  // Runs a statement that returns no rows.
  void Execute(sqlite3_stmt* s, std::string_view failure);
  // The row, read with read, of a statement that gives at most one.
  template <typename Read>
  auto OneRow(sqlite3_stmt* s, const Read& read, std::string_view failure)
      -> std::optional<decltype(read(s))>;
  // Calls each for every row of the statement until it returns false.
  template <typename Each>
  void EachRow(sqlite3_stmt* s, const Each& each, std::string_view failure);
  // Every row of the statement, each read with read.
  template <typename Read>
  auto AllRows(sqlite3_stmt* s, const Read& read, std::string_view failure)
      -> std::vector<decltype(read(s))>;
  // The count a statement's one row holds (no row is a failure).
  int64_t CountOrFail(sqlite3_stmt* s, std::string_view failure);
  // Stores rows (records, findings) in their order: per_statement to the
  // statement many while that many are left, each bound by bind with its
  // columns from a parameter on (numbered by SQLite after the first where
  // the rows are numbered in turn), and the rest one by one by insert_one.
  template <typename Row, typename Bind, typename InsertOne>
  void InsertManyRows(LazyStatement& many, std::span<const Row> rows, size_t per_statement,
                      int64_t Row::*number, const Bind& bind, int columns,
                      const InsertOne& insert_one, std::string_view failure);
  // Fails unless the last row inserted has the number given: the rows of a
  // statement numbered in turn were stored under their own numbers.
  void CheckLastNumber(int64_t number, std::string_view failure);
  // Makes the five tables in the new, empty database and defines the statements.
  void CreateTables();
  void DefineStatements();
  void DefineFindingStatements();
  void DefineTotalsStatements();
  void DefineRunStatements();
  void CheckLayout();
  TotalsRow ReadTotalsColumns(TotalsTable table, sqlite3_stmt* stmt, int first_column);
  // Runs a one-row totals query whose single parameter is key.
  std::optional<TotalsRow> ReadOneTotals(TotalsTable table, sqlite3_stmt* stmt, int64_t key);
  // Runs a one-row records query whose single parameter is key; what
  // names the read in the failure.
  std::optional<RecordRow> ReadOneRecord(sqlite3_stmt* stmt, int64_t key, const char* what);

  sqlite3* db_;
  std::string path_;
  bool in_transaction_ = false;
  bool read_only_ = false;
  std::optional<RecordTally> tally_;     // read once by a read-only handle
  std::optional<int64_t> record_count_;  // the same, without the sum

  struct Statements;
  std::unique_ptr<Statements> st_;
};

// A check killed part-way leaves its unfinished batch in a rollback journal
// beside the file, and a read-only connection cannot undo it. Opens the file
// for writing once, which rolls the unfinished batch back, so that readers
// see the last committed batch. Does nothing when there is no journal or the
// folder cannot be written (the readers then report the file as unreadable).
void RecoverInterruptedResults(const std::string& path);

// Sets SQLite up for a program that runs checks on several threads: its
// memory statistics, kept under one lock for the whole process, are turned
// off, so that the checks do not wait for each other at every allocation.
// Call once at program start, before any database is opened; returns false
// when it is too late (SQLite is in use), which costs only speed.
bool ConfigureStoreForThreads();

// The names of the columns of a running-total table, in table order.
std::vector<std::string> TotalsColumnNames(TotalsTable table);

}  // namespace lintaro

#endif  // LINTARO_STORE_RESULTS_DB_H_
