#pragma once
#define IDD_CONTROL_HOST 100
#define IDC_MP3PLAY 1061
