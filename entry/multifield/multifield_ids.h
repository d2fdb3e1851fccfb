// multifield_ids.h - control ids of the "MULTIFIELD" template (resources/multifield.rc).
#ifndef LEVYLINE_ENTRY_MULTIFIELD_IDS_H
#define LEVYLINE_ENTRY_MULTIFIELD_IDS_H

#define IDC_MF_OK           1205
#define IDC_MF_CANCEL       1207
#define IDC_MF_VALUE_FIRST  500    // value box of member i: 500 + i
#define IDC_MF_LABEL_FIRST  800    // label of member i: 800 + i
#define MULTIFIELD_MAX_MEMBERS 64

#endif // LEVYLINE_ENTRY_MULTIFIELD_IDS_H
