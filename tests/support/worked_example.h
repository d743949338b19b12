#pragma once

// The worked example the tests of every layer share: a product of 2000 less a down payment of
// 200, over 24 months, "Standard" insurance, paid by direct debit, for a customer with a net
// income of 3000 and other instalments of 200, on the built-in tariff. Each figure says where it
// comes from and how closely it is known: figures worked by hand are given to the digits shown,
// so their tolerance is half a unit of the last digit; exact decimal sums are held to 1e-9.

namespace testsupport::worked {

// A figure and the distance from it that still agrees with its source.
struct Figure {
    double value;
    double tolerance;
};

// What the agent types.
inline constexpr double productValue = 2000;    // tbvp
inline constexpr double downPayment = 200;      // tbavans
inline constexpr int months = 24;               // tbdurcred
inline constexpr double netIncome = 3000;       // vn
inline constexpr double otherInstalments = 200; // ar
inline constexpr int insuranceItem = 1;         // "Standard" in cbasig

// The built-in tariff's terms for this credit: 8.7 % granting commission (24 months, direct
// debit), 10.7 % interest a year, 1.5 % management commission and 0.44 % "Standard" insurance a
// month.
inline constexpr double comision = 0.087;
inline constexpr double DOB = 0.107;
inline constexpr double comgestluna = 0.015;
inline constexpr double procasig = 0.0044;

// The credit value: 1800 financed plus 8.7 % of it, 156.6 (exact decimal arithmetic).
inline constexpr double financed = 1800;
inline constexpr Figure grantingCommission{156.6, 1e-9};
inline constexpr Figure valcredit{1956.6, 1e-9};

// The management commission: 1.5 % of 1956.6 every month (exact).
inline constexpr Figure managementCommission{29.349, 1e-9};

// The schedule with the commission on the balance: the monthly rate a = 0.107 / 12 + 0.015, the
// instalment R = valcr * a / (1 - (1 + a)^-24), worked to six decimals.
inline constexpr Figure instalment{113.447298, 5e-7};
inline constexpr Figure firstInterest{17.44635, 5e-9};   // 1956.6 * 0.107 / 12
inline constexpr Figure firstInsurance{8.60904, 5e-9};   // 1956.6 * 0.0044
inline constexpr Figure firstPrincipal{58.042908, 5e-7}; // R less the three above
inline constexpr Figure firstBalance{1898.557092, 5e-7};
inline constexpr Figure secondInterest{16.928801, 5e-7};

// The effective annual rate by the scan over 24 months, from 1800 received: the smallest
// distance is at trial 131 (m = 0.0314717), the rate (1 + m)^12 - 1 to six decimals.
inline constexpr Figure dae{0.450399, 5e-7};

// The largest amount the income supports: a budget of (3000 - 0) * 0.35 - 200 = 850 a month
// carries M, and the ceiling of 30000 on the credit value allows L, both to six decimals.
inline constexpr Figure supportedCredit{13110.198890, 5e-7};
inline constexpr Figure ceilingCredit{27598.896044, 5e-7};

} // namespace testsupport::worked
