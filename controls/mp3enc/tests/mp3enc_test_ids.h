#pragma once
#define IDD_HOST 100
#define IDC_MP3ENC 1062
