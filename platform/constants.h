#pragma once
// Named numeric constants of the handheld's window system, in one place.
//
// The values are the ones the handheld platform uses (messages, styles,
// virtual keys, scroll requests, message-box flags, metric indices, shell
// flags), because the program compares against and stores these numbers. The
// names are ours. Areas that add controls put their own control-specific
// constants next to their code, not here.

#include <cstdint>

#include "platform/handles.h"

namespace pf {

// ---------------------------------------------------------------------------
// Window messages.
constexpr std::uint32_t kMsgNull = 0x0000;
constexpr std::uint32_t kMsgCreate = 0x0001;         // lParam: const CreateInfo*; -1 refuses
constexpr std::uint32_t kMsgDestroy = 0x0002;
constexpr std::uint32_t kMsgMove = 0x0003;           // lParam: client origin x | y << 16
constexpr std::uint32_t kMsgSize = 0x0005;           // lParam: client width | height << 16
constexpr std::uint32_t kMsgActivate = 0x0006;       // wParam low: kActivate*; lParam: other window
constexpr std::uint32_t kMsgSetFocus = 0x0007;       // wParam: window losing the focus
constexpr std::uint32_t kMsgKillFocus = 0x0008;      // wParam: window getting the focus
constexpr std::uint32_t kMsgEnable = 0x000A;         // wParam: 1 enabled, 0 disabled
constexpr std::uint32_t kMsgSetRedraw = 0x000B;
constexpr std::uint32_t kMsgSetText = 0x000C;        // lParam: const char16_t* (0-terminated)
constexpr std::uint32_t kMsgGetText = 0x000D;        // wParam: capacity; lParam: char16_t*
constexpr std::uint32_t kMsgGetTextLength = 0x000E;
constexpr std::uint32_t kMsgPaint = 0x000F;          // wParam: HDc to paint into, normally 0
constexpr std::uint32_t kMsgClose = 0x0010;
constexpr std::uint32_t kMsgQuit = 0x0012;           // wParam: exit code
constexpr std::uint32_t kMsgEraseBackground = 0x0014;  // wParam: HDc; nonzero result: erased
constexpr std::uint32_t kMsgSysColorChange = 0x0015;
constexpr std::uint32_t kMsgShowWindow = 0x0018;     // wParam: 1 shown, 0 hidden
constexpr std::uint32_t kMsgSettingChange = 0x001A;
constexpr std::uint32_t kMsgCancelMode = 0x001F;
constexpr std::uint32_t kMsgNextDialogControl = 0x0028;
constexpr std::uint32_t kMsgDrawItem = 0x002B;
constexpr std::uint32_t kMsgSetFont = 0x0030;        // wParam: HFont; lParam: redraw flag
constexpr std::uint32_t kMsgGetFont = 0x0031;
constexpr std::uint32_t kMsgWindowPosChanging = 0x0046;  // lParam: WindowPos*
constexpr std::uint32_t kMsgWindowPosChanged = 0x0047;   // lParam: const WindowPos*
constexpr std::uint32_t kMsgNotify = 0x004E;
constexpr std::uint32_t kMsgHelp = 0x0053;
constexpr std::uint32_t kMsgGetDialogCode = 0x0087;
// Which part of a window a screen point (lParam x | y << 16) falls on; the
// result is a kHit* code. A window answering kHitTransparent lets the stylus
// through to the window below it (static controls do).
constexpr std::uint32_t kMsgNcHitTest = 0x0084;
// Stylus input outside the client area; lParam: window x | y << 16 (16-bit
// each, window coordinates). The default procedure hands them to the
// non-client hooks (window.h).
constexpr std::uint32_t kMsgNcMouseMove = 0x00A0;
constexpr std::uint32_t kMsgNcLButtonDown = 0x00A1;
constexpr std::uint32_t kMsgNcLButtonUp = 0x00A2;
constexpr std::uint32_t kMsgKeyDown = 0x0100;        // wParam: virtual key; lParam: 1
constexpr std::uint32_t kMsgKeyUp = 0x0101;          // wParam: virtual key; lParam: 0xC0000001
constexpr std::uint32_t kMsgChar = 0x0102;           // wParam: UTF-16 unit
constexpr std::uint32_t kMsgInitDialog = 0x0110;     // wParam: focus control; lParam: parameter
constexpr std::uint32_t kMsgCommand = 0x0111;        // wParam: id | notification << 16; lParam: control
constexpr std::uint32_t kMsgSysCommand = 0x0112;
constexpr std::uint32_t kMsgTimer = 0x0113;
constexpr std::uint32_t kMsgHScroll = 0x0114;
constexpr std::uint32_t kMsgVScroll = 0x0115;        // wParam: request | position << 16; lParam: bar
constexpr std::uint32_t kMsgInitMenuPopup = 0x0117;
constexpr std::uint32_t kMsgCtlColorMsgBox = 0x0132;
constexpr std::uint32_t kMsgCtlColorEdit = 0x0133;
constexpr std::uint32_t kMsgCtlColorListBox = 0x0134;
constexpr std::uint32_t kMsgCtlColorButton = 0x0135;
constexpr std::uint32_t kMsgCtlColorDialog = 0x0136;
constexpr std::uint32_t kMsgCtlColorScrollBar = 0x0137;
constexpr std::uint32_t kMsgCtlColorStatic = 0x0138;
constexpr std::uint32_t kMsgMouseMove = 0x0200;      // lParam: client x | y << 16 (16-bit each)
constexpr std::uint32_t kMsgLButtonDown = 0x0201;    // the stylus touches; lParam as above
constexpr std::uint32_t kMsgLButtonUp = 0x0202;
constexpr std::uint32_t kMsgLButtonDoubleClick = 0x0203;
constexpr std::uint32_t kMsgCaptureChanged = 0x0215;
// The program's own close request, sent to its main window from outside.
constexpr std::uint32_t kMsgCloseRequest = 0x03FF;
constexpr std::uint32_t kMsgUser = 0x0400;
// The shell menu bar (menubar.h): wParam 0, lParam a button's command id;
// the result is that button's pop-up menu (HMenu), 0 when none.
constexpr std::uint32_t kMsgMenuBarGetSubMenu = 0x0591;
// The shell menu bar's whole menu (HMenu) as the result.
constexpr std::uint32_t kMsgMenuBarGetMenu = 0x0592;

// kMsgActivate, low word of wParam.
constexpr std::uint32_t kActivateInactive = 0;
constexpr std::uint32_t kActivateActive = 1;
constexpr std::uint32_t kActivateClick = 2;

// kMsgNcHitTest results.
constexpr LResult kHitTransparent = -1;
constexpr LResult kHitNowhere = 0;
constexpr LResult kHitClient = 1;
constexpr LResult kHitCaption = 2;
constexpr LResult kHitVScroll = 7;
constexpr LResult kHitBorder = 18;

// kMsgSize, wParam.
constexpr std::uint32_t kSizeRestored = 0;

// ---------------------------------------------------------------------------
// Window styles.
constexpr std::uint32_t kStyleOverlapped = 0x00000000;
constexpr std::uint32_t kStylePopup = 0x80000000;
constexpr std::uint32_t kStyleChild = 0x40000000;
constexpr std::uint32_t kStyleVisible = 0x10000000;
constexpr std::uint32_t kStyleDisabled = 0x08000000;
constexpr std::uint32_t kStyleClipSiblings = 0x04000000;
constexpr std::uint32_t kStyleClipChildren = 0x02000000;
constexpr std::uint32_t kStyleCaption = 0x00C00000;  // border and dialog frame together
constexpr std::uint32_t kStyleBorder = 0x00800000;
constexpr std::uint32_t kStyleDialogFrame = 0x00400000;
constexpr std::uint32_t kStyleVScroll = 0x00200000;
constexpr std::uint32_t kStyleHScroll = 0x00100000;
constexpr std::uint32_t kStyleSysMenu = 0x00080000;
constexpr std::uint32_t kStyleThickFrame = 0x00040000;
constexpr std::uint32_t kStyleGroup = 0x00020000;
constexpr std::uint32_t kStyleTabStop = 0x00010000;

// Extended window styles.
constexpr std::uint32_t kExStyleDialogModalFrame = 0x00000001;
constexpr std::uint32_t kExStyleTopmost = 0x00000008;
constexpr std::uint32_t kExStyleWindowEdge = 0x00000100;
constexpr std::uint32_t kExStyleClientEdge = 0x00000200;
constexpr std::uint32_t kExStyleStaticEdge = 0x00020000;
constexpr std::uint32_t kExStyleNoDrag = 0x40000000;
constexpr std::uint32_t kExStyleCaptionOkButton = 0x80000000;

// Class styles.
constexpr std::uint32_t kClassStyleVRedraw = 0x0001;
constexpr std::uint32_t kClassStyleHRedraw = 0x0002;
constexpr std::uint32_t kClassStyleDoubleClicks = 0x0008;

// "Use the default" for a position or size given to CreateWindow.
constexpr int kUseDefault = static_cast<int>(0x80000000u);

// Show modes.
constexpr int kShowHide = 0;
constexpr int kShowNormal = 1;
constexpr int kShowMaximized = 3;
constexpr int kShowNoActivate = 4;
constexpr int kShow = 5;
constexpr int kShowMinimize = 6;
constexpr int kShowNA = 8;
constexpr int kShowRestore = 9;

// Window-position flags (WindowPos::flags and MoveWindow's flags).
constexpr std::uint32_t kPosNoSize = 0x0001;
constexpr std::uint32_t kPosNoMove = 0x0002;
constexpr std::uint32_t kPosNoZOrder = 0x0004;
constexpr std::uint32_t kPosNoRedraw = 0x0008;
constexpr std::uint32_t kPosNoActivate = 0x0010;
constexpr std::uint32_t kPosFrameChanged = 0x0020;
constexpr std::uint32_t kPosShowWindow = 0x0040;
constexpr std::uint32_t kPosHideWindow = 0x0080;

// ---------------------------------------------------------------------------
// Virtual keys. Digits are kVk0 + n, letters kVkA + n (upper-case codes).
constexpr std::uint32_t kVkBack = 0x08;
constexpr std::uint32_t kVkTab = 0x09;
constexpr std::uint32_t kVkReturn = 0x0D;
constexpr std::uint32_t kVkShift = 0x10;
constexpr std::uint32_t kVkControl = 0x11;
constexpr std::uint32_t kVkMenu = 0x12;  // Alt
constexpr std::uint32_t kVkEscape = 0x1B;
constexpr std::uint32_t kVkSpace = 0x20;
constexpr std::uint32_t kVkPrior = 0x21;  // page up
constexpr std::uint32_t kVkNext = 0x22;   // page down
constexpr std::uint32_t kVkEnd = 0x23;
constexpr std::uint32_t kVkHome = 0x24;
constexpr std::uint32_t kVkLeft = 0x25;
constexpr std::uint32_t kVkUp = 0x26;
constexpr std::uint32_t kVkRight = 0x27;
constexpr std::uint32_t kVkDown = 0x28;
constexpr std::uint32_t kVkInsert = 0x2D;
constexpr std::uint32_t kVkDelete = 0x2E;
constexpr std::uint32_t kVk0 = 0x30;
constexpr std::uint32_t kVk9 = 0x39;
constexpr std::uint32_t kVkA = 0x41;
constexpr std::uint32_t kVkZ = 0x5A;
constexpr std::uint32_t kVkF1 = 0x70;
constexpr std::uint32_t kVkF2 = 0x71;
constexpr std::uint32_t kVkF3 = 0x72;
constexpr std::uint32_t kVkF12 = 0x7B;

// ---------------------------------------------------------------------------
// Scroll requests (low word of wParam of kMsgVScroll / kMsgHScroll).
constexpr std::uint32_t kScrollLineUp = 0;
constexpr std::uint32_t kScrollLineDown = 1;
constexpr std::uint32_t kScrollPageUp = 2;
constexpr std::uint32_t kScrollPageDown = 3;
constexpr std::uint32_t kScrollThumbPosition = 4;
constexpr std::uint32_t kScrollThumbTrack = 5;
constexpr std::uint32_t kScrollTop = 6;
constexpr std::uint32_t kScrollBottom = 7;
constexpr std::uint32_t kScrollEnd = 8;

// Which scroll bar a scroll-info call means.
constexpr int kBarHorizontal = 0;
constexpr int kBarVertical = 1;
constexpr int kBarControl = 2;

// ScrollInfo::mask bits.
constexpr std::uint32_t kScrollInfoRange = 0x0001;
constexpr std::uint32_t kScrollInfoPage = 0x0002;
constexpr std::uint32_t kScrollInfoPosition = 0x0004;
constexpr std::uint32_t kScrollInfoDisableNoScroll = 0x0008;
constexpr std::uint32_t kScrollInfoTrackPosition = 0x0010;
constexpr std::uint32_t kScrollInfoAll = 0x0017;

// ---------------------------------------------------------------------------
// Message-box styles: buttons in the low nibble, the icon in the next one,
// the default button in the third.
constexpr std::uint32_t kBoxOk = 0x00000000;
constexpr std::uint32_t kBoxOkCancel = 0x00000001;
constexpr std::uint32_t kBoxAbortRetryIgnore = 0x00000002;
constexpr std::uint32_t kBoxYesNoCancel = 0x00000003;
constexpr std::uint32_t kBoxYesNo = 0x00000004;
constexpr std::uint32_t kBoxRetryCancel = 0x00000005;
constexpr std::uint32_t kBoxButtonMask = 0x0000000F;
constexpr std::uint32_t kBoxIconStop = 0x00000010;
constexpr std::uint32_t kBoxIconQuestion = 0x00000020;
constexpr std::uint32_t kBoxIconExclamation = 0x00000030;
constexpr std::uint32_t kBoxIconInformation = 0x00000040;
constexpr std::uint32_t kBoxIconMask = 0x000000F0;
constexpr std::uint32_t kBoxDefaultButton1 = 0x00000000;
constexpr std::uint32_t kBoxDefaultButton2 = 0x00000100;
constexpr std::uint32_t kBoxDefaultButton3 = 0x00000200;
constexpr std::uint32_t kBoxDefaultMask = 0x00000F00;

// Dialog and message-box results (also the command ids of OK and Cancel).
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdAbort = 3;
constexpr int kIdRetry = 4;
constexpr int kIdIgnore = 5;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// ---------------------------------------------------------------------------
// System-metric indices for GetSystemMetrics (values in system.h).
constexpr int kMetricScreenWidth = 0;
constexpr int kMetricScreenHeight = 1;
constexpr int kMetricVScrollWidth = 2;
constexpr int kMetricHScrollHeight = 3;
constexpr int kMetricCaptionHeight = 4;
constexpr int kMetricBorderWidth = 5;
constexpr int kMetricBorderHeight = 6;
constexpr int kMetricDialogFrameWidth = 7;
constexpr int kMetricDialogFrameHeight = 8;
constexpr int kMetricVThumbHeight = 9;
constexpr int kMetricHThumbWidth = 10;
constexpr int kMetricIconWidth = 11;
constexpr int kMetricIconHeight = 12;
constexpr int kMetricMenuHeight = 15;
constexpr int kMetricVScrollArrowHeight = 20;
constexpr int kMetricHScrollArrowWidth = 21;
constexpr int kMetricEdgeWidth = 45;
constexpr int kMetricEdgeHeight = 46;
constexpr int kMetricSmallIconWidth = 49;
constexpr int kMetricSmallIconHeight = 50;

// ---------------------------------------------------------------------------
// Shell full-screen request flags.
constexpr std::uint32_t kFullScreenShowTaskBar = 0x0001;
constexpr std::uint32_t kFullScreenHideTaskBar = 0x0002;
constexpr std::uint32_t kFullScreenShowInputButton = 0x0004;
constexpr std::uint32_t kFullScreenHideInputButton = 0x0008;
constexpr std::uint32_t kFullScreenShowStartIcon = 0x0010;
constexpr std::uint32_t kFullScreenHideStartIcon = 0x0020;

// The task bar the shell keeps at the top of the screen.
constexpr int kTaskBarHeight = 26;

}  // namespace pf
