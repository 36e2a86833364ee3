// Layouts of the employee records: the RCW wage record (78 fields) and the
// RCO optional record (19 fields), and their money pairs.
//
// A money field's label is the name its findings carry ("Originally
// Reported " or "Correct " + the pair's long name); the viewer shows the
// abbreviated caption where one is given.
#ifndef LINTARO_RECORDS_EMPLOYEE_LAYOUTS_H_
#define LINTARO_RECORDS_EMPLOYEE_LAYOUTS_H_

#include <array>

#include "checks/field_layout.h"
#include "checks/money_pairs.h"

namespace lintaro {

// The RCW fields the rules name; the money fields (rows 19 to 69) are
// reached through kRCWMoneyPairs.
enum RcwField : int {
  kRcwId = 0,
  kRcwOrigSsn = 1,
  kRcwSsn = 2,
  kRcwOrigFirstName = 3,
  kRcwOrigMiddleName = 4,
  kRcwOrigLastName = 5,
  kRcwFirstName = 6,
  kRcwMiddleName = 7,
  kRcwLastName = 8,
  kRcwLocationAddress = 9,
  kRcwDeliveryAddress = 10,
  kRcwCity = 11,
  kRcwState = 12,
  kRcwZip = 13,
  kRcwZipExtension = 14,
  kRcwBlank15 = 15,
  kRcwForeignState = 16,
  kRcwForeignPostalCode = 17,
  kRcwCountry = 18,
  kRcwBlank59 = 59,
  kRcwBlank70 = 70,
  kRcwOrigStatutoryEmployee = 71,
  kRcwStatutoryEmployee = 72,
  kRcwOrigRetirementPlan = 73,
  kRcwRetirementPlan = 74,
  kRcwOrigSickPay = 75,
  kRcwSickPay = 76,
  kRcwBlank77 = 77,
};

// The RCO fields the rules name besides its money pairs (rows 2 to 17).
enum RcoField : int {
  kRcoId = 0,
  kRcoBlank1 = 1,
  kRcoBlank18 = 18,
};

inline constexpr std::array<FieldSpec, 78> kRCWFields = {{
    {kRcwId, 1, 3, "Record Identifier", ""},
    {kRcwOrigSsn, 4, 9, "Employee's Originally Reported SSN", ""},
    {kRcwSsn, 13, 9, "Employee's Correct SSN", ""},
    {kRcwOrigFirstName, 22, 15, "Employee's Originally Reported First Name", ""},
    {kRcwOrigMiddleName, 37, 15, "Employee's Originally Reported Middle Name or Initial", ""},
    {kRcwOrigLastName, 52, 20, "Employee's Originally Reported Last Name", ""},
    {kRcwFirstName, 72, 15, "Employee's Correct First Name", ""},
    {kRcwMiddleName, 87, 15, "Employee's Correct Middle Name or Initial", ""},
    {kRcwLastName, 102, 20, "Employee's Correct Last Name", ""},
    {kRcwLocationAddress, 122, 22, "Location Address", ""},
    {kRcwDeliveryAddress, 144, 22, "Delivery Address", ""},
    {kRcwCity, 166, 22, "City", ""},
    {kRcwState, 188, 2, "State Abbreviation", ""},
    {kRcwZip, 190, 5, "ZIP Code", ""},
    {kRcwZipExtension, 195, 4, "ZIP Code Extension", ""},
    {kRcwBlank15, 199, 5, "Blank", ""},
    {kRcwForeignState, 204, 23, "Foreign State/Province", ""},
    {kRcwForeignPostalCode, 227, 15, "Foreign Postal Code", ""},
    {kRcwCountry, 242, 2, "Country Code", ""},
    {19, 244, 11, "Originally Reported Wages, Tips and Other Compensation", ""},
    {20, 255, 11, "Correct Wages, Tips and Other Compensation", ""},
    {21, 266, 11, "Originally Reported Federal Income Tax Withheld", ""},
    {22, 277, 11, "Correct Federal Income Tax Withheld", ""},
    {23, 288, 11, "Originally Reported Social Security Wages", ""},
    {24, 299, 11, "Correct Social Security Wages", ""},
    {25, 310, 11, "Originally Reported Social Security Tax Withheld", ""},
    {26, 321, 11, "Correct Social Security Tax Withheld", ""},
    {27, 332, 11, "Originally Reported Medicare Wages and Tips", ""},
    {28, 343, 11, "Correct Medicare Wages and Tips", ""},
    {29, 354, 11, "Originally Reported Medicare Tax Withheld", ""},
    {30, 365, 11, "Correct Medicare Tax Withheld", ""},
    {31, 376, 11, "Originally Reported Social Security Tips", ""},
    {32, 387, 11, "Correct Social Security Tips", ""},
    {33, 398, 11, "Originally Reported Advance Earned Income Credit", ""},
    {34, 409, 11, "Correct Advance Earned Income Credit", ""},
    {35, 420, 11, "Originally Reported Dependent Care Benefits", ""},
    {36, 431, 11, "Correct Dependent Care Benefits", ""},
    {37, 442, 11, "Originally Reported Deferred Compensation Contributions to Section 401(k)",
     "Originally Reported Def. Comp. Contr. to Sec. 401(k)"},
    {38, 453, 11, "Correct Deferred Compensation Contributions to Section 401(k)",
     "Correct Def. Comp. Contr. to Sec. 401(k)"},
    {39, 464, 11, "Originally Reported Deferred Compensation Contributions to Section 403(b)",
     "Originally Reported Def. Comp. Contr. to Sec. 403(b)"},
    {40, 475, 11, "Correct Deferred Compensation Contributions to Section 403(b)",
     "Correct Def. Comp. Contr. to Sec. 403(b)"},
    {41, 486, 11, "Originally Reported Deferred Compensation Contributions to Section 408(k)(6)",
     "Originally Reported Def. Comp. Contr. to Sec. 408(k)(6)"},
    {42, 497, 11, "Correct Deferred Compensation Contributions to Section 408(k)(6)",
     "Correct Def. Comp. Contr. to Sec. 408(k)(6)"},
    {43, 508, 11, "Originally Reported Deferred Compensation Contributions to Section 457(b)",
     "Originally Reported Def. Comp. Contr. to Sec. 457(b)"},
    {44, 519, 11, "Correct Deferred Compensation Contributions to Section 457(b)",
     "Correct Def. Comp. Contr. to Sec. 457(b)"},
    {45, 530, 11,
     "Originally Reported Deferred Compensation Contributions to Section 501(c)(18)(D)",
     "Originally Reported Def. Comp. Contr. to Sec. 501(c)(18)(D)"},
    {46, 541, 11, "Correct Deferred Compensation Contributions to Section 501(c)(18)(D)",
     "Correct Def. Comp. Contr. to Sec. 501(c)(18)(D)"},
    {47, 552, 11, "Originally Reported Total Deferred Compensation Contributions",
     "Originally Reported Total Def. Comp. Contr."},
    {48, 563, 11, "Correct Total Deferred Compensation Contributions",
     "Correct Total Def. Comp. Contr."},
    {49, 574, 11,
     "Originally Reported Military Employee Basic Quarters, Subsistence and Combat Pay",
     "Originally Reported Military Employee B.Q.S.C. Pay"},
    {50, 585, 11, "Correct Military Employee Basic Quarters, Subsistence and Combat Pay",
     "Correct Military Employee B.Q.S.C. Pay"},
    {51, 596, 11,
     "Originally Reported Non-qualified Plan Section 457 Distributions or Contributions",
     "Originally Reported Non-qualified Plan Sec. 457 Distr. or Contr."},
    {52, 607, 11, "Correct Non-qualified Plan Section 457 Distributions or Contributions",
     "Correct Non-qualified Plan Sec. 457 Distr. or Contr."},
    {53, 618, 11, "Originally Reported Employer Contributions to a Health Savings Account", ""},
    {54, 629, 11, "Correct Employer Contributions to a Health Savings Account", ""},
    {55, 640, 11,
     "Originally Reported Non-qualified Plan Not Section 457 Distributions or Contributions",
     "Originally Reported Non-qualified Plan Not Sec. 457 Distr. or Contr."},
    {56, 651, 11, "Correct Non-qualified Plan Not Section 457 Distributions or Contributions",
     "Correct Non-qualified Plan Not Sec. 457 Distr. or Contr."},
    {57, 662, 11, "Originally Reported Nontaxable Combat Pay", ""},
    {58, 673, 11, "Correct Nontaxable Combat Pay", ""},
    {kRcwBlank59, 684, 22, "Blank", ""},
    {60, 706, 11,
     "Originally Reported Employer Cost of Premiums for Group Term Life Insurance Over $50,000",
     "Originally Reported Emp. Cost of Prem. for G.T.L.I. Over $50,000"},
    {61, 717, 11, "Correct Employer Cost of Premiums for Group Term Life Insurance Over $50,000",
     "Correct Emp. Cost of Prem. for G.T.L.I. Over $50,000"},
    {62, 728, 11, "Originally Reported Income from the Exercise of Nonstatutory Stock Options",
     "Originally Reported Income from Exercise of Nonstatutory Stock Options"},
    {63, 739, 11, "Correct Income from the Exercise of Nonstatutory Stock Options",
     "Correct Income from Exercise of Nonstatutory Stock Options"},
    {64, 750, 11,
     "Originally Reported Deferrals Under a Section 409A Non-qualified Deferred Compensation "
     "Plan",
     "Originally Reported Deferrals Under a Sec. 409A Non-qualified Def. Comp. Plan"},
    {65, 761, 11, "Correct Deferrals Under a Section 409A Non-qualified Deferred Compensation Plan",
     "Correct Deferrals Under a Sec. 409A Non-qualified Def. Comp. Plan"},
    {66, 772, 11, "Originally Reported Designated Roth Contributions to a Section 401(k) Plan",
     "Originally Reported Designated Roth Contr. to a Sec. 401(k) Plan"},
    {67, 783, 11, "Correct Designated Roth Contributions to a Section 401(k) Plan",
     "Correct Designated Roth Contr. to a Sec. 401(k) Plan"},
    {68, 794, 11,
     "Originally Reported Designated Roth Contributions Under a Section 403(b) Salary "
     "Reduction Agreement",
     "Originally Reported Designated Roth Contr. Under a Sec. 403(b) Salary Reduction "
     "Agreement"},
    {69, 805, 11,
     "Correct Designated Roth Contributions Under a Section 403(b) Salary Reduction Agreement",
     "Correct Designated Roth Contr. Under a Sec. 403(b) Salary Reduction Agreement"},
    {kRcwBlank70, 816, 187, "Blank", ""},
    {kRcwOrigStatutoryEmployee, 1003, 1, "Originally Reported Statutory Employee Indicator", ""},
    {kRcwStatutoryEmployee, 1004, 1, "Correct Statutory Employee Indicator", ""},
    {kRcwOrigRetirementPlan, 1005, 1, "Originally Reported Retirement Plan Indicator", ""},
    {kRcwRetirementPlan, 1006, 1, "Correct Retirement Plan Indicator", ""},
    {kRcwOrigSickPay, 1007, 1, "Originally Reported Third-Party Sick Pay Indicator", ""},
    {kRcwSickPay, 1008, 1, "Correct Third-Party Sick Pay Indicator", ""},
    {kRcwBlank77, 1009, 16, "Blank", ""},
}};

inline constexpr std::array<FieldSpec, 19> kRCOFields = {{
    {kRcoId, 1, 3, "Record Identifier", ""},
    {kRcoBlank1, 4, 9, "Blank", ""},
    {2, 13, 11, "Originally Reported Allocated Tips", ""},
    {3, 24, 11, "Correct Allocated Tips", ""},
    {4, 35, 11, "Originally Reported Uncollected Employee Tax on Tips", ""},
    {5, 46, 11, "Correct Uncollected Employee Tax on Tips", ""},
    {6, 57, 11, "Originally Reported Medical Savings Account", ""},
    {7, 68, 11, "Correct Medical Savings Account", ""},
    {8, 79, 11, "Originally Reported Simple Retirement Account", ""},
    {9, 90, 11, "Correct Simple Retirement Account", ""},
    {10, 101, 11, "Originally Reported Qualified Adoption Expenses", ""},
    {11, 112, 11, "Correct Qualified Adoption Expenses", ""},
    {12, 123, 11,
     "Originally Reported Uncollected Social Security or RRTA Tax on Cost of Group Term Life "
     "Insurance Over $50,000",
     "Originally Reported Uncollected SS or RRTA Tax on Cost of G.T.L.I Over $50,000"},
    {13, 134, 11,
     "Correct Uncollected Social Security or RRTA Tax on Cost of Group Term Life Insurance "
     "Over $50,000",
     "Correct Uncollected SS or RRTA Tax on Cost of G.T.L.I Over $50,000"},
    {14, 145, 11,
     "Originally Reported Uncollected Medicare Tax on Cost of Group Term Life Insurance Over "
     "$50,000",
     "Originally Reported Uncollected Medicare Tax on Cost of G.T.L.I Over $50,000"},
    {15, 156, 11,
     "Correct Uncollected Medicare Tax on Cost of Group Term Life Insurance Over $50,000",
     "Correct Uncollected Medicare Tax on Cost of G.T.L.I Over $50,000"},
    {16, 167, 11,
     "Originally Reported Income Under Section 409A on a Non-qualified Deferred Compensation "
     "Plan",
     "Originally Reported Income Under Section 409A on a Non-qualified Def. Comp. Plan"},
    {17, 178, 11, "Correct Income Under Section 409A on a Non-qualified Deferred Compensation Plan",
     "Correct Income Under Sec. 409A on a Non-qualified Def. Comp. Plan"},
    {kRcoBlank18, 189, 836, "Blank", ""},
}};

// The 25 RCW pairs in layout order (rows 59 and 70 are fillers), summed
// into TRCT.
inline constexpr std::array<MoneyPairFields, 25> kRCWPairFields = {{
    {19, 20}, {21, 22}, {23, 24}, {25, 26}, {27, 28}, {29, 30}, {31, 32}, {33, 34}, {35, 36},
    {37, 38}, {39, 40}, {41, 42}, {43, 44}, {45, 46}, {47, 48}, {49, 50}, {51, 52}, {53, 54},
    {55, 56}, {57, 58}, {60, 61}, {62, 63}, {64, 65}, {66, 67}, {68, 69},
}};
inline constexpr MoneyPairLayout kRCWMoneyPairs{kRCWFields, kRCWPairFields, TotalsTable::kTRCT};
static_assert(PairsFollowLayout(kRCWMoneyPairs, "Originally Reported ", "Correct "));
static_assert(RowsNumberedInOrder(kRCWFields));

// The 8 RCO pairs, summed into TRCU.
inline constexpr std::array<MoneyPairFields, 8> kRCOPairFields = {{
    {2, 3},
    {4, 5},
    {6, 7},
    {8, 9},
    {10, 11},
    {12, 13},
    {14, 15},
    {16, 17},
}};
inline constexpr MoneyPairLayout kRCOMoneyPairs{kRCOFields, kRCOPairFields, TotalsTable::kTRCU};
static_assert(PairsFollowLayout(kRCOMoneyPairs, "Originally Reported ", "Correct "));
static_assert(RowsNumberedInOrder(kRCOFields));

}  // namespace lintaro

#endif  // LINTARO_RECORDS_EMPLOYEE_LAYOUTS_H_
