#ifndef KESTREL_DATAVIEW_DATAVIEWIDS_H
#define KESTREL_DATAVIEW_DATAVIEWIDS_H
/* The "Model Data View" dialog's template and controls; the viewer's resource
   script includes this too. */

#define IDD_DATAVIEW 141
#define IDC_DATATEXT 302
#define IDC_BLOCKCHOICE 1003
#define IDC_SETCHOICE 1004

#endif
