#include "gui/register_model.h"

#include <algorithm>
#include <array>
#include <climits>

namespace gui {

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QString amount(const std::optional<double>& v, int decimals = 2) {
    return v ? QString::number(*v, 'f', decimals) : QString();
}

const std::array<const char*, 9> headers = {
    "Data", "Client", "Magazin", "Tip", "Valoare produs", "Credit", "Durata", "Rata lunara", "DAE"};

// Enough for several screens each way of where the agent scrolls.
constexpr std::size_t pagesKept = 16;

} // namespace

QString shownTime(const std::string& issuedAt) {
    return qs(issuedAt.substr(0, 10) + (issuedAt.size() >= 16 ? " " + issuedAt.substr(11, 5) : ""));
}

void RegisterModel::show(std::unique_ptr<reg::Database> db) {
    beginResetModel();
    db_ = std::move(db);
    recount();
    endResetModel();
}

void RegisterModel::filter(const QString& text) {
    beginResetModel();
    needle_ = reg::searchNeedle(text.toStdString());
    recount();
    endResetModel();
}

void RegisterModel::recount() {
    pages_.clear();
    read_.clear();
    rows_ = 0;
    if (!db_) {
        return;
    }
    long long n = 0;
    if (const reg::Outcome o = db_->countListed(needle_, n); !o.ok) {
        fail(o);
        return;
    }
    // A view counts its rows in an int; a register beyond two thousand million records lists
    // its newest ones.
    rows_ = static_cast<int>(std::min<long long>(n, INT_MAX));
}

void RegisterModel::fail(const reg::Outcome& o) const {
    if (failed) {
        failed(o.error);
    }
}

const reg::Record& RegisterModel::record(int row) const {
    static const reg::Record none;
    if (!db_ || row < 0 || row >= rows_) {
        return none;
    }
    const long long page = row / pageRows;
    auto found = pages_.find(page);
    if (found == pages_.end()) {
        std::vector<reg::Record> records;
        if (const reg::Outcome o = db_->listPage(needle_, page * pageRows, pageRows, records);
            !o.ok) {
            fail(o);
        }
        if (pages_.size() >= pagesKept) {
            pages_.erase(read_.front());
            read_.pop_front();
        }
        found = pages_.emplace(page, std::move(records)).first;
        read_.push_back(page);
    }
    // A register that shrank since it was counted (a record removed by another machine) leaves
    // the page short: its missing rows show empty until the list is read again.
    const auto at = static_cast<std::size_t>(row % pageRows);
    return at < found->second.size() ? found->second[at] : none;
}

int RegisterModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int RegisterModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers.size());
}

QVariant RegisterModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        return index.column() >= 4 ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    const reg::Record& r = record(index.row());
    const reg::Summary& s = r.summary;
    switch (index.column()) {
    case 0:
        return r.issued_at.empty() ? QString() : shownTime(r.issued_at);
    case 1:
        return qs(r.customer.value_or(""));
    case 2:
        return qs(r.shop.value_or(""));
    case 3:
        return qs(r.kind);
    case 4:
        return amount(s.productValue);
    case 5:
        return amount(s.credit);
    case 6:
        return amount(s.duration, 0);
    case 7:
        return amount(s.instalment);
    default:
        return s.dae ? QString::number(*s.dae * 100, 'f', 2) + QStringLiteral(" %") : QString();
    }
}

QVariant RegisterModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= static_cast<int>(headers.size())) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return QString::fromLatin1(headers[static_cast<std::size_t>(section)]);
}

} // namespace gui
