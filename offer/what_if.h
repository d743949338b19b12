#pragma once

#include "core/window.h"
#include "ui/form1.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace offer {

using core::Control;

// Which panel the form shows: the error panel (a limit), the indebtedness panel; when neither,
// whether an offer may be made at all (no_offer when not: nothing to finance, a credit below the
// minimum, no rate of the grid, figures that are not finite), then whether the credit breaches
// one of the lender's legal limits; or a runtime error that stopped the recalculation.
enum class Verdict : std::uint8_t { limit, refused, no_offer, over_limit, accepted, fault };

// "limit", "refused", "no_offer", "over_limit", "accepted", "fault".
std::string_view verdictName(Verdict v);

// What the form would show if one of its boxes held another text now. The form's controls and
// state are copied and the text is set on the copy exactly as the agent's edit sets it on the
// form (one text change, no notification when the text is the same), so the copy's figures are
// the form's own by construction. The form is only read: its controls, state, count of
// recalculations, observers and message box are never reached.
class WhatIf {
public:
    explicit WhatIf(const ui::Form1& form);
    WhatIf(const WhatIf&) = delete;
    WhatIf& operator=(const WhatIf&) = delete;

    // The copy after `box` was set to `text`; valid until the next call.
    const ui::Form1& set(Control box, std::string_view text);

    // Of the last set: the panel the copy shows, the message boxes it would have shown (a
    // duration above the guard) and the runtime errors that stopped its recalculations.
    Verdict verdict() const;
    // The first legal limit of the tariff the copy's offer breaches, if any.
    std::optional<std::string> breachedLimit() const;
    const ui::Form1& copy() const { return copy_; }
    const std::vector<core::Message>& messages() const { return log_.shown; }
    const std::vector<std::string>& faults() const { return faults_.met; }

private:
    struct FaultRecord final : core::FaultSink {
        void fault(std::string_view what) override { met.emplace_back(what); }
        std::vector<std::string> met;
    };

    const ui::Form1& form_;
    ui::MessageLog log_;
    FaultRecord faults_;
    ui::Form1 copy_;
};

// The limit texts of the error panel without their figures, one per line joined by "; ":
// "Durata creditului este prea mare; Valoare produs prea mica".
std::string limitSummary(std::string_view caption);

} // namespace offer
