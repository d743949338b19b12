#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace gui {

// One table describes the whole window; the window is built from it and from nothing else.
enum class Kind : std::uint8_t { Frame, Label, TextBox, ComboBox, CheckBox, Picture };
enum class Align : std::uint8_t { Left, Centre };
enum class Face : std::uint8_t { Arial, MsSansSerif };

struct FontSpec {
    double points = 0; // 0: the window's font ("MS Sans Serif" 8.25)
    bool bold = false;
    bool italic = false;
    Face face = Face::Arial;
};

// Places and sizes are in twips (15 to a pixel), relative to the window's client area or to the
// top left corner of the frame named in `parent`.
struct ControlSpec {
    std::string_view name;
    int index = -1; // member of a label array (Label33), -1 otherwise
    Kind kind = Kind::Label;
    std::string_view parent; // empty: the window itself
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::string_view caption; // as built; the control model takes over the controls it knows
    FontSpec font;
    Align align = Align::Left;
    bool errorRed = false;       // text in RGB(192, 0, 0)
    bool menuGrey = false;       // background of the output boxes
    bool locked = false;         // disabled and read-only
    std::string_view labelledBy; // the label whose caption names this box for assistive tools
    std::string_view picture;    // resource path of a picture box's image
};

inline constexpr int twipsPerPixel = 15;
inline constexpr int clientWidth = 12720 / twipsPerPixel; // 848
inline constexpr int clientHeight = 7785 / twipsPerPixel; // 519

// Every control of the window, frames before what they hold; also the order of creation.
std::span<const ControlSpec> controlTable();

// The keyboard's path through the window; disabled boxes are skipped by the toolkit.
std::span<const std::string_view> tabOrder();

} // namespace gui
