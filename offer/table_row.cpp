#include "offer/table_row.h"

namespace offer {

std::size_t boxSlot(core::Control box) {
    std::size_t k = 0;
    while (k < ui::inputBoxes.size() && ui::inputBoxes[k] != box) {
        ++k;
    }
    return k;
}

void playRow(ui::Form1& form, const TableRow& row) {
    ui::ControlModel& m = form.controls();
    for (std::size_t i = 0; i < ui::inputBoxes.size(); ++i) {
        if (row.boxes[i]) {
            m.setText(ui::inputBoxes[i], *row.boxes[i]);
        }
    }
    if (row.insurance >= 0) {
        m.select(core::Control::cbasig, row.insurance);
    }
    if (row.cash) {
        form.click(core::Control::Check2);
    }
}

} // namespace offer
