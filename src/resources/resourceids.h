#pragma once

// Numeric ids of the program's commands, menus, tool bars, bitmaps, icons
// and strings. Every subsystem takes its ids from here.
namespace ids {

// Menus, tool bars, accelerators, document string, program icon.
constexpr int IDR_MAINFRAME = 128;
constexpr int IDR_TOOLBAR_TOGGLE = 130;

// Bitmaps.
constexpr int IDB_TOOLBAR = 128;
constexpr int IDB_TOOLBAR_TOGGLE = 130;
constexpr int IDB_TREE_IMAGES = 132;   // 64x16: closed folder, open folder, device, document
constexpr int IDB_GENERIC_FILE = 136;  // 16x15: the list's default file image
constexpr int IDB_FERRIX = 145;        // 176x74: splash and About picture
constexpr int IDB_FOLDER_PICTURE = 138; // 32x32: a folder in the properties dialog
constexpr int IDB_FILE_PICTURE = 139;   // 32x32: a file in the properties dialog

// Dialog templates (dialogtemplates.h).
constexpr int IDD_FILE_PROPERTIES = 134;
constexpr int IDD_EXECUTE = 141;
constexpr int IDD_POWER_INFO = 147;
constexpr int IDD_GENERAL_INFO = 149;
constexpr int IDD_MEMORY_INFO = 150;

// The Find Files dialog template and its controls.
constexpr int IDD_FIND_FILES = 148;
constexpr int IDC_FIND_FILENAME = 1045;
constexpr int IDC_FIND_CONTAINING = 1046;
constexpr int IDC_FIND_RESULTS = 1047;
constexpr int IDC_FIND_START_STOP = 1048;
constexpr int IDC_FIND_DIRECTORY = 1049;

// Strings.
constexpr int IDS_WEBSITE = 33000;

// Commands.
constexpr int ID_FILE_NEW = 57600;
constexpr int ID_FILE_OPEN = 57601;
constexpr int ID_FILE_SAVE = 57603;
constexpr int ID_EDIT_COPY = 57634;
constexpr int ID_EDIT_CUT = 57635;
constexpr int ID_EDIT_PASTE = 57637;
constexpr int ID_EDIT_UNDO = 57643;
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_APP_EXIT = 57665;
constexpr int ID_NEXT_PANE = 57680;
constexpr int ID_PREV_PANE = 57681;
constexpr int ID_FILE_DELETE = 32772;
constexpr int ID_NEW_FOLDER = 32773;
constexpr int ID_PROPERTIES = 32774;
constexpr int ID_REFRESH = 32775;
constexpr int ID_SEND_IR = 32776;
constexpr int ID_RECEIVE_IR = 32777;
constexpr int ID_PASTE_SHORTCUT = 32778;
constexpr int ID_PASTE_IN_MENU = 32779;
constexpr int ID_FIND = 32783;
constexpr int ID_TOGGLE_TOOLBAR = 32784;
constexpr int ID_EXECUTE = 32792;

} // namespace ids
