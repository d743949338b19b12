#pragma once

#include "offer/offer_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace offertest {

// The value of the document's line named `label`; a failure when the document has none.
inline std::string valueOf(const std::vector<offer::Line>& lines, const std::string& label) {
    for (const offer::Line& line : lines) {
        if (line.label == label) {
            return line.value;
        }
    }
    ADD_FAILURE() << "no line " << label;
    return {};
}

} // namespace offertest
