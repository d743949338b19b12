#include "offer/what_if.h"

#include "offer/legal.h"
#include "offer/schedule_offer.h"

namespace offer {

std::string_view verdictName(Verdict v) {
    switch (v) {
    case Verdict::limit:
        return "limit";
    case Verdict::refused:
        return "refused";
    case Verdict::over_limit:
        return "over_limit";
    case Verdict::no_offer:
        return "no_offer";
    case Verdict::accepted:
        return "accepted";
    case Verdict::fault:
        break;
    }
    return "fault";
}

WhatIf::WhatIf(const ui::Form1& form) : form_(form), copy_(log_) {
    copy_.setFaultSink(&faults_);
}

const ui::Form1& WhatIf::set(Control box, std::string_view text) {
    copy_.copyFrom(form_);
    log_.shown.clear();
    faults_.met.clear();
    copy_.controls().setText(box, text);
    return copy_;
}

Verdict WhatIf::verdict() const {
    if (!faults_.met.empty()) {
        return Verdict::fault;
    }
    const ui::ControlModel& m = copy_.controls();
    if (m.visible(Control::Eroare)) {
        return Verdict::limit;
    }
    if (m.visible(Control::Frame6)) {
        return Verdict::refused;
    }
    if (noOfferReason(copy_)) {
        return Verdict::no_offer;
    }
    return breachedLimit() ? Verdict::over_limit : Verdict::accepted;
}

std::optional<std::string> WhatIf::breachedLimit() const {
    return firstBreachedLimit(copy_);
}

std::string limitSummary(std::string_view caption) {
    std::string out;
    while (!caption.empty()) {
        const auto end = caption.find('\r');
        std::string_view line = caption.substr(0, end);
        caption = end == std::string_view::npos ? std::string_view{} : caption.substr(end + 1);
        line = line.substr(0, line.find(" ("));
        if (line.empty()) {
            continue;
        }
        if (!out.empty()) {
            out += "; ";
        }
        out += line;
    }
    return out;
}

} // namespace offer
