// Message numbers, flags and record layouts of the window system, by the
// platform's values.  Grouped in namespaces named after the platform's
// prefixes (wm::GETTEXT is WM_GETTEXT) so that this header and the
// platform's own headers can be used side by side.
#pragma once

#include <cstdint>

namespace wm {
constexpr uint32_t NULL_ = 0x0000; // WM_NULL (NULL is a macro)
constexpr uint32_t SIZE = 0x0005;
constexpr uint32_t SETFOCUS = 0x0007;
constexpr uint32_t KILLFOCUS = 0x0008;
constexpr uint32_t ENABLE = 0x000A;
constexpr uint32_t SETTEXT = 0x000C;
constexpr uint32_t GETTEXT = 0x000D;
constexpr uint32_t GETTEXTLENGTH = 0x000E;
constexpr uint32_t COPY = 0x0301;
constexpr uint32_t RENDERFORMAT = 0x0305;
constexpr uint32_t SETFONT = 0x0030;
constexpr uint32_t GETFONT = 0x0031;
constexpr uint32_t KEYDOWN = 0x0100;
constexpr uint32_t KEYUP = 0x0101;
constexpr uint32_t CHAR = 0x0102;
constexpr uint32_t SYSKEYDOWN = 0x0104;
constexpr uint32_t SYSKEYUP = 0x0105;
constexpr uint32_t SYSCHAR = 0x0106;
constexpr uint32_t COMMAND = 0x0111;
constexpr uint32_t LBUTTONDOWN = 0x0201;
constexpr uint32_t LBUTTONUP = 0x0202;
constexpr uint32_t LBUTTONDBLCLK = 0x0203;
constexpr uint32_t RBUTTONDOWN = 0x0204;
constexpr uint32_t RBUTTONUP = 0x0205;
constexpr uint32_t RBUTTONDBLCLK = 0x0206;
constexpr uint32_t MBUTTONDOWN = 0x0207;
constexpr uint32_t MBUTTONUP = 0x0208;
constexpr uint32_t MBUTTONDBLCLK = 0x0209;
constexpr uint32_t CAPTURECHANGED = 0x0215;
constexpr uint32_t USER = 0x0400;
} // namespace wm

// A message whose wParam is a character: WM_CHAR and WM_SYSCHAR.
inline bool IsCharMessage(uint32_t msg) {
    return msg == wm::CHAR || msg == wm::SYSCHAR;
}

namespace mk {
constexpr uint32_t LBUTTON = 0x0001;
constexpr uint32_t RBUTTON = 0x0002;
constexpr uint32_t MBUTTON = 0x0010;
} // namespace mk

namespace vk {
constexpr uint32_t BACK = 0x08;
constexpr uint32_t TAB = 0x09;
constexpr uint32_t RETURN = 0x0D;
constexpr uint32_t SHIFT = 0x10;
constexpr uint32_t CONTROL = 0x11;
constexpr uint32_t MENU = 0x12; // Alt
constexpr uint32_t ESCAPE = 0x1B;
constexpr uint32_t SPACE = 0x20;
constexpr uint32_t PRIOR = 0x21; // Page Up
constexpr uint32_t NEXT = 0x22;  // Page Down
constexpr uint32_t END = 0x23;
constexpr uint32_t HOME = 0x24;
constexpr uint32_t LEFT = 0x25;
constexpr uint32_t UP = 0x26;
constexpr uint32_t RIGHT = 0x27;
constexpr uint32_t DOWN = 0x28;
constexpr uint32_t INSERT = 0x2D;
constexpr uint32_t DELETE_ = 0x2E; // VK_DELETE (DELETE is a Win32 macro)
constexpr uint32_t F1 = 0x70;      // F2 .. F12 follow
} // namespace vk
// The key messages' lParam: repeat count in bits 0-15, scan code in
// 16-23, and these flags.
namespace keyflag {
constexpr uint32_t EXTENDED = 0x01000000;
constexpr uint32_t ALTDOWN = 0x20000000;  // the context code
constexpr uint32_t WASDOWN = 0x40000000;  // previous key state
constexpr uint32_t RELEASED = 0x80000000; // transition state
} // namespace keyflag
// MapVirtualKeyA map types.
namespace mapvk {
constexpr uint32_t VK_TO_VSC = 0;
} // namespace mapvk

// Button messages and notifications.
namespace bm {
constexpr uint32_t GETCHECK = 0x00F0;
constexpr uint32_t SETCHECK = 0x00F1;
constexpr uint32_t CLICK = 0x00F5;
} // namespace bm
// Button types: the low four bits of a button's style.
namespace bs {
constexpr uint32_t CHECKBOX = 2;
constexpr uint32_t AUTOCHECKBOX = 3;
constexpr uint32_t RADIOBUTTON = 4;
constexpr uint32_t THREESTATE = 5; // BS_3STATE
constexpr uint32_t AUTO3STATE = 6;
constexpr uint32_t GROUPBOX = 7;
constexpr uint32_t AUTORADIOBUTTON = 9;
constexpr uint32_t TYPEMASK = 0xF;
} // namespace bs
// A button type that holds a check state: a check box, a radio button or
// a three-state box.
inline bool IsCheckType(uint32_t type) {
    return type == bs::CHECKBOX || type == bs::AUTOCHECKBOX || type == bs::RADIOBUTTON ||
           type == bs::THREESTATE || type == bs::AUTO3STATE || type == bs::AUTORADIOBUTTON;
}
namespace bn {
constexpr uint32_t CLICKED = 0;
} // namespace bn

// List box messages.
namespace lb {
constexpr uint32_t ADDSTRING = 0x0180;
constexpr uint32_t SETSEL = 0x0185;
constexpr uint32_t SETCURSEL = 0x0186;
constexpr uint32_t GETSEL = 0x0187;
constexpr uint32_t GETCURSEL = 0x0188;
constexpr uint32_t GETTEXT = 0x0189;
constexpr uint32_t GETTEXTLEN = 0x018A;
constexpr uint32_t GETCOUNT = 0x018B;
constexpr uint32_t GETSELCOUNT = 0x0190;
constexpr uint32_t GETHORIZONTALEXTENT = 0x0193;
constexpr uint32_t GETITEMDATA = 0x0199;
constexpr uint32_t GETITEMHEIGHT = 0x01A1;
constexpr intptr_t ERR = -1;
// The longest item text LB_GETTEXT and CB_GETLBTEXT give through the layer:
// whatever the control answers, at most MAX_TEXT characters and a zero are
// written, so a buffer of MAX_TEXT + 1 bytes always holds the answer.
constexpr int MAX_TEXT = 1 << 20;
} // namespace lb
// List box and combo box styles, and list box notifications.
namespace lbs {
constexpr uint32_t MULTIPLESEL = 0x0008;
constexpr uint32_t OWNERDRAWFIXED = 0x0010;
constexpr uint32_t OWNERDRAWVARIABLE = 0x0020;
constexpr uint32_t HASSTRINGS = 0x0040;
constexpr uint32_t EXTENDEDSEL = 0x0800;
} // namespace lbs
namespace cbs {
constexpr uint32_t OWNERDRAWFIXED = 0x0010;
constexpr uint32_t OWNERDRAWVARIABLE = 0x0020;
constexpr uint32_t HASSTRINGS = 0x0200;
} // namespace cbs
namespace lbn {
constexpr uint32_t SELCHANGE = 1;
} // namespace lbn

// Combo box messages.
namespace cb {
constexpr uint32_t GETCOUNT = 0x0146;
constexpr uint32_t GETCURSEL = 0x0147;
constexpr uint32_t GETLBTEXT = 0x0148;
constexpr uint32_t GETLBTEXTLEN = 0x0149;
constexpr uint32_t SETCURSEL = 0x014E;
constexpr uint32_t GETITEMDATA = 0x0150;
constexpr intptr_t ERR = -1;
} // namespace cb
namespace cbn {
constexpr uint32_t SELCHANGE = 1;
} // namespace cbn

// List-view messages, states and the item record.
namespace lvm {
constexpr uint32_t GETITEMCOUNT = 0x1004;
constexpr uint32_t GETNEXTITEM = 0x100C;
constexpr uint32_t GETHEADER = 0x101F;
constexpr uint32_t SETITEMSTATE = 0x102B;
constexpr uint32_t GETITEMSTATE = 0x102C;
constexpr uint32_t GETITEMTEXTA = 0x102D;
constexpr uint32_t GETSELECTEDCOUNT = 0x1032;
constexpr uint32_t GETITEMTEXTW = 0x1073;
} // namespace lvm
namespace lvni {
constexpr uint32_t ALL = 0; // LVM_GETNEXTITEM: the next item, whatever its state
} // namespace lvni
// Date and time picker: DTM_GETSYSTEMTIME fills a SYSTEMTIME (eight
// 16-bit fields: year, month, day of the week, day, hour, minute, second,
// milliseconds) at lParam in the control's process.
namespace dtm {
constexpr uint32_t GETSYSTEMTIME = 0x1001;
constexpr intptr_t GDT_ERROR = -1;
constexpr intptr_t GDT_VALID = 0;
} // namespace dtm
namespace hdm {
constexpr uint32_t GETITEMCOUNT = 0x1200;
} // namespace hdm
namespace lvis {
constexpr uint32_t FOCUSED = 0x1;
constexpr uint32_t SELECTED = 0x2;
constexpr uint32_t CUT = 0x4;
constexpr uint32_t DROPHILITED = 0x8;
} // namespace lvis

// LVITEMA as a process of the given pointer width lays it out: byte
// offsets of the fields the list-view requests use, and the record size.
// The 32-bit record is the classic 40-byte one (mask .. iIndent); the
// 64-bit record is the whole LVITEMA of current headers (iGroupId,
// cColumns, puColumns, piColFmt and iGroup follow iIndent), 88 bytes, so
// that an owner that reads its full record never reads past the block.
struct LvItemLayout {
    uint32_t mask, iItem, iSubItem, state, stateMask, pszText, cchTextMax, iImage, lParam, iIndent;
    uint32_t size;
    uint32_t pointerSize;
};
constexpr LvItemLayout kLvItem32{0, 4, 8, 12, 16, 20, 24, 28, 32, 36, 40, 4};
constexpr LvItemLayout kLvItem64{0, 4, 8, 12, 16, 24, 32, 36, 40, 48, 88, 8};
// The largest record size of the layouts above.
constexpr uint32_t kLvItemMaxSize = 88;
inline const LvItemLayout& LvItemLayoutFor(int bits) {
    return bits == 64 ? kLvItem64 : kLvItem32;
}

// Window styles and SetWindowPos flags.
namespace ws {
constexpr uint32_t CHILD = 0x40000000;
constexpr uint32_t VISIBLE = 0x10000000;
constexpr uint32_t DISABLED = 0x08000000;
constexpr uint32_t POPUP = 0x80000000;
} // namespace ws
namespace swp {
constexpr unsigned NOSIZE = 0x0001;
constexpr unsigned NOMOVE = 0x0002;
constexpr unsigned NOZORDER = 0x0004;
constexpr unsigned NOACTIVATE = 0x0010;
constexpr unsigned SHOWWINDOW = 0x0040;
constexpr unsigned HIDEWINDOW = 0x0080;
} // namespace swp
// Insert-after values of SetWindowPos.
namespace insert {
constexpr uint32_t TOP = 0;
constexpr uint32_t BOTTOM = 1;
constexpr uint32_t TOPMOST = 0xFFFFFFFF;
constexpr uint32_t NOTOPMOST = 0xFFFFFFFE;
} // namespace insert

// GetWindowLongA indexes and GetWindow commands.
namespace gwl {
constexpr int STYLE = -16;
constexpr int EXSTYLE = -20;
constexpr int ID = -12;
} // namespace gwl
namespace gw {
constexpr unsigned HWNDFIRST = 0;
constexpr unsigned HWNDLAST = 1;
constexpr unsigned HWNDNEXT = 2;
constexpr unsigned HWNDPREV = 3;
constexpr unsigned OWNER = 4;
constexpr unsigned CHILD = 5;
} // namespace gw

// Menus.
namespace mf {
constexpr unsigned BYCOMMAND = 0x0000;
constexpr unsigned BYPOSITION = 0x0400;
// GetMenuState's flags.
constexpr unsigned GRAYED = 0x0001;
constexpr unsigned DISABLED = 0x0002;
constexpr unsigned POPUP = 0x0010;
constexpr unsigned SEPARATOR = 0x0800;
} // namespace mf

// Clipboard formats.
namespace cf {
constexpr unsigned TEXT = 1;
} // namespace cf

// Process access, memory allocation and protection.
namespace procaccess {
constexpr uint32_t VM_OPERATION = 0x0008;
constexpr uint32_t VM_READ = 0x0010;
constexpr uint32_t VM_WRITE = 0x0020;
constexpr uint32_t QUERY_INFORMATION = 0x0400;
} // namespace procaccess
namespace mem {
constexpr uint32_t COMMIT = 0x1000;
constexpr uint32_t RESERVE = 0x2000;
constexpr uint32_t RELEASE = 0x8000;
} // namespace mem
namespace page {
constexpr uint32_t NOACCESS = 0x01;
constexpr uint32_t READONLY = 0x02;
constexpr uint32_t READWRITE = 0x04;
} // namespace page

// Message box.
namespace mb {
constexpr unsigned OK = 0x0;
constexpr unsigned OKCANCEL = 0x1;
constexpr unsigned ICONERROR = 0x10;
} // namespace mb
namespace dlgid {
constexpr int OK = 1;
constexpr int CANCEL = 2;
} // namespace dlgid
