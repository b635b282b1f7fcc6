// Dialog templates as tables: every control with its id, kind, text and
// rectangle in dialog units (x, y, width, height).
#pragma once

namespace res {

enum class ControlKind {
    DefPushButton,
    PushButton,
    GroupBox,
    Static,      // left-aligned text
    Edit,        // single line
    AutoCheckBox,
    OwnerDraw,   // owner-drawn push button
    Icon,        // static picture of an icon resource (text holds nothing)
    Area,        // a part of the client area the dialog paints itself (a
                 // drawing, a swatch): nothing to see of its own, there for
                 // screen readers, named by its text or the label before it
};

// Style flags beyond what the kind implies.
enum ControlStyle : unsigned {
    kCenter = 1u << 0,      // centred text (edits)
    kLeftText = 1u << 1,    // check box with its text on the left
    kMultiline = 1u << 2,
    kReadOnly = 1u << 3,
    kVScroll = 1u << 4,
    kDisabled = 1u << 5,
    kTabStop = 1u << 6,
    kPixels = 1u << 7,     // the rectangle is in client pixels, not dialog units
    kClickable = 1u << 8,  // an area the dialog takes clicks in
    kAutoHScroll = 1u << 9,  // multi-line edit: lines never wrap, the keys
                             // scroll a longer one sideways
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;
    int x, y, cx, cy;
    unsigned style;
    int resource;  // icon resource for ControlKind::Icon, else 0
    // What a screen reader calls the control when neither its text nor a
    // label just before it says what it is; nullptr for none.
    const char* name = nullptr;
};

struct DialogTemplate {
    int id;
    const char* caption;
    int cx, cy;         // size in dialog units
    bool appWindow;     // a taskbar button of its own
    const ControlTemplate* controls;
    int count;
};

}  // namespace res
