#pragma once
// The dialog templates: every dialog's controls with their ids, kinds, texts and positions in
// dialog units, in tab order. The platform layer turns a template into a window; handlers and
// tests find each control by its id.
#include <string>
#include <vector>

namespace pelkorl {

// Controls without an id of their own (labels, frames, the icon).
inline constexpr int NO_ID = -1;

// The program's icon, shown by every Icon control.
inline constexpr int APP_ICON_ID = 128;

// Dialog resource ids.
inline constexpr int ABOUT_DIALOG_ID = 100;
inline constexpr int MAIN_DIALOG_ID = 102;
inline constexpr int DATA_LOCATION_DIALOG_ID = 118;
inline constexpr int PASSWORD_DIALOG_ID = 120;
inline constexpr int OPTIONS_DIALOG_ID = 130;
inline constexpr int DETAILED_LAYOUT_DIALOG_ID = 131;

// Ids shared by every dialog.
inline constexpr int ID_OK = 1;
inline constexpr int ID_CANCEL = 2;

enum class ControlKind {
    PushButton,
    DefaultPushButton,
    CheckBox,        // automatic: toggles itself on click
    AutoRadioButton, // exclusive within its group (see ControlStyle::GROUP)
    GroupBox,
    StaticText,
    Edit,
    ListBox,
    OwnerDrawButton, // a surface that its owner paints
    UpDown,
    Icon, // shows APP_ICON_ID at its natural size
};

// Style flags of a control.
struct ControlStyle {
    static constexpr unsigned DISABLED = 1u << 0;
    static constexpr unsigned HIDDEN = 1u << 1;
    static constexpr unsigned TAB_STOP = 1u << 2;
    // Starts a new group: radio buttons are exclusive among those between two GROUP controls.
    static constexpr unsigned GROUP = 1u << 3;
    static constexpr unsigned BORDER = 1u << 4;
    static constexpr unsigned VSCROLL = 1u << 5;
    static constexpr unsigned NOTIFY = 1u << 6;
    static constexpr unsigned NO_INTEGRAL_HEIGHT = 1u << 7;
    static constexpr unsigned PASSWORD = 1u << 8;
    static constexpr unsigned AUTO_HSCROLL = 1u << 9;
    // Text alignment of statics and edits (left when neither is set).
    static constexpr unsigned TEXT_CENTER = 1u << 10;
    static constexpr unsigned TEXT_RIGHT = 1u << 11;
    // Up-down controls: the buddy is the control just before it in the template; the up-down
    // sits at the buddy's right edge and the buddy narrows by its width; the arrow keys step it.
    static constexpr unsigned AUTO_BUDDY = 1u << 12;
    static constexpr unsigned ALIGN_RIGHT = 1u << 13;
    static constexpr unsigned ARROW_KEYS = 1u << 14;
};

// Style flags of a dialog window.
struct DialogStyle {
    static constexpr unsigned CAPTION = 1u << 0;
    static constexpr unsigned SYSTEM_MENU = 1u << 1;
    static constexpr unsigned MODAL_FRAME = 1u << 2;
};

struct ControlTemplate {
    int id = NO_ID;
    ControlKind kind = ControlKind::StaticText;
    std::string text; // UTF-8; '&' marks a mnemonic in button texts
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    unsigned styles = 0;

    bool has(unsigned style) const { return (styles & style) == style; }
};

struct DialogTemplate {
    int resourceId = 0;
    std::string title; // UTF-8
    int x = 0;
    int y = 0;
    int w = 0; // client area, dialog units
    int h = 0;
    std::string fontFace;
    int fontPoints = 0;
    unsigned styles = 0;
    std::vector<ControlTemplate> controls; // tab order

    bool has(unsigned style) const { return (styles & style) == style; }
};

// The template of a dialog resource; an empty template (resourceId 0, no controls) for an
// unknown id.
const DialogTemplate& dialogTemplate(int resourceId);

// The resource ids of every template, ascending.
std::vector<int> dialogTemplateIds();

// The control with `id` in `dialog`, or nullptr; never finds NO_ID.
const ControlTemplate* findControl(const DialogTemplate& dialog, int id);

} // namespace pelkorl
