#pragma once

// Values between a record's fields and Qt SQL's, for the register's queries; internal to the
// register library.

#include "register/record.h"

#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <optional>
#include <string>

namespace reg::row {

inline QString q(const std::string& text) {
    return QString::fromStdString(text);
}
inline std::string s(const QVariant& v) {
    return v.toString().toStdString();
}

inline QVariant optionalText(const std::optional<std::string>& text) {
    return text ? QVariant(q(*text)) : QVariant(QMetaType(QMetaType::QString));
}
inline QVariant optionalNumber(const std::optional<double>& value) {
    return value ? QVariant(*value) : QVariant(QMetaType(QMetaType::Double));
}
inline std::optional<std::string> textOrNone(const QVariant& v) {
    return v.isNull() ? std::nullopt : std::optional<std::string>(s(v));
}
inline std::optional<double> numberOrNone(const QVariant& v) {
    return v.isNull() ? std::nullopt : std::optional<double>(v.toDouble());
}

// The columns of a whole record; %1 stands for the figures' three, or one NULL without them.
inline constexpr const char* selectRecords =
    "SELECT d.id, d.issued_at, d.program, d.kind, d.shop, d.agent, d.customer, d.in_vn, d.in_ar, "
    "d.in_ad, d.in_tbvp, d.in_tbavans, d.in_tbdurcred, d.in_cbasig, d.in_plata, %1, "
    "d.tariff_sha256, d.document_sha256, d.sum_product_value, d.sum_credit, d.sum_duration, "
    "d.sum_instalment, d.sum_dae, t.name, t.valid_from "
    "FROM registru_documente d JOIN registru_tarife t ON t.sha256 = d.tariff_sha256 ";

inline Record readRecord(const QSqlQuery& query, bool withFigures) {
    Record r;
    int c = 0;
    auto next = [&] { return query.value(c++); };
    r.id = s(next());
    r.issued_at = s(next());
    r.program = s(next());
    r.kind = s(next());
    r.shop = textOrNone(next());
    r.agent = s(next());
    r.customer = textOrNone(next());
    r.inputs = {s(next()), s(next()), s(next()), s(next()),
                s(next()), s(next()), s(next()), s(next())};
    if (withFigures) {
        r.figures.snapshot = s(next());
        r.figures.schedule = s(next());
        r.figures.legal = s(next());
    } else {
        next();
    }
    r.tariff.sha256 = s(next());
    r.document_sha256 = textOrNone(next());
    r.summary.productValue = numberOrNone(next());
    r.summary.credit = numberOrNone(next());
    r.summary.duration = numberOrNone(next());
    r.summary.instalment = numberOrNone(next());
    r.summary.dae = numberOrNone(next());
    r.tariff.name = s(next());
    r.tariff.valid_from = textOrNone(next());
    return r;
}

} // namespace reg::row
