// Resource ids of cddeck's own templates.
#pragma once

#define IDD_CD_PLAYER   801     // the player window: no caption, shaped in code
#define IDD_CD_PLAYLIST 803     // the sheet's "CD PlayList" page
#define IDC_PAGE_NOTE   1099    // the pages' note until their controls arrive
