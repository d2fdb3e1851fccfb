// editbar_ids.h - control ids of the edit bar's templates "EBCONTAINER" and "EDITBAR"
// (resources/editbar.rc).
#ifndef LEVYLINE_ENTRY_EDITBAR_IDS_H
#define LEVYLINE_ENTRY_EDITBAR_IDS_H

// Controls of "EBCONTAINER".
#define IDC_EB_CHOICE1   1159
#define IDC_EB_CHOICE2   1160
#define IDC_EB_CHOICE3   1161
#define IDC_EB_FRAME     1392
#define IDC_EB_SHADOW    1264
// Controls of "EDITBAR".
#define IDC_EB_EDIT1     1098
#define IDC_EB_EDIT2     1099
#define IDC_EB_EDIT3     1100
#define IDC_EB_LIST      1101
#define IDC_EB_LISTFRAME1 1102
#define IDC_EB_LISTFRAME2 1103
#define IDC_EB_NAMEFRAME 1104
#define IDC_EB_CUE1      1105
#define IDC_EB_CUE2      1106
#define IDC_EB_CUE3      1107
#define IDC_EB_SEP1      1108
#define IDC_EB_SEP2      1109
#define IDC_EB_SEP3      1110
#define IDC_EB_HINTTOOL  1111   // tool id of the kind icon's hint
#define IDC_EB_STMT      1116
#define IDC_EB_ICON1     1347
#define IDC_EB_ICON2     1348
#define IDC_EB_ICON3     1349
// Bitmap of the statement button.
#define IDB_EB_STMT      324

#endif // LEVYLINE_ENTRY_EDITBAR_IDS_H
