// Resource and control ids of the signature dialog "SIGCAPTURE" (shared by resources/signature.rc).
#ifndef LEVYLINE_SIGNATURE_IDS_H
#define LEVYLINE_SIGNATURE_IDS_H

#define IDC_SIG_PAD        1512   // the drawing pad (static image control)
#define IDC_SIG_REBAR      1088
#define IDC_SIG_TOOLBAR    1018
#define IDC_SIG_APPLY      3
#define IDC_SIG_INSTRUCTION (-1)  // the instruction line
#define IDM_SIG_FILE       40018
#define IDM_SIG_DRAW       40019
#define IDM_SIG_TYPE       40020
#define IDM_SIG_CLEAR      40021
#define IDB_SIG_TOOLBAR    763    // four 16 x 16 images: File, Draw, Type, Clear
#define IDB_SIG_OK         332    // button pictures (resources/button_icons.rc), turned into icons at run time
#define IDB_SIG_APPLY      549
#define IDB_SIG_CANCEL     319

#endif
