#ifndef KESTREL_FRAMEWORK_FRAMEWORKIDS_H
#define KESTREL_FRAMEWORK_FRAMEWORKIDS_H
/* The resource and command numbers that the framework itself looks up or handles.
   An application's resources hold these under the same numbers; plain defines, so
   that the resource compiler reads this file as the C++ compiler does. */

/* The frame's menu, its toolbar bitmap, its first title (a string) and its icons. */
#define IDR_MAINFRAME 101

/* The commands the frame carries out itself; the bars' numbers are also their
   menu items, whose check marks follow the bars. */
#define IDM_EXIT 102
#define IDM_ABOUT 103
#define IDM_STATUSBAR 104
#define IDM_TOOLBAR 116

/* The dialog that About runs. */
#define IDD_ABOUT 301

#endif
