#pragma once
// Resource numbers of help.rc (read by windres too, hence macros).
#define IDI_HELP_ICON 1
#define IDR_HELP_POLISH 101
#define IDR_HELP_ENGLISH 102
