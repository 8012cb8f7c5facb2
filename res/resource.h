#pragma once
// Resource identifiers shared by Purgix.rc and the code that loads them.
#define IDI_PROGRAM 1
#define IDI_TRAY 2
#define IDC_HAND_CURSOR 3
#define IDB_INDICATOR0 10
#define IDB_INDICATOR1 11
#define IDB_INDICATOR2 12
