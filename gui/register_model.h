#pragma once

#include "register/database.h"
#include "register/record.h"

#include <QAbstractTableModel>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace gui {

// "2026-12-08T21:43:06Z" as the agent reads it, in UTC: "2026-12-08 21:43".
QString shownTime(const std::string& issuedAt);

// The register's records as the window lists them, newest first: date, customer, shop, kind,
// product value, credit, duration, instalment and legal DAE; the filter keeps the records whose
// time, customer or shop holds its text (any case). The database counts and filters; the model
// reads only the pages the view shows, so that a register of a whole chain of shops lists at
// once.
class RegisterModel final : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Lists the records of `db` (none without one) under the current filter.
    void show(std::unique_ptr<reg::Database> db);
    void filter(const QString& text);
    // The record listed at `row`, read with its page; an empty record when it cannot be read.
    const reg::Record& record(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Told when the register cannot be read, with the reason; the window shows it.
    std::function<void(const std::string& error)> failed;

    static constexpr int pageRows = 200;

private:
    void recount();
    void fail(const reg::Outcome& o) const;

    std::unique_ptr<reg::Database> db_;
    std::string needle_;
    int rows_ = 0;
    // The pages read, by number, the latest last; a few kept, so that scrolling back is quick.
    mutable std::map<long long, std::vector<reg::Record>> pages_;
    mutable std::deque<long long> read_;
};

} // namespace gui
