#include "gui/layout.h"

#include "ui/window_facts.h"

#include <array>

namespace gui {
namespace {

constexpr FontSpec arial(double points, bool bold, bool italic = false) {
    FontSpec font;
    font.points = points;
    font.bold = bold;
    font.italic = italic;
    return font;
}

constexpr FontSpec big = arial(15.75, true);       // the rows of the two upper frames
constexpr FontSpec title = arial(24, true);        // Label1
constexpr FontSpec option = arial(12, true, true); // the payment pair
constexpr FontSpec list = arial(9.75, false);      // cbasig
constexpr FontSpec costLabel = arial(14.25, true, true);
constexpr FontSpec costValue = arial(14.25, true);
constexpr FontSpec rata = arial(18, true);
constexpr FontSpec smallCaption = arial(12, false, true);
constexpr FontSpec smallUnit = arial(12, true);
constexpr FontSpec smallValue = arial(9.75, true);
constexpr FontSpec warning = arial(14.25, false);

// Row builders: each kind of control takes only the columns it uses.
struct Rect {
    int left, top, width, height;
};

constexpr ControlSpec place(std::string_view name, Kind kind, std::string_view parent, Rect r) {
    ControlSpec entry;
    entry.name = name;
    entry.kind = kind;
    entry.parent = parent;
    entry.left = r.left;
    entry.top = r.top;
    entry.width = r.width;
    entry.height = r.height;
    return entry;
}

constexpr ControlSpec frame(std::string_view name, Rect r, std::string_view caption) {
    ControlSpec entry = place(name, Kind::Frame, "", r);
    entry.caption = caption;
    return entry;
}

constexpr ControlSpec label(std::string_view name, std::string_view parent, Rect r,
                            std::string_view caption, FontSpec font, Align align = Align::Centre) {
    ControlSpec entry = place(name, Kind::Label, parent, r);
    entry.caption = caption;
    entry.font = font;
    entry.align = align;
    return entry;
}

constexpr ControlSpec labelArray(std::string_view name, int index, std::string_view parent, Rect r,
                                 std::string_view caption, FontSpec font) {
    ControlSpec entry = label(name, parent, r, caption, font);
    entry.index = index;
    return entry;
}

constexpr ControlSpec redLabel(std::string_view name, std::string_view parent, Rect r,
                               std::string_view caption, FontSpec font) {
    ControlSpec entry = label(name, parent, r, caption, font, Align::Left);
    entry.errorRed = true;
    return entry;
}

// An output label named for assistive tools by the caption beside it.
constexpr ControlSpec output(std::string_view name, std::string_view parent, Rect r, FontSpec font,
                             std::string_view labelledBy) {
    ControlSpec entry = label(name, parent, r, "", font);
    entry.labelledBy = labelledBy;
    return entry;
}

enum class Box : std::uint8_t { Input, Output, Locked };

constexpr ControlSpec textBox(std::string_view name, std::string_view parent, Rect r,
                              std::string_view labelledBy, Box box = Box::Input) {
    ControlSpec entry = place(name, Kind::TextBox, parent, r);
    entry.font = big;
    entry.align = Align::Centre;
    entry.menuGrey = box != Box::Input;
    entry.locked = box == Box::Locked;
    entry.labelledBy = labelledBy;
    return entry;
}

constexpr ControlSpec checkBox(std::string_view name, Rect r, std::string_view caption) {
    ControlSpec entry = place(name, Kind::CheckBox, "", r);
    entry.caption = caption;
    entry.font = option;
    return entry;
}

constexpr ControlSpec picture(std::string_view name, Rect r, std::string_view image) {
    ControlSpec entry = place(name, Kind::Picture, "", r);
    entry.picture = image;
    return entry;
}

constexpr ControlSpec comboBox(std::string_view name, std::string_view parent, Rect r,
                               std::string_view labelledBy) {
    ControlSpec entry = place(name, Kind::ComboBox, parent, r);
    entry.font = list;
    entry.labelledBy = labelledBy;
    return entry;
}

constexpr Align L = Align::Left;
using C = core::Control;

constexpr std::string_view cap(C c) {
    return ui::captionOf(c).caption;
}

// clang-format off
constexpr std::array controls = {
    label("Label1", "", {3705, 240, 7275, 615}, "", title),
    picture("Picture1", {120, 120, 3615, 1215}, ":/images/picture1.png"),
    picture("Picture2", {11040, 0, 1575, 1455}, ":/images/picture2.png"),
    checkBox("Check1", {4920, 960, 1815, 615}, ui::directDebitCaption),
    checkBox("Check2", {7320, 960, 1335, 615}, ui::cashCaption),

    frame("Frame1", {0, 1680, 6135, 4095}, "Date Personale"),
    label("texvn", "Frame1", {120, 360, 3135, 480}, cap(C::vn), big),
    textBox("vn", "Frame1", {3240, 240, 2055, 480}, "texvn"),
    label("Label24", "Frame1", {5400, 240, 615, 480}, "RON", big),
    label("Alterate", "Frame1", {120, 960, 3135, 480}, cap(C::ar), big),
    textBox("ar", "Frame1", {3240, 840, 2055, 480}, "Alterate"),
    label("Label28", "Frame1", {5400, 840, 615, 480}, "RON", big),
    label("tad", "Frame1", {120, 1560, 3135, 480}, cap(C::ad), big),
    textBox("ad", "Frame1", {3240, 1440, 2055, 480}, "tad"),
    label("Label27", "Frame1", {5400, 1440, 615, 480}, "RON", big),
    label("Label13", "Frame1", {120, 2160, 3135, 480}, cap(C::tbratatlx), big),
    textBox("tbratatlx", "Frame1", {3240, 2040, 2055, 480}, "Label13", Box::Locked),
    label("Label26", "Frame1", {5400, 2040, 615, 480}, "RON", big),
    label("ibnr", "Frame1", {120, 2760, 3135, 480}, cap(C::bnr), big),
    textBox("bnr", "Frame1", {3240, 2640, 2055, 480}, "ibnr", Box::Locked),
    label("Label2", "Frame1", {120, 3480, 3255, 375}, cap(C::tbsumacc), smallUnit),
    textBox("tbsumacc", "Frame1", {3240, 3480, 2055, 480}, "Label2", Box::Locked),
    label("Label25", "Frame1", {5400, 3480, 615, 480}, "RON", big),

    frame("Frame2", {6240, 1680, 6375, 4095}, "Informatii Credit"),
    label("Label3", "Frame2", {240, 240, 3015, 480}, cap(C::tbvp), big),
    textBox("tbvp", "Frame2", {3360, 240, 2055, 480}, "Label3"),
    label("Label29", "Frame2", {5520, 240, 615, 480}, "RON", big),
    label("Label4", "Frame2", {240, 840, 3015, 480}, cap(C::tbavans), big),
    textBox("tbavans", "Frame2", {3360, 840, 2055, 480}, "Label4"),
    label("Label31", "Frame2", {5520, 840, 615, 480}, "RON", big),
    label("Label8", "Frame2", {120, 1440, 3135, 480}, cap(C::cbasig), big),
    comboBox("cbasig", "Frame2", {3360, 1440, 2175, 360}, "Label8"),
    label("Label5", "Frame2", {240, 2040, 3015, 480}, cap(C::tbdurcred), big),
    textBox("tbdurcred", "Frame2", {3360, 2040, 2055, 480}, "Label5"),
    label("Label30", "Frame2", {5520, 2040, 735, 480}, "LUNI", big),
    label("Label6", "Frame2", {240, 2640, 3015, 495}, cap(C::tbdob), big),
    textBox("tbdob", "Frame2", {3360, 2640, 2055, 480}, "Label6", Box::Output),

    // The bottom band, lowest frame first; the window raises them in this order as well.
    frame("Frame3", {0, 5880, 6135, 1815}, "Costuri"),
    label("Label9", "Frame3", {240, 360, 3015, 345}, cap(C::lbdobaferenta), costLabel),
    output("lbdobaferenta", "Frame3", {3240, 360, 2295, 615}, costValue, "Label9"),
    label("Label34", "Frame3", {5400, 360, 615, 480}, "RON", big),
    label("label11", "Frame3", {600, 1200, 2415, 480}, cap(C::lbdae), big),
    output("lbdae", "Frame3", {3360, 1080, 2175, 615}, big, "label11"),

    frame("Frame4", {6240, 5880, 6375, 1815}, "RATA"),
    label("Label12", "Frame4", {480, 360, 2535, 495}, cap(C::lbrata), big, L),
    output("lbrata", "Frame4", {2880, 240, 2535, 495}, rata, "Label12"),
    label("Label32", "Frame4", {5280, 240, 615, 480}, "RON", big),
    label("Label14", "Frame4", {360, 840, 2775, 375}, cap(C::lbasig), smallCaption),
    output("lbasig", "Frame4", {3480, 840, 1215, 375}, smallValue, "Label14"),
    labelArray("Label33", 0, "Frame4", {4680, 840, 855, 375}, "RON", smallUnit),
    label("Label16", "Frame4", {120, 1080, 3375, 615}, cap(C::lbcomisgest), smallCaption),
    output("lbcomisgest", "Frame4", {3480, 1200, 1215, 375}, smallValue, "Label16"),
    labelArray("Label33", 1, "Frame4", {4680, 1200, 855, 375}, "RON", smallUnit),

    frame("Eroare", {0, 5880, 12615, 1815}, ui::errorCaption),
    redLabel("Label10", "Eroare", {600, 240, 9975, 1335}, "Label10", costValue),

    frame("Frame6", {0, 5880, 6135, 1815}, ui::errorCaption),
    redLabel("Label22", "Frame6", {360, 360, 5055, 375}, ui::indebtednessWarning, warning),
    redLabel("Label23", "Frame6", {360, 720, 5175, 735}, ui::indebtednessAdvice, warning),
};

// tbdob stays in the path although nothing reads it: it is the only place the interest rate is
// shown, and a keyboard or screen-reader user reaches it by tabbing there. The pictures keep
// their places as well; they take the focus and show a focus frame, nothing more.
constexpr std::array<std::string_view, 15> tabs = {
    "vn",       "ar",     "ad",       "tbvp",      "tbavans", "tbdurcred", "tbdob",   "cbasig",
    "Check1",   "Check2", "Picture1", "Picture2", "tbratatlx", "bnr",     "tbsumacc",
};
// clang-format on

} // namespace

std::span<const ControlSpec> controlTable() {
    return controls;
}

std::span<const std::string_view> tabOrder() {
    return tabs;
}

} // namespace gui
