#pragma once
// Resource numbers of the display program; the class name and caption are how the configuration
// program finds it, so they live in the string table rather than in code.
#define IDS_APP_TITLE 103
#define IDM_ABOUT 104
#define IDM_EXIT 105
#define IDI_VISTREL 107
#define IDI_SMALL 108
#define IDC_VISTREL 109
