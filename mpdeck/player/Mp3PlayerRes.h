// Resource ids of mpdeck's own templates.
#pragma once

#define IDD_MP3_PLAYER  801     // the player window: no caption, shaped in code
#define IDC_MP3PLAY_CONTROL 1061    // the hidden MP3 play/decode control
