// Resource ids of Ovelin: every menu, accelerator table, dialog, toolbar,
// bitmap, icon, string, command and control id lives here, so that the
// resource script, the program and the language modules agree.
// Plain #defines only: windres reads this file as well as the compiler.
//
// Ids whose values nothing fixed, chosen here:
//  - The class library's ids are spelt as in framework/AfxRes.h, so that
//    code may include both headers.
//  - ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_MRU_FILE1, ID_WINDOW_ARRANGE,
//    ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ and the indicator and idle
//    strings use the class library's usual values (0xE1xx, 0xE7xx, 0xE00x).
//  - Insert menu commands reuse the palettes' command ids; nothing new.
//  - IDC_EQUATION_ICON (1017) for the icon static of the dialog bar.
//  - The strings the program shows as fixed texts (Save As filter,
//    clipboard messages, the "Shortcuts" caption, the copyright line, the
//    about box's version format, the Save As messages and the welcome
//    dialog's title) sit at 300-311.
//  - ID_GREEK_PSI (32945) is the unassigned 23rd button of the lower-case
//    Greek palette; its image is a psi, and no command handles it yet.
#pragma once

// The class library's command and string ids (its own texts among them).
#include "../framework/AfxRes.h"

// ---- Resources shared by the main frame (menu, accelerators, icon,
//      toolbar 128 with its bitmap, and the title string) -----------------
#define IDR_MAINFRAME                   128
// Document templates: menu, accelerators, icon and document string each.
#define IDR_QVM400TYPE                  129
#define IDR_QVPTYPE                     147
// Embedded-server menu and accelerators (SetServerInfo).
#define IDR_SRVR_EMBEDDED               5

// ---- Dialog templates (the controls of those outside this file's
//      resource script are added with their dialogs) --------------------
#define IDD_ABOUTBOX                    100
#define IDD_EQUATION_BAR                130
#define IDD_PAGE_SHORTCUTS              131
#define IDD_PAGE_STYLES                 132
#define IDD_PAGE_VECTORS                133
#define IDD_PAGE_UNITS                  135
#define IDD_PAGE_FONTS                  136
#define IDD_PAGE_MATRIX                 137
#define IDD_ABOUT_MARVOLK               138
#define IDD_LANGUAGE_SELECT             139
#define IDD_MATRIX                      187
#define IDD_VECTOR                      190
#define IDD_PIECEWISE                   194
#define IDD_SCREEN_KEYBOARD             195
#define IDD_FIRST_RUN                   196
#define IDD_BROWSER                     200
#define IDD_UPDATE_MINOR                202
#define IDD_TIP_OF_THE_DAY              203
#define IDD_UPDATE_MAJOR                204

// ---- Toolbars (TOOLBAR resources; a bitmap of the same id backs each) ---
#define IDR_SHORTCUTS                   142
#define IDR_PALETTE_GREEK_LOWER         144
#define IDR_PALETTE_SYMBOLS             146
#define IDR_PALETTE_ROOTS               148
#define IDR_PALETTE_CALCULUS            162
#define IDR_PALETTE_EQUATION_NUMBERS    176
#define IDR_PALETTE_ARRAYS              190
#define IDR_PALETTE_GREEK_UPPER         199

// ---- True-colour image strips of the "Shortcuts" bar and its palettes ---
#define IDB_FONT_PREVIEW                133
#define IDB_SHORTCUTS                   156
#define IDB_PALETTE_GREEK_LOWER         157
#define IDB_PALETTE_SYMBOLS             158
#define IDB_PALETTE_CALCULUS            165
#define IDB_PALETTE_ROOTS               180
#define IDB_PALETTE_EQUATION_NUMBERS    181
#define IDB_PALETTE_ARRAYS              193
#define IDB_PALETTE_GREEK_UPPER         202

// ---- Controls ---------------------------------------------------------
#ifndef IDC_STATIC
#define IDC_STATIC                      (-1)
#endif
#define IDC_EQUATION_EDIT               1005
#define IDC_EQUATION_CHECK              1016
#define IDC_EQUATION_ICON               1017
#define IDC_ABOUT_VERSION               1030
#define IDC_ABOUT_COPYRIGHT             1031

// ---- Controls of the maker's about box and the language dialog ----------
#define IDC_LANGUAGE_LIST               1025
#define IDC_MARVOLK_LINK                1028

// ---- Strings ----------------------------------------------------------
#define IDS_OLE_INIT_FAILED             100
#define IDS_APP_TITLE                   128
#define IDS_PDF_READER_NEEDED           135
#define IDS_PDF_READER_CAPTION          136
#define IDS_FILE_NOT_FOUND              137
#define IDS_FILE_ERROR_CAPTION          138
#define IDS_DEFAULT_CONFIG_WRITTEN      139
#define IDS_DEFAULT_CONFIG_HOWTO        140
#define IDS_OPTIONS_RESET_DONE          141
#define IDS_PREFERENCES_CAPTION         142
#define IDS_ABOUT_TO_RESET_OPTIONS      143
#define IDS_RESTART_FOR_LANGUAGE        144
#define IDS_QUICKREF_CARD_FILE          145
#define IDS_SHORTCUTS_CAPTION           300
#define IDS_SAVE_AS_FILTER              301
#define IDS_CLIPBOARD_OPEN_FAILED       302
#define IDS_CLIPBOARD_EMPTY_FAILED      303
#define IDS_CLIPBOARD_SET_FAILED        304
#define IDS_COPYRIGHT                   305
#define IDS_ABOUT_VERSION_FORMAT        306
#define IDS_FILE_SAVE_ERROR_CAPTION     307
#define IDS_SAVE_UNKNOWN_TYPE           308
#define IDS_EXPORT_FAILED               309
#define IDS_REPLACE_EXISTING_FILE       310
#define IDS_WELCOME_TITLE               311
#define IDS_SHORTCUT_WITHOUT_MARK       330
#define IDS_SHORTCUT_WITH_PERCENT       331
#define IDS_WRITE_DISK_FULL             360
#define IDS_WRITE_READ_ONLY             361
#define IDS_WRITE_IN_USE                362
#define AFX_IDS_APP_TITLE               0xE000
#define AFX_IDS_IDLEMESSAGE             0xE001

// ---- Class-library commands -------------------------------------------
#define ID_FILE_NEW                     0xE100
#define ID_FILE_OPEN                    0xE101
#define ID_FILE_CLOSE                   0xE102
#define ID_FILE_SAVE                    0xE103
#define ID_FILE_SAVE_AS                 0xE104
#define ID_FILE_PRINT_SETUP             0xE106
#define ID_FILE_PRINT                   0xE107
#define ID_FILE_PRINT_DIRECT            0xE108
#define ID_FILE_PRINT_PREVIEW           0xE109
#define ID_FILE_UPDATE                  0xE10A
#define ID_FILE_MRU_FILE1               0xE110
#define ID_EDIT_COPY                    0xE122
#define ID_EDIT_CUT                     0xE123
#define ID_EDIT_PASTE                   0xE125
#define ID_WINDOW_NEW                   0xE130
#define ID_WINDOW_ARRANGE               0xE131
#define ID_WINDOW_CASCADE               0xE132
#define ID_WINDOW_TILE_HORZ             0xE133
#define ID_APP_ABOUT                    0xE140
#define ID_APP_EXIT                     0xE141
#define ID_SEPARATOR                    0
#define ID_INDICATOR_CAPS               0xE701
#define ID_INDICATOR_NUM                0xE702
#define ID_INDICATOR_SCRL               0xE703

// ---- Application and document commands ---------------------------------
#define ID_CANCEL_EDIT_SRVR             32769
#define ID_CANCEL_CHANGES               32773
#define ID_UPDATE_AND_RETURN            32774
#define ID_EDIT_PREFERENCES             32775
#define ID_COPY_AS_METAFILE             32776
#define ID_RESET_TO_DEFAULT             32782
#define ID_READ_HELP_FILE               32786
#define ID_READ_MANUAL                  32787
#define ID_READ_QUICKREF_CARD           32788
#define ID_ABOUT_MARVOLK                32789
#define ID_READ_WHATS_NEW_CARD          32792
#define ID_EDIT_OPTIONS                 32793
#define ID_RESET_EQUATION               32794
#define ID_WRITE_DEFAULT_CONFIG         32795
#define ID_COPY_AS_BITMAP               32797
#define ID_RESET_OPTIONS                32803
#define ID_LANGUAGE                     32804
#define ID_LINE_BOLD                    32812
#define ID_LINE_ITALIC                  32814
#define ID_LINE_UNDERLINE               32815
#define ID_SCREEN_KEYBOARD              32936
#define ID_ALIGN_EQUAL_SIGNS            32938
#define ID_CHECK_FOR_UPDATES            33050
#define ID_REGISTER_NEWSLETTER          33051
#define ID_REGISTER_TUTORIALS           33052

// ---- Buttons of the "Shortcuts" bar that head a palette -----------------
#define ID_PALETTE_CALCULUS             32827
#define ID_PALETTE_GREEK_LOWER          32831
#define ID_PALETTE_SYMBOLS              32877
#define ID_PALETTE_ROOTS                32879
#define ID_PALETTE_FORMATTING           32898
#define ID_PALETTE_ARRAYS               32899
#define ID_PALETTE_EQUATION_NUMBERS     32918
#define ID_PALETTE_GREEK_UPPER          32949

// ---- Structure inserts --------------------------------------------------
#define ID_INSERT_DEGREE                32828
#define ID_INSERT_SQRT                  32880
#define ID_INSERT_NTH_ROOT              32881
#define ID_INSERT_LIMIT                 32890
#define ID_INSERT_INTEGRAL              32891
#define ID_INSERT_BOUNDS                32892
#define ID_INSERT_PRODUCT               32894
#define ID_INSERT_SCIENTIFIC            32895
#define ID_INSERT_SUM                   32897
#define ID_INSERT_SUPERSCRIPT           32901
#define ID_INSERT_SUBSCRIPT             32902
#define ID_INSERT_UNDERBAR              32903
#define ID_INSERT_HAT                   32904
#define ID_INSERT_DOT                   32905
#define ID_INSERT_DOUBLE_DOT            32906
#define ID_INSERT_ARC                   32907
#define ID_INSERT_BOX                   32913
#define ID_INSERT_DIV                   32914
#define ID_INSERT_MATRIX                32932
#define ID_INSERT_VECTOR                32933
#define ID_INSERT_PIECEWISE             32934
#define ID_INSERT_ARROW_LEFT            32967
#define ID_INSERT_ARROW_RIGHT           32968
#define ID_INSERT_ARROW_BOTH            32969
#define ID_INSERT_DERIVATIVE_AT_POINT   32982

// ---- Symbol inserts: lower-case Greek -----------------------------------
#define ID_GREEK_PI                     32829
#define ID_GREEK_THETA                  32830
#define ID_GREEK_ALPHA                  32832
#define ID_GREEK_BETA                   32833
#define ID_GREEK_CHI                    32834
#define ID_GREEK_DELTA                  32835
#define ID_GREEK_PHI                    32837
#define ID_GREEK_GAMMA                  32838
#define ID_GREEK_LAMBDA                 32839
#define ID_GREEK_MU                     32840
#define ID_GREEK_RHO                    32841
#define ID_GREEK_SIGMA                  32842
#define ID_GREEK_OMEGA                  32844
#define ID_GREEK_ZETA                   32847
#define ID_GREEK_ETA                    32849
#define ID_GREEK_IOTA                   32939
#define ID_GREEK_KAPPA                  32940
#define ID_GREEK_NU                     32941
#define ID_GREEK_XI                     32942
#define ID_GREEK_TAU                    32943
#define ID_GREEK_UPSILON                32944
#define ID_GREEK_PSI                    32945
#define ID_GREEK_EPSILON                32946

// ---- Symbol inserts: upper-case Greek -----------------------------------
#define ID_GREEK_UPPER_DELTA            32836
#define ID_GREEK_UPPER_SIGMA            32843
#define ID_GREEK_UPPER_OMEGA            32845
#define ID_GREEK_UPPER_GAMMA            32954
#define ID_GREEK_UPPER_THETA            32955
#define ID_GREEK_UPPER_PI               32956
#define ID_GREEK_UPPER_LAMBDA           32957
#define ID_GREEK_UPPER_XI               32958
#define ID_GREEK_UPPER_UPSILON          32959
#define ID_GREEK_UPPER_PHI              32960
#define ID_GREEK_UPPER_PSI              32961

// ---- Symbol inserts: symbols ----------------------------------------------
#define ID_SYMBOL_LESS_EQUAL            32853
#define ID_SYMBOL_GREATER_EQUAL         32854
#define ID_SYMBOL_NOT_EQUAL             32855
#define ID_SYMBOL_CONGRUENT             32856
#define ID_SYMBOL_APPROX                32857
#define ID_SYMBOL_IDENTICAL             32858
#define ID_SYMBOL_PLUS_MINUS            32859
#define ID_SYMBOL_DIVIDE                32860
#define ID_SYMBOL_ARROW                 32861
#define ID_SYMBOL_IMPLIES               32862
#define ID_SYMBOL_INFINITY              32863
#define ID_SYMBOL_TRIANGLE              32864
#define ID_SYMBOL_ANGLE                 32865
#define ID_SYMBOL_PERPENDICULAR         32866
#define ID_SYMBOL_AND                   32867
#define ID_SYMBOL_OR                    32868
#define ID_SYMBOL_ELEMENT               32869
#define ID_SYMBOL_NOT_ELEMENT           32870
#define ID_SYMBOL_SUBSET                32871
#define ID_SYMBOL_NOT_SUBSET            32872
#define ID_SYMBOL_PROPER_SUBSET         32873
#define ID_SYMBOL_THEREFORE             32875
#define ID_SYMBOL_PARTIAL               32876
#define ID_SYMBOL_PROPORTIONAL          32878
#define ID_SYMBOL_EXISTS                32963
#define ID_SYMBOL_FOR_ALL               32964
#define ID_SYMBOL_NABLA                 32965
#define ID_SYMBOL_ANGSTROM              32966
#define ID_SYMBOL_DOT_PRODUCT           32978

// ---- Symbol inserts: equation numbers (circled digits) ------------------
#define ID_EQUATION_NUMBER_0            32921
#define ID_EQUATION_NUMBER_1            32922
#define ID_EQUATION_NUMBER_2            32923
#define ID_EQUATION_NUMBER_3            32924
#define ID_EQUATION_NUMBER_4            32925
#define ID_EQUATION_NUMBER_5            32926
#define ID_EQUATION_NUMBER_6            32927
#define ID_EQUATION_NUMBER_7            32928
#define ID_EQUATION_NUMBER_8            32929
#define ID_EQUATION_NUMBER_9            32930
// ---- Insert dialogs (templates in InsertDialogs.rc). The matrix, vector
//      and piecewise grids use the edit ids 1021 to 1084 listed with their
//      dialogs in app/frame/ArrayDialogs.cpp. -------------------------------
#define IDD_INSERT_INTEGRAL             182
#define IDD_INSERT_LIMIT                183
#define IDD_INSERT_SUM_PRODUCT          184
#define IDD_INSERT_NTH_ROOT             185
#define IDD_INSERT_BOUNDS               186
#define IDD_INSERT_SCIENTIFIC           189
#define IDD_INSERT_DERIVATIVE_AT_POINT  212
#define IDC_INSERT_SECOND               1021
#define IDC_INSERT_THIRD                1022
#define IDC_INSERT_FIRST                1033
#define IDC_INSERT_ANCHOR               1035
#define IDC_INSERT_ANCHOR_RIGHT         1036

// ---- Start-up dialogs: welcome, update available, tip of the day and the
//      small browser dialog (templates IDD_FIRST_RUN to IDD_UPDATE_MAJOR) --
#define IDI_NEWSLETTER                  2500
#define IDI_TUTORIALS                   2501
#define IDC_NEWSLETTER_BUTTON           1089
#define IDC_TUTORIALS_BUTTON            1090
#define IDC_BROWSER_PLACEHOLDER         1090
#define IDC_INTERNET_REQUIRED           1091
#define IDC_UPDATE_CHECK_BOX            1094
#define IDC_UPDATE_CHECK_LABEL          1095
#define IDC_WELCOME_TITLE               1096
#define IDC_HELP_MENU_NOTE              1097
#define IDC_UPDATE_TITLE                1099
#define IDC_UPDATE_DOWNLOAD             1100
#define IDC_UPDATE_WHATS_NEW            1101
#define IDC_UPDATE_CLOSE_FIRST          1102
#define IDC_UPDATE_NEW_VERSION          1103
#define IDC_UPDATE_VERSIONS             1104
#define IDC_SHOW_TIPS                   1105
#define IDC_TIP_PREVIOUS                1106
#define IDC_TIP_NEXT                    1107
