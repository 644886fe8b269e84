#pragma once
// Dialog templates as data, laid out in dialog units of the dialog font, as resource
// scripts describe them. app/qt/dialog_builder turns one into Qt widgets.
#include <span>

namespace res {

enum class ControlKind {
    Static,  // a text label
    Edit,    // a one-line text box
    PushButton,
    DefPushButton,  // the default button
    CheckBox,
    RadioButton,  // bGroup starts a new group of radio buttons
    GroupBox,
    Slider,    // a trackbar
    ComboBox,  // a drop-down list
    Icon,
};

// Style bits beyond the kind.
enum ControlStyle : unsigned {
    kStyleNone = 0,
    kStyleCentered = 1,  // text centred horizontally
    kStyleVCenter = 2,   // text centred vertically
    kStyleSunken = 4,    // a sunken edge
    kStyleTicks = 8,     // a slider with automatic tick marks
};

struct ControlTemplate {
    ControlKind kind;
    int nId;              // -1 for static texts nobody addresses
    const char* pszText;  // "" for none
    int x, y, cx, cy;     // dialog units
    unsigned nStyle = kStyleNone;
    bool bGroup = false;
};

struct DialogTemplate {
    int nId;
    const char* pszCaption;
    int cx, cy;  // dialog units
    const char* pszFont;
    int nPointSize;
    std::span<const ControlTemplate> controls;
};

// Dialog button ids of the framework.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// The dialog font the templates name, and what stands in for it here.
inline constexpr const char* kDialogFont = "ＭＳ Ｐゴシック";

}  // namespace res
