// Command and string ids of the class library, shared by code and resource
// scripts (plain #defines only, so windres can read this file).
#pragma once

#define AFX_IDS_APP_TITLE 0xE000
// The status bar's idle text; the untitled-document name lives apart from it.
#define AFX_IDS_IDLEMESSAGE 0xE001
#define AFX_IDS_UNTITLED 0xE00F

// The class library's own texts. Their English copies are in AfxRes.rc,
// which every program's resource script includes; a language module carries
// its translations under the same ids.
#define AFX_IDP_FAILED_TO_CREATE_DOC 61700
#define AFX_IDS_ALL_FILES_FILTER 0xF300
#define AFX_IDS_EMBEDDED_TITLE 0xF302
#define AFX_IDS_UNNAMED_FILE 0xF303
#define AFX_IDP_ASK_TO_SAVE 0xF310
#define AFX_IDP_FAILED_TO_OPEN_DOC 0xF311
#define AFX_IDP_FAILED_TO_SAVE_DOC 0xF312
#define AFX_IDP_FAILED_TO_UPDATE 0xF313
#define AFX_IDP_NO_PRINTER 0xF314
#define AFX_IDP_PRINT_FAILED 0xF315
#define AFX_IDP_OUT_OF_MEMORY 0xF316
#define AFX_IDP_UNEXPECTED_ERROR 0xF317
#define AFX_IDP_UNEXPECTED_ERROR_NAMED 0xF318
#define AFX_IDP_RESOURCE_UNAVAILABLE 0xF319
#define AFX_IDP_INVALID_ARGUMENT 0xF31A
#define AFX_IDP_PARSE_INT_RANGE 0xF320
#define AFX_IDP_PARSE_UINT_RANGE 0xF321
#define AFX_IDP_PARSE_REAL 0xF322
#define AFX_IDP_PARSE_REAL_RANGE 0xF323
#define AFX_IDP_PARSE_STRING_SIZE 0xF324
// The messages of CFileException and CArchiveException: the first id plus
// the exception's cause.
#define AFX_IDP_FILE_CAUSE_FIRST 0xF330
#define AFX_IDP_ARCHIVE_CAUSE_FIRST 0xF340

// Panes of the status bar: the message pane and the key indicators.
#define ID_SEPARATOR 0
#define ID_INDICATOR_CAPS 0xE701
#define ID_INDICATOR_NUM 0xE702
#define ID_INDICATOR_SCRL 0xE703

#define ID_FILE_NEW 0xE100
#define ID_FILE_OPEN 0xE101
#define ID_FILE_CLOSE 0xE102
#define ID_FILE_SAVE 0xE103
#define ID_FILE_SAVE_AS 0xE104
#define ID_FILE_PAGE_SETUP 0xE105
#define ID_FILE_PRINT_SETUP 0xE106
#define ID_FILE_PRINT 0xE107
#define ID_FILE_PRINT_DIRECT 0xE108
#define ID_FILE_PRINT_PREVIEW 0xE109
#define ID_FILE_UPDATE 0xE10A
#define ID_FILE_SAVE_COPY_AS 0xE10B
#define ID_FILE_MRU_FILE1 0xE110
#define ID_FILE_MRU_FILE16 0xE11F

#define ID_EDIT_CLEAR 0xE120
#define ID_EDIT_COPY 0xE122
#define ID_EDIT_CUT 0xE123
#define ID_EDIT_PASTE 0xE125
#define ID_EDIT_SELECT_ALL 0xE12A
#define ID_EDIT_UNDO 0xE12B

#define ID_WINDOW_NEW 0xE130
#define ID_WINDOW_ARRANGE 0xE131
#define ID_WINDOW_CASCADE 0xE132
#define ID_WINDOW_TILE_HORZ 0xE133
#define ID_WINDOW_TILE_VERT 0xE134

#define ID_APP_ABOUT 0xE140
#define ID_APP_EXIT 0xE141
#define ID_HELP 0xE146

#define AFX_IDM_FIRST_MDICHILD 0xFF00

// Print preview: the commands of its buttons, their captions and the
// status text of the pages shown.
#define ID_PREVIEW_CLOSE 0xE300
#define ID_PREVIEW_NUMPAGE 0xE301
#define ID_PREVIEW_NEXT 0xE302
#define ID_PREVIEW_PREV 0xE303
#define ID_PREVIEW_PRINT 0xE304
#define ID_PREVIEW_ZOOMIN 0xE305
#define ID_PREVIEW_ZOOMOUT 0xE306
#define AFX_IDS_PREVIEW_CLOSE 0xEF10
#define AFX_IDS_PREVIEW_TWOPAGE 0xEF11
#define AFX_IDS_PREVIEW_ONEPAGE 0xEF12
#define AFX_IDS_PREVIEW_NEXT 0xEF13
#define AFX_IDS_PREVIEW_PREV 0xEF14
#define AFX_IDS_PREVIEW_PRINT 0xEF15
#define AFX_IDS_PREVIEW_ZOOMIN 0xEF16
#define AFX_IDS_PREVIEW_ZOOMOUT 0xEF17
#define AFX_IDS_PREVIEW_PAGE 0xEF18
#define AFX_IDS_PREVIEW_PAGES 0xEF19
