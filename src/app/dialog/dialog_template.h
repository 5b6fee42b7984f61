// The main dialog's template: its size and every control with its id, kind,
// caption, position and style, all in dialog units.
#pragma once

#include <QRect>
#include <span>

namespace tinta {

enum class ControlKind {
    GroupBox,
    Label,
    EditField,  // one line, scrolls horizontally
    ComboBox,   // editable drop-down; the height includes the open list
    ListBox,    // sorted, notifying, vertical scroll bar
    CheckBox,   // automatic
    PushButton,
    ProgressBar,
};

enum ControlStyle : unsigned {
    kStyleNone = 0,
    kStyleSorted = 1u << 0,
    kStyleDefaultButton = 1u << 1,  // drawn as a default button
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* caption;
    QRect units;  // x, y, width, height in dialog units
    unsigned style;
};

inline constexpr int kDialogWidthUnits = 191;
inline constexpr int kDialogHeightUnits = 253;
inline constexpr int kAboutWidthUnits = 217;
inline constexpr int kAboutHeightUnits = 55;

// The controls in creation (tab) order.
std::span<const ControlTemplate> MainDialogTemplate();

}  // namespace tinta
