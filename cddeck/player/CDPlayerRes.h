// Resource ids of cddeck's own templates.
#pragma once

#define IDD_CD_PLAYER   801     // the player window: no caption, shaped in code
