#ifndef KESTREL_APP_RESOURCE_H
#define KESTREL_APP_RESOURCE_H
/* Resource and command numbers, shared by the viewer's code and KestrelViewer.rc.
   A command's number is also that of its tip in the string table. */

/* The frame's own: menu, toolbar bitmap, first title, Exit, About, the bars and the
   About dialog. */
#include "framework/FrameworkIds.h"

#define IDS_NEW_FILE 107
#define IDM_OPEN 108
#define IDM_CONTROL_PAN 117
#define IDM_CONTROL_ROTATE 118
#define IDM_CONTROL_ZOOM 119
#define IDM_AXES 125
#define IDM_TEXT 126
#define IDM_LIGHTING 127
#define IDM_COLOR 128
#define IDM_TEXTURES 129
#define IDM_CULL 130
#define IDS_FRAME_OPTIONS 131
#define IDM_POINTS 132
#define IDM_WIREFRAME 133
#define IDM_FILL 134
#define IDS_ANIMATION_OPTIONS 135
#define IDM_ANIMATION_START 136
#define IDM_ANIMATION_STOP 137
#define IDM_ANIMATION_PREVIOUS 138
#define IDM_ANIMATION_NEXT 139
#define IDM_BOUNDING_BOX 140
#define IDM_DATAVIEW 144
#define IDM_ANIMATION_FIRST 145
#define IDM_ANIMATION_LAST 146
/* What the File menu writes: the model as glTF, the view as a picture, the
   archive's images as pictures. */
#define IDM_EXPORT_GLTF 150
#define IDM_SAVE_PICTURE 151
#define IDM_EXPORT_TEXTURES 152

/* The About dialog's text. */
#define IDC_ABOUT_TEXT 303

/* The "Model Data View" dialog's template and controls. */
#define IDD_DATAVIEW 141
#define IDC_DATATEXT 302
#define IDC_BLOCKCHOICE 1003
#define IDC_SETCHOICE 1004

#endif
