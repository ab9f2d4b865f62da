// Resource identifiers of the codec driver.
#pragma once

#define IDD_DRIVER_INFO 750
#define IDC_INFO_RULE 102
#define IDC_INFO_TITLE 106
#define IDC_INFO_VERSION 107
