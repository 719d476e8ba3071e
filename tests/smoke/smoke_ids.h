#pragma once
#define IDD_SMOKE_DIALOG 100
#define IDC_SMOKE_TEXT 1001
