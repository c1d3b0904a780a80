// Resource and command ids of the window tests (code and TestResources.rc).
#pragma once

#define IDR_MAINFRAME 128
#define IDR_TESTDOC 129

#define IDD_DDX 200
#define IDD_PAGE1 201
#define IDD_PAGE2 202
#define IDD_PAGE3 203

#define IDC_NAME 1000
#define IDC_COUNT 1001
#define IDC_WIDTH 1002
#define IDC_BOLD 1003
#define IDC_STYLE0 1004
#define IDC_STYLE1 1005
#define IDC_STYLE2 1006
#define IDC_FONTSIZE 1007
#define IDC_PAGE_VALUE 1010

#define ID_CMD_CHAIN 40001
#define ID_CMD_DOC 40002
#define ID_CMD_MAIN 40003
#define ID_CMD_NOBODY 40004
#define ID_CMD_CHECKED 40005
#define ID_CMD_DISABLED 40006
#define ID_CMD_APP 40007
#define ID_CMD_VIEW 40008

// Control bars.
#define IDR_TEST_BAR 300
#define IDR_TEST_FLYOUT_BAR 301
#define IDR_TEST_PALETTE 302
#define IDB_TEST_PALETTE 303
#define IDR_TEST_BAD_BAR 304
#define IDD_TEST_DIALOG_BAR 205
#define IDC_BAR_EDIT 1020
#define ID_FLY_FIRST 41000
#define ID_PALETTE_A 41100
#define ID_PALETTE_B 41101
#define ID_PALETTE_C 41102

// Dialog of the label, drawn button and browser host tests.
#define IDD_TEST_CONTROLS 220
#define IDI_TEST_BUTTON 221
#define IDC_LABEL_GRADED 1100
#define IDC_LABEL_BOLD 1101
#define IDC_LABEL_ROTATED 1102
#define IDC_LABEL_LINK 1103
#define IDC_LABEL_FLASH 1104
#define IDC_BUTTON_FLAT 1110
#define IDC_BUTTON_CLASSIC 1111
#define IDC_BUTTON_CHECK 1112
#define IDC_BUTTON_ICON 1113
#define IDC_BUTTON_DISABLED 1114
#define IDC_BROWSER_PLACE 1120
