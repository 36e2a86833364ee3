// Writes generated corrected wage report submissions: the shipped samples
// and the large files the benchmarks test.
//
//   gen_submission [--records N] [--per-employer K] [--mistakes] [--lf] OUT
//
// --records N       about N records in all (default 1,000)
// --per-employer K  employee records per employer (default 1,000)
// --mistakes        one finding per employee record (a correction pair whose
//                   Correct amount repeats the Originally Reported amount),
//                   and a few in the submitter record, the first employer
//                   record and the final record (see Submitter, Employer and
//                   the final record below)
// --lf              LF line ends instead of CR LF
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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
  r.Put(4, "2007").Put(17, Digits(310000000 + n % 1000000, 9));
  r.Put(44, "EXAMPLE MANUFACTURING CO " + std::to_string(n)).Put(101, "200 HARBOR DRIVE");
  r.Put(145, "ANNAPOLIS").Put(167, "MD").Put(169, "21401").Put(223, "R");
  if (mistakes && n == 1) {
    // An earlier tax year, an agent code without the agent's EIN and an
    // establishment number that repeats the originally reported one.
    r.Put(4, "2006").Put(26, "1").Put(36, "0001").Put(40, "0001");
  }
  return r;
}

struct EmployeeAmounts {
  long long wages_orig, wages, fit_orig, fit;
};

EmployeeAmounts AmountsFor(long long n) {
  long long base = 2500000 + (n * 7919) % 4000000;  // $25,000.00 to $65,000.00
  return {base, base + 150000, base / 10, base / 10 + 15000};
}

Record Employee(long long n, bool mistake) {
  Record r("RCW");
  r.Put(13, Digits(200000000 + n % 700000000, 9));
  r.Put(72, "JOHN").Put(87, "Q").Put(102, "EMPLOYEE" + std::to_string(n % 100000));
  r.Put(122, "300 ELM STREET").Put(166, "TOWSON").Put(188, "MD").Put(190, "21204");
  EmployeeAmounts a = AmountsFor(n);
  r.Money(244, 11, a.wages_orig).Money(255, 11, mistake ? a.wages_orig : a.wages);
  r.Money(266, 11, a.fit_orig).Money(277, 11, a.fit);
  return r;
}

Record EmployerTotal(long long employees, long long wages_orig, long long wages,
                     long long fit_orig, long long fit) {
  Record r("RCT");
  r.Put(4, Digits(employees, 7));
  r.Money(11, 15, wages_orig).Money(26, 15, wages).Money(41, 15, fit_orig).Money(56, 15, fit);
  return r;
}

int Usage() {
  std::fputs("usage: gen_submission [--records N] [--per-employer K] [--mistakes] [--lf] OUT\n",
             stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
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
      return Usage();
    } else {
      o.out = argv[i];
    }
  }
  if (!o.out || o.records < 5 || o.per_employer < 1) return Usage();
  std::FILE* f = std::fopen(o.out, "wb");
  if (!f) {
    std::perror(o.out);
    return 1;
  }
  auto emit = [&](const Record& r) {
    std::fwrite(r.text().data(), 1, r.text().size(), f);
    std::fputs(o.line_end, f);
  };
  emit(Submitter(o.mistakes));
  long long written = 1, employees = 0, employer = 0;
  // Each employer block is RCE, its RCWs and an RCT; RCF ends the file.
  while (written + 3 < o.records) {
    emit(Employer(++employer, o.mistakes));
    ++written;
    long long in_block = 0, wo = 0, w = 0, fo = 0, fi = 0;
    while (in_block < o.per_employer && written + 2 < o.records) {
      EmployeeAmounts a = AmountsFor(employees);
      emit(Employee(employees, o.mistakes));
      wo += a.wages_orig;
      w += o.mistakes ? a.wages_orig : a.wages;
      fo += a.fit_orig;
      fi += a.fit;
      ++employees;
      ++in_block;
      ++written;
    }
    emit(EmployerTotal(in_block, wo, w, fo, fi));
    ++written;
  }
  Record final_record("RCF");
  // With mistakes the final record miscounts the employee records by one.
  final_record.Put(4, Digits(o.mistakes ? employees + 1 : employees, 9));
  emit(final_record);
  if (std::fclose(f) != 0) {
    std::perror(o.out);
    return 1;
  }
  return 0;
}
