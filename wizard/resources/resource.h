// Resource and control identifiers of the wizard.
#pragma once

#define IDD_NOTE 100
#define IDS_ABOUTBOX 101
#define IDD_ENTRY_PAGE 102
#define IDD_FINISH_PAGE 103
#define IDS_RESTART_BY_HAND 104
#define IDS_BACKUP_FAILED 105
#define IDS_RESTORED 106
#define IDS_RESTART_NOW 107
#define IDS_RESTORE_FAILED 108
#define IDS_NO_SNAPSHOT 109
#define IDR_MAINFRAME 128
#define IDB_PICTURE 129

#define IDC_PICTURE 1000
#define IDC_ADDRESS 1004
#define IDC_MASK 1005
#define IDC_GATEWAY 1006
#define IDC_DNS_PREFERRED 1007
#define IDC_DNS_ALTERNATE 1008

// System-menu command of the About entry.
#define IDM_ABOUTBOX 0x0010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
