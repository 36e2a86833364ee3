// Layouts of the employer total records: the RCT record (54 fields: the
// count of RCW records and 25 money pairs of 15 characters) and the RCU
// record (19 fields: the count of RCO records and 8 money pairs).
//
// A field's label is the name its findings carry; the viewer shows the
// abbreviated caption where one is given.
#ifndef LINTARO_TOTALS_TOTAL_LAYOUTS_H_
#define LINTARO_TOTALS_TOTAL_LAYOUTS_H_

#include <array>

#include "checks/field_layout.h"
#include "checks/money_pairs.h"

namespace lintaro {

// The RCT fields the rules name; the money fields are reached through
// kRCTMoneyPairs. The filler kRctBlank42 stands before money pair 21.
enum RctField : int { kRctId = 0, kRctRecordCount = 1, kRctBlank42 = 42, kRctBlank53 = 53 };
inline constexpr int kRctPairAfterBlank42 = 21;

// The RCU fields the rules name besides its money pairs.
enum RcuField : int { kRcuId = 0, kRcuRecordCount = 1, kRcuBlank18 = 18 };

inline constexpr std::array<FieldSpec, 54> kRCTFields = {{
    {kRctId, 1, 3, "Record Identifier", ""},
    {kRctRecordCount, 4, 7, "Total Number of RCW Records", ""},
    {2, 11, 15, "Total Originally Reported Wages, Tips and Other Compensation", ""},
    {3, 26, 15, "Total Correct Wages, Tips and Other Compensation", ""},
    {4, 41, 15, "Total Originally Reported Federal Income Tax Withheld", ""},
    {5, 56, 15, "Total Correct Federal Income Tax Withheld", ""},
    {6, 71, 15, "Total Originally Reported Social Security Wages", ""},
    {7, 86, 15, "Total Correct Social Security Wages", ""},
    {8, 101, 15, "Total Originally Reported Social Security Tax Withheld", ""},
    {9, 116, 15, "Total Correct Social Security Tax Withheld", ""},
    {10, 131, 15, "Total Originally Reported Medicare Wages and Tips", ""},
    {11, 146, 15, "Total Correct Medicare Wages and Tips", ""},
    {12, 161, 15, "Total Originally Reported Medicare Tax Withheld", ""},
    {13, 176, 15, "Total Correct Medicare Tax Withheld", ""},
    {14, 191, 15, "Total Originally Reported Social Security Tips", ""},
    {15, 206, 15, "Total Correct Social Security Tips", ""},
    {16, 221, 15, "Total Originally Reported Advance Earned Income Credit", ""},
    {17, 236, 15, "Total Correct Advance Earned Income Credit", ""},
    {18, 251, 15, "Total Originally Reported Dependent Care Benefits", ""},
    {19, 266, 15, "Total Correct Dependent Care Benefits", ""},
    {20, 281, 15, "Total Originally Reported Deferred Compensation Contributions to Section 401(k)",
     "Total Originally Reported Def. Comp. Contr. to Sec. 401(k)"},
    {21, 296, 15, "Total Correct Deferred Compensation Contributions to Section 401(k)",
     "Total Correct Def. Comp. Contr. to Sec. 401(k)"},
    {22, 311, 15, "Total Originally Reported Deferred Compensation Contributions to Section 403(b)",
     "Total Originally Reported Def. Comp. Contr. to Sec. 403(b)"},
    {23, 326, 15, "Total Correct Deferred Compensation Contributions to Section 403(b)",
     "Total Correct Def. Comp. Contr. to Sec. 403(b)"},
    {24, 341, 15,
     "Total Originally Reported Deferred Compensation Contributions to Section 408(k)(6)",
     "Total Originally Reported Def. Comp. Contr. to Sec. 408(k)(6)"},
    {25, 356, 15, "Total Correct Deferred Compensation Contributions to Section 408(k)(6)",
     "Total Correct Def. Comp. Contr. to Sec. 408(k)(6)"},
    {26, 371, 15, "Total Originally Reported Deferred Compensation Contributions to Section 457(b)",
     "Total Originally Reported Def. Comp. Contr. to Sec. 457(b)"},
    {27, 386, 15, "Total Correct Deferred Compensation Contributions to Section 457(b)",
     "Total Correct Def. Comp. Contr. to Sec. 457(b)"},
    {28, 401, 15,
     "Total Originally Reported Deferred Compensation Contributions to Section 501(c)(18)(D)",
     "Total Originally Reported Def. Comp. Contr. to Sec. 501(c)(18)(D)"},
    {29, 416, 15, "Total Correct Deferred Compensation Contributions to Section 501(c)(18)(D)",
     "Total Correct Def. Comp. Contr. to Sec. 501(c)(18)(D)"},
    {30, 431, 15, "Total Originally Reported Total Deferred Compensation Contributions",
     "Total Originally Reported Total Def. Comp. Contr."},
    {31, 446, 15, "Total Correct Total Deferred Compensation Contributions",
     "Total Correct Total Def. Comp. Contr."},
    {32, 461, 15,
     "Total Originally Reported Military Employee Basic Quarters, Subsistence and Combat Pay",
     "Total Originally Reported Military Employee B.Q.S.C. Pay"},
    {33, 476, 15, "Total Correct Military Employee Basic Quarters, Subsistence and Combat Pay",
     "Total Correct Military Employee B.Q.S.C. Pay"},
    {34, 491, 15,
     "Total Originally Reported Non-qualified Plan Section 457 Distributions or Contributions",
     "Total Originally Reported Non-qualified Plan Sec. 457 Distr. or Contr."},
    {35, 506, 15, "Total Correct Non-qualified Plan Section 457 Distributions or Contributions",
     "Total Correct Non-qualified Plan Sec. 457 Distr. or Contr."},
    {36, 521, 15, "Total Originally Reported Employer Contributions to a Health Savings Account",
     ""},
    {37, 536, 15, "Total Correct Employer Contributions to a Health Savings Account", ""},
    {38, 551, 15,
     "Total Originally Reported Non-qualified Plan Not Section 457 Distributions or Contributions",
     "Total Originally Reported Non-qualified Plan Not Sec. 457 Distr. or Contr."},
    {39, 566, 15, "Total Correct Non-qualified Plan Not Section 457 Distributions or Contributions",
     "Total Correct Non-qualified Plan Not Sec. 457 Distr. or Contr."},
    {40, 581, 15, "Total Originally Reported Nontaxable Combat Pay", ""},
    {41, 596, 15, "Total Correct Nontaxable Combat Pay", ""},
    {kRctBlank42, 611, 30, "Blank", ""},
    {43, 641, 15,
     "Total Originally Reported Employer Cost of Premiums for Group Term Life Insurance Over "
     "$50,000",
     "Total Originally Reported Emp. Cost of Prem. for G.T.L.I. Over $50,000"},
    {44, 656, 15,
     "Total Correct Employer Cost of Premiums for Group Term Life Insurance Over $50,000",
     "Total Correct Emp. Cost of Prem. for G.T.L.I. Over $50,000"},
    {45, 671, 15,
     "Total Originally Reported Income from the Exercise of Nonstatutory Stock Options",
     "Total Originally Reported Income from Exercise of Nonstatutory Stock Options"},
    {46, 686, 15, "Total Correct Income from the Exercise of Nonstatutory Stock Options",
     "Total Correct Income from Exercise of Nonstatutory Stock Options"},
    {47, 701, 15,
     "Total Originally Reported Deferrals Under a Section 409A Non-qualified Deferred Compensation "
     "Plan",
     "Total Originally Reported Deferrals Under a Sec. 409A Non-qualified Def. Comp. Plan"},
    {48, 716, 15,
     "Total Correct Deferrals Under a Section 409A Non-qualified Deferred Compensation Plan",
     "Total Correct Deferrals Under a Sec. 409A Non-qualified Def. Comp. Plan"},
    {49, 731, 15,
     "Total Originally Reported Designated Roth Contributions to a Section 401(k) Plan",
     "Total Originally Reported Designated Roth Contr. to a Sec. 401(k) Plan"},
    {50, 746, 15, "Total Correct Designated Roth Contributions to a Section 401(k) Plan",
     "Total Correct Designated Roth Contr. to a Sec. 401(k) Plan"},
    {51, 761, 15,
     "Total Originally Reported Designated Roth Contributions Under a Section 403(b) Salary "
     "Reduction Agreement",
     "Total Originally Reported Designated Roth Contr. Under a Sec. 403(b) Salary Reduction "
     "Agreement"},
    {52, 776, 15,
     "Total Correct Designated Roth Contributions Under a Section 403(b) Salary Reduction "
     "Agreement",
     "Total Correct Designated Roth Contr. Under a Sec. 403(b) Salary Reduction Agreement"},
    {kRctBlank53, 791, 234, "Blank", ""},
}};

inline constexpr std::array<FieldSpec, 19> kRCUFields = {{
    {kRcuId, 1, 3, "Record Identifier", ""},
    {kRcuRecordCount, 4, 7, "Number of RCO Records", ""},
    {2, 11, 15, "Total Originally Reported Allocated Tips", ""},
    {3, 26, 15, "Total Correct Allocated Tips", ""},
    {4, 41, 15, "Total Originally Reported Uncollected Employee Tax on Tips", ""},
    {5, 56, 15, "Total Correct Uncollected Employee Tax on Tips", ""},
    {6, 71, 15, "Total Originally Reported Medical Savings Account", ""},
    {7, 86, 15, "Total Correct Medical Savings Account", ""},
    {8, 101, 15, "Total Originally Reported Simple Retirement Account", ""},
    {9, 116, 15, "Total Correct Simple Retirement Account", ""},
    {10, 131, 15, "Total Originally Reported Qualified Adoption Expenses", ""},
    {11, 146, 15, "Total Correct Qualified Adoption Expenses", ""},
    {12, 161, 15,
     "Total Originally Reported Uncollected Social Security or RRTA Tax on Cost of Group Term Life "
     "Insurance Over $50,000",
     "Total Originally Reported Uncollected SS or RRTA Tax on Cost of G.T.L.I. Over $50,000"},
    {13, 176, 15,
     "Total Correct Uncollected Social Security or RRTA Tax on Cost of Group Term Life Insurance "
     "Over $50,000",
     "Total Correct Uncollected SS or RRTA Tax on Cost of G.T.L.I. Over $50,000"},
    {14, 191, 15,
     "Total Originally Reported Uncollected Medicare Tax on Cost of Group Term Life Insurance Over "
     "$50,000",
     "Total Originally Reported Uncollected Medicare Tax on Cost of G.T.L.I. Over $50,000"},
    {15, 206, 15,
     "Total Correct Uncollected Medicare Tax on Cost of Group Term Life Insurance Over $50,000",
     "Total Correct Uncollected Medicare Tax on Cost of G.T.L.I. Over $50,000"},
    {16, 221, 15,
     "Total Originally Reported Income Under Section 409A on a Non-qualified Deferred Compensation "
     "Plan",
     "Total Originally Reported Income Under Sec. 409A on a Non-qualified Def. Comp. Plan"},
    {17, 236, 15,
     "Total Correct Income Under Section 409A on a Non-qualified Deferred Compensation Plan",
     "Total Correct Income Under Sec. 409A on a Non-qualified Def. Comp. Plan"},
    {kRcuBlank18, 251, 774, "Blank", ""},
}};

// The RCT pairs in layout order, compared with TRCT; field 42 (a filler)
// lies between pairs 20 and 21.
inline constexpr std::array<MoneyPairFields, 25> kRCTPairFields = {{
    {2, 3},   {4, 5},   {6, 7},   {8, 9},   {10, 11}, {12, 13}, {14, 15}, {16, 17}, {18, 19},
    {20, 21}, {22, 23}, {24, 25}, {26, 27}, {28, 29}, {30, 31}, {32, 33}, {34, 35}, {36, 37},
    {38, 39}, {40, 41}, {43, 44}, {45, 46}, {47, 48}, {49, 50}, {51, 52},
}};
inline constexpr MoneyPairLayout kRCTMoneyPairs{kRCTFields, kRCTPairFields, TotalsTable::kTRCT};
static_assert(PairsFollowLayout(kRCTMoneyPairs, "Total Originally Reported ", "Total Correct "));
static_assert(RowsNumberedInOrder(kRCTFields));
static_assert(kRCTFields[kRctBlank42].start ==
              kRCTMoneyPairs.pair(kRctPairAfterBlank42 - 1).correct.end() + 1);

// The RCU pairs, compared with TRCU.
inline constexpr std::array<MoneyPairFields, 8> kRCUPairFields = {{
    {2, 3},
    {4, 5},
    {6, 7},
    {8, 9},
    {10, 11},
    {12, 13},
    {14, 15},
    {16, 17},
}};
inline constexpr MoneyPairLayout kRCUMoneyPairs{kRCUFields, kRCUPairFields, TotalsTable::kTRCU};
static_assert(PairsFollowLayout(kRCUMoneyPairs, "Total Originally Reported ", "Total Correct "));
static_assert(RowsNumberedInOrder(kRCUFields));

}  // namespace lintaro

#endif  // LINTARO_TOTALS_TOTAL_LAYOUTS_H_
