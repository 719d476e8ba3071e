#pragma once
#define IDD_HOST 100
#define IDC_ACD 1006
