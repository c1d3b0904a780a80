// Control ids of the preference pages. The pages share the numbers of
// their templates, so one number may name different controls on two pages.
#pragma once

// ---- Every page except Vectors ------------------------------------------------
#define IDC_PREF_SET_AS_DEFAULT         1019

// ---- Fonts --------------------------------------------------------------------
#define IDC_FONTS_USE_ONE_FONT          1000
#define IDC_FONTS_GREEK_BOLD            1001
#define IDC_FONTS_GREEK_ITALIC          1002
#define IDC_FONTS_FUNCTIONS_BOLD        1003
#define IDC_FONTS_FUNCTIONS_ITALIC      1004
#define IDC_FONTS_QUOTE_BOLD            1005
#define IDC_FONTS_QUOTE_ITALIC          1006
#define IDC_FONTS_UNITS_BOLD            1007
#define IDC_FONTS_UNITS_ITALIC          1008
#define IDC_FONTS_VARIABLES_BOLD        1009
#define IDC_FONTS_VARIABLES_ITALIC      1010
#define IDC_FONTS_WORD_FONT             1011
#define IDC_FONTS_MAIN_FACE             1056
#define IDC_FONTS_MAIN_SIZE             1057
#define IDC_FONTS_MAIN_COLOUR           1058
#define IDC_FONTS_FUNCTIONS_FACE        1060
#define IDC_FONTS_GREEK_COLOUR          1061
#define IDC_FONTS_FUNCTIONS_COLOUR      1062
#define IDC_FONTS_QUOTE_FACE            1063
#define IDC_FONTS_QUOTE_COLOUR          1064
#define IDC_FONTS_UNITS_FACE            1065
#define IDC_FONTS_UNITS_COLOUR          1066
#define IDC_FONTS_VECTOR_FACE           1067
#define IDC_FONTS_VECTOR_COLOUR         1068
#define IDC_FONTS_VARIABLES_COLOUR      1069

// ---- Styles -------------------------------------------------------------------
#define IDC_STYLES_NEGATIVE_HYPHEN      1003
#define IDC_STYLES_NEGATIVE_DASH        1004
#define IDC_STYLES_NEGATIVE_BLANK       1005
#define IDC_STYLES_MULTIPLY_CROSS       1006
#define IDC_STYLES_MULTIPLY_DOT         1007
#define IDC_STYLES_MULTIPLY_STAR        1008
#define IDC_STYLES_INTEGRAL_0           1009
#define IDC_STYLES_INTEGRAL_1           1010
#define IDC_STYLES_INTEGRAL_PREVIEW_1   1011
#define IDC_STYLES_INTEGRAL_PREVIEW_0   1012
#define IDC_STYLES_COMB_PREVIEW_0       1013
#define IDC_STYLES_COMB_PREVIEW_1       1014
#define IDC_STYLES_COMB_PREVIEW_2       1015
#define IDC_STYLES_MIXED_NUMERALS       1024
#define IDC_STYLES_PEN                  1025
#define IDC_STYLES_RAISE_DECIMAL        1026
#define IDC_STYLES_WIPE_BACKGROUND      1027
#define IDC_STYLES_WINGDINGS            1028
#define IDC_STYLES_COMB_0               1036
#define IDC_STYLES_COMB_1               1037
#define IDC_STYLES_COMB_2               1038
#define IDC_STYLES_TAB                  1039
#define IDC_STYLES_VERTICAL             1040

// ---- Vectors ------------------------------------------------------------------
#define IDC_VECTORS_CAPS_IGNORE         1000
#define IDC_VECTORS_CAPS_VECTORS        1001
#define IDC_VECTORS_CAPS_SEGMENTS       1002
#define IDC_VECTORS_CAPS_LINES          1003
#define IDC_VECTORS_SHOW_BOLD           1004
#define IDC_VECTORS_SHOW_LINE           1005
#define IDC_VECTORS_SHOW_TILDE          1006
#define IDC_VECTORS_LETTER_A            1007
#define IDC_VECTORS_LETTER_T            1026
#define IDC_VECTORS_LOWER_IGNORE        1027
#define IDC_VECTORS_LOWER_GUESS         1028
#define IDC_VECTORS_LOWER_SELECT        1029
#define IDC_VECTORS_LETTER_U            1030
#define IDC_VECTORS_LETTER_Z            1035
#define IDC_VECTORS_COLUMN              1036
#define IDC_VECTORS_AUTOMATIC           1037
#define IDC_VECTORS_SHOW_ARROW          1038
#define IDC_VECTORS_SET_AS_DEFAULT      1039
#define IDC_VECTORS_ARROW_TRIANGLE      1040
#define IDC_VECTORS_ARROW_LINES         1041

// ---- Units and Shortcuts ------------------------------------------------------
#define IDC_LIST_TEXT                   1013

// ---- Matrix -------------------------------------------------------------------
#define IDC_MATRIX_COLUMN_GAP           1021
#define IDC_MATRIX_ROW_GAP              1022
#define IDC_MATRIX_ALIGN_LEFT           1023
#define IDC_MATRIX_ALIGN_CENTER         1024
#define IDC_MATRIX_ALIGN_RIGHT          1025
