// Resource ids of the explanation dialog ("EXPLAIN"), the pre-send error list ("ERRORLIST"),
// the forms tree's context menu ("POPUP") and the "Check Return" command. Plain defines only:
// resources/explain.rc and resources/levyline.rc include this file.
#ifndef LEVYLINE_ENTRY_EXPLAIN_IDS_H
#define LEVYLINE_ENTRY_EXPLAIN_IDS_H

// "EXPLAIN"
#define IDC_EXPLAIN_TEXT        1036   // the text (multi-line edit)
#define IDC_EXPLAIN_DESCRIPTION 1321   // what the text is for
#define IDC_EXPLAIN_PRINT       1204
#define IDC_EXPLAIN_LIST        1121   // hidden one-column list that carries the text to the printer

// "ERRORLIST"
#define IDC_ERRORLIST_LIST      1217
#define IDC_ERRORLIST_ICON      1223
#define IDC_ERRORLIST_HEADER    1225
#define IDC_ERRORLIST_PRINT     1204
#define IDC_ERRORLIST_SAVE      1313
#define IDC_ERRORLIST_CLOSE     8
#define IDC_ERRORLIST_KEY       1226   // "Type Key:"
#define IDC_ERRORLIST_KEYPIC1   1227   // the three type pictures and their texts
#define IDC_ERRORLIST_KEYPIC2   1228
#define IDC_ERRORLIST_KEYPIC3   1229
#define IDC_ERRORLIST_KEYTXT1   1230
#define IDC_ERRORLIST_KEYTXT2   1231
#define IDC_ERRORLIST_KEYTXT3   1232

// Button pictures (bitmaps whose colour at 0, 0 is transparent, made into icons when shown).
#define IDB_EXPLAIN_PRINT       262
#define IDB_EXPLAIN_CLOSE       264
#define IDB_EXPLAIN_SAVE        306
#define IDB_EXPLAIN_CANCEL      319   // the shared OK and Cancel pictures (resources/button_icons.rc)
#define IDB_EXPLAIN_OK          332
// The error list's type pictures: four 32 x 16 images (number, location, value, message) and
// their mask.
#define IDB_ERRORLIST_TYPES     280
#define IDB_ERRORLIST_TYPEMASK  281

// Commands of the forms tree's context menu ("POPUP") that the main window does not own.
#define IDM_TREE_ADDFORM        40401
#define IDM_TREE_DUPLICATE      40402
#define IDM_TREE_REMOVEPAGE     40403
#define IDM_TREE_NOTETOIRS      40405
#define IDM_TREE_CHANGESOURCE   40406
#define IDM_TREE_REMOVEALL      41005
#define IDM_TREE_NOTETOSELF     41041
#define IDM_TREE_REGULATORY     41042
#define IDM_TREE_PRINT          41060

// The main menu's "Check Return" command.
#define IDM_CHECKRETURN         40070

#endif
