// efile_sheet_ids.h - templates and control ids of the e-file information sheet
// (resources/efileinfo.rc).
#ifndef LEVYLINE_ENTRY_EFILE_SHEET_IDS_H
#define LEVYLINE_ENTRY_EFILE_SHEET_IDS_H

#define IDC_EFS_EDIT_FIRST   1300   // the entry of slot s (EfileSheetSlot): 1300 + s
#define IDC_EFS_LABEL_FIRST  1400   // its label: 1400 + s
#define IDC_EFS_US_ADDRESS   1043
#define IDC_EFS_FOREIGN      1044   // sub-page 1044: the sheet opens on the non-US address switch
#define IDC_EFS_USE_PIN      1045
#define EFS_SUBPAGE_FOREIGN  1044

#endif // LEVYLINE_ENTRY_EFILE_SHEET_IDS_H
