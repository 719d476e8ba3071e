#pragma once
#define IDD_HOST 100
#define IDC_MP3PLAY 1061
