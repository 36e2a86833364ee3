// Writes generated corrected wage report submissions: the shipped samples
// and the large files the benchmarks test.
//
//   gen_submission [--records N] [--per-employer K] [--mistakes] [--lf] OUT
//
// --records N       about N records in all (default 1,000)
// --per-employer K  employee records per employer (default 1,000)
// --mistakes        one finding per employee record, RCW and RCO (a
//                   correction pair whose Correct amount repeats the
//                   Originally Reported amount), one in the first RCT and
//                   the first RCU, and a few in the submitter record, the
//                   first employer record and the final record (see
//                   Submitter, Employer, main and the final record below)
// --lf              LF line ends instead of CR LF
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/tax_year.h"

namespace {

struct Options {
  long long records = 1000;
  long long per_employer = 1000;
  bool mistakes = false;
  const char* line_end = "\r\n";
  const char* out = nullptr;
};

// A record of blanks with fields placed at 1-based positions.
class Record {
 public:
  explicit Record(const char* id) : text_(1024, ' ') { Put(1, id); }
  Record& Put(int position, const std::string& value) {
    text_.replace(static_cast<size_t>(position - 1), value.size(), value);
    return *this;
  }
  Record& Money(int position, int width, long long cents) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", width, cents);
    return Put(position, buf);
  }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

std::string Digits(long long value, int width) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*lld", width, value);
  return buf;
}

Record Submitter(bool mistakes) {
  Record r("RCA");
  r.Put(4, "123456789").Put(13, "AB12CD34").Put(30, "99");
  r.Put(32, "HARBOR PAYROLL SERVICES").Put(89, "100 MAIN STREET").Put(133, "BALTIMORE");
  r.Put(155, "MD").Put(157, "21201").Put(212, "JANE Q PUBLIC").Put(239, "4105551234");
  r.Put(262, "payroll@harbor.example").Put(315, "1").Put(316, "S").Put(317, "0");
  if (mistakes) {
    // A PIN with a hyphen, notification by mail without a delivery
    // address, and a resubmission without its WFID.
    r.Put(13, "AB12-D34").Put(315, "2").Put(317, "1");
  }
  return r;
}

Record Employer(long long n, bool mistakes) {
  Record r("RCE");
  r.Put(4, lintaro::kTaxYearText.c_str()).Put(17, Digits(310000000 + n % 1000000, 9));
  r.Put(44, "EXAMPLE MANUFACTURING CO " + std::to_string(n)).Put(101, "200 HARBOR DRIVE");
  r.Put(145, "ANNAPOLIS").Put(167, "MD").Put(169, "21401").Put(223, "R");
  if (mistakes && n == 1) {
    // An earlier tax year, an agent code without the agent's EIN and an
    // establishment number that repeats the originally reported one.
    r.Put(4, "2006").Put(26, "1").Put(36, "0001").Put(40, "0001");
  }
  return r;
}

// The sums of one employer's money pairs, as the total record states them.
struct PairSums {
  long long orig = 0;
  long long correct = 0;
  bool used = false;  // some employee reported the pair
};

struct BlockTotals {
  explicit BlockTotals(int pairs) : pairs(static_cast<size_t>(pairs)) {}
  long long count = 0;
  std::vector<PairSums> pairs;  // pairs[n - 1] is pair n
};

// Writes a correction pair into an employee record and adds it to the sums.
void Pair(Record& r, BlockTotals& totals, int pair, int orig_position, int correct_position,
          long long orig, long long correct) {
  r.Money(orig_position, 11, orig).Money(correct_position, 11, correct);
  PairSums& sums = totals.pairs[static_cast<size_t>(pair - 1)];
  sums.orig += orig;
  sums.correct += correct;
  sums.used = true;
}

// cents * rate / 10,000, rounded: a tax at a rate in hundredths of a percent.
long long Tax(long long cents, long long rate) { return (cents * rate + 5000) / 10000; }

// An employee whose wages were understated by $1,500.00: wages, federal
// tax, Social Security and Medicare wages and taxes are corrected, and
// every fourth employee also has a 401(k) deferral corrected. Wages stay
// below every year's Social Security wage base. With a mistake the Correct
// wages repeat the Originally Reported wages (one finding).
Record Employee(long long n, bool mistake, BlockTotals& totals) {
  Record r("RCW");
  r.Put(13, Digits(200000000 + n % 700000000, 9));
  r.Put(72, "JOHN").Put(87, "Q").Put(102, "EMPLOYEE" + std::to_string(n % 100000));
  r.Put(122, "300 ELM STREET").Put(166, "TOWSON").Put(188, "MD").Put(190, "21204");
  const long long before = 2500000 + (n * 7919) % 4000000;  // $25,000.00 to $65,000.00
  const long long after = before + 150000;
  Pair(r, totals, 1, 244, 255, before, mistake ? before : after);
  Pair(r, totals, 2, 266, 277, before / 10, before / 10 + 15000);
  Pair(r, totals, 3, 288, 299, before, after);
  Pair(r, totals, 4, 310, 321, Tax(before, 620), Tax(after, 620));
  Pair(r, totals, 5, 332, 343, before, after);
  Pair(r, totals, 6, 354, 365, Tax(before, 145), Tax(after, 145));
  if (n % 4 == 0) Pair(r, totals, 10, 442, 453, before / 20, before / 20 + 5000);
  ++totals.count;
  return r;
}

// Allocated tips of the employee before it. With a mistake the Correct
// amount repeats the Originally Reported one (one finding).
Record Optional(long long n, bool mistake, BlockTotals& totals) {
  Record r("RCO");
  const long long before = 20000 + (n * 31) % 50000;
  r.Money(13, 11, before).Money(24, 11, mistake ? before : before + 2500);
  PairSums& tips = totals.pairs[0];
  tips.orig += before;
  tips.correct += mistake ? before : before + 2500;
  tips.used = true;
  ++totals.count;
  return r;
}

// A total record (RCT or RCU): the count at 4-10 and the sums of the pairs
// that were reported. Pairs 1-20 start at 11, pairs 21-25 at 641.
Record Totals(const char* id, const BlockTotals& totals, long long count_offset,
              long long correct_offset_pair2) {
  Record r(id);
  r.Put(4, Digits(totals.count + count_offset, 7));
  for (size_t i = 0; i < totals.pairs.size(); ++i) {
    const PairSums& sums = totals.pairs[i];
    if (!sums.used) continue;
    const int n = static_cast<int>(i) + 1;
    const int orig_position = n <= 20 ? 11 + 30 * (n - 1) : 641 + 30 * (n - 21);
    const long long correct = sums.correct + (n == 2 ? correct_offset_pair2 : 0);
    r.Money(orig_position, 15, sums.orig).Money(orig_position + 15, 15, correct);
  }
  return r;
}

int Usage() {
  std::fputs("usage: gen_submission [--records N] [--per-employer K] [--mistakes] [--lf] OUT\n",
             stderr);
  return 2;
}

// The options; false on a usage error.
bool ParseOptions(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--records") && i + 1 < argc) {
      o.records = std::atoll(argv[++i]);
    } else if (!std::strcmp(argv[i], "--per-employer") && i + 1 < argc) {
      o.per_employer = std::atoll(argv[++i]);
    } else if (!std::strcmp(argv[i], "--mistakes")) {
      o.mistakes = true;
    } else if (!std::strcmp(argv[i], "--lf")) {
      o.line_end = "\n";
    } else if (argv[i][0] == '-' || o.out) {
      return false;
    } else {
      o.out = argv[i];
    }
  }
  return o.out && o.records >= 5 && o.per_employer >= 1;
}

// Where the records go, and how many of each kind went so far.
struct Writer {
  const Options& o;
  std::FILE* f;
  long long written = 0, employees = 0, employer = 0;
  bool rcu_mistake = false;

  void Emit(const Record& r) {
    std::fwrite(r.text().data(), 1, r.text().size(), f);
    std::fputs(o.line_end, f);
    ++written;
  }

  // One employer block: RCE, its RCWs and an RCT; in the blocks of even
  // employers every fourth RCW is followed by an RCO, and the RCT by an RCU.
  void EmployerBlock() {
    Emit(Employer(++employer, o.mistakes));
    const bool optional_block = employer % 2 == 0;
    // Records still to come after the employees: RCT, RCU, RCF.
    const long long reserve = optional_block ? 3 : 2;
    BlockTotals wage_totals(25), optional_totals(8);
    while (wage_totals.count < o.per_employer) {
      const bool with_optional = optional_block && wage_totals.count % 4 == 0;
      if (written + (with_optional ? 2 : 1) + reserve > o.records && wage_totals.count > 0) break;
      Emit(Employee(employees, o.mistakes, wage_totals));
      if (with_optional && written + 1 + reserve <= o.records)
        Emit(Optional(employees, o.mistakes, optional_totals));
      ++employees;
    }
    Emit(Totals("RCT", wage_totals, 0, o.mistakes && employer == 1 ? 1 : 0));
    if (optional_totals.count > 0) {
      Emit(Totals("RCU", optional_totals, rcu_mistake ? 1 : 0, 0));
      rcu_mistake = false;
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!ParseOptions(argc, argv, o)) return Usage();
  std::FILE* f = std::fopen(o.out, "wb");
  if (!f) {
    std::perror(o.out);
    return 1;
  }
  // RCA, the employer blocks, RCF. With mistakes, the first block's RCT
  // misstates a total and the first RCU the number of RCO records (one
  // finding each).
  Writer w{o, f};
  w.rcu_mistake = o.mistakes;
  w.Emit(Submitter(o.mistakes));
  while (w.written + 4 <= o.records) w.EmployerBlock();
  Record final_record("RCF");
  // With mistakes the final record miscounts the employee records by one.
  final_record.Put(4, Digits(o.mistakes ? w.employees + 1 : w.employees, 9));
  w.Emit(final_record);
  if (std::fclose(f) != 0) {
    std::perror(o.out);
    return 1;
  }
  return 0;
}
