// Resource ids of mpdeck's own templates.
#pragma once

#define IDD_MP3_PLAYER  801     // the player window: no caption, shaped in code
