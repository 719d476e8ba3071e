// The skinned standard controls of the players and their pages: the hotspot tooltip,
// the owner-drawn bitmap button and the list that reports drops and mouse actions.
#pragma once

#include "fw/Framework.h"

#include <cstddef>
#include <memory>
#include <vector>

class CSkinToolTip : public CToolTipCtrl {
public:
    // A tool over a rectangle of pOwner with tool id nId.
    BOOL AddTool(CWnd* pOwner, LPCSTR lpszText, LPCRECT lpRect, UINT nId);

    // The tool description of the first version of the control: nothing beyond its
    // lParam (44 bytes in a 32-bit program).
    static constexpr UINT kToolInfoSize = offsetof(TOOLINFOA, lParam) + sizeof(LPARAM);
};

class CSkinButton : public CButton {
public:
    enum Look { kLookFlat = 1, kLookRaised = 2 };
    static constexpr int kNoDisabledImage = -1;

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    int m_nLook = kLookFlat;
    BOOL m_bHoverFrame = FALSE;
    BOOL m_bPressShift = FALSE;
    CPoint m_ptNormal;
    CPoint m_ptDisabled{kNoDisabledImage, 0};

protected:
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);

private:
    void DrawFrame(CDC& dc, const CRect& rc, BOOL bSelected);

    DECLARE_MESSAGE_MAP()
};

class CSkinListCtrl : public CListCtrl {
public:
    // UM_LISTMOUSE actions (wParam).
    enum MouseAction { kMouseUp = 0, kMouseDrag = 1, kMouseDoubleClick = 2 };

protected:
    void OnDropFiles(HDROP hDropInfo);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);

    DECLARE_MESSAGE_MAP()
};

// The check images of the track lists (icons 2001 and 2002 of the program): image 0
// unchecked, image 1 checked. FALSE when the list or an icon cannot be made.
BOOL CreateListCheckImages(CImageList& images);
constexpr int kListImageUnchecked = 0;
constexpr int kListImageChecked = 1;

// TTN_NEEDTEXT of a page's tool given by window: the id of the control it asks
// about, 0 for any other tool.
UINT ToolTipControlId(const NMHDR* pHdr);
// Answers it with message text nText, kept in strTip while the tip shows.
void AnswerToolTip(NMHDR* pHdr, UINT nText, CString& strTip);

// Where a page's skinned button goes (page pixels) and its images in the page bitmap;
// a disabled x of CSkinButton::kNoDisabledImage keeps the normal image.
struct SkinButtonPlace {
    UINT nId;
    int x, y, cx, cy;
    POINT ptNormal;
    POINT ptDisabled;
};

// The skinned buttons of a page: subclassed and placed from a table, both drawing
// flags on, and the one under the mouse drawn raised.
class CSkinButtonSet {
public:
    BOOL Attach(CWnd* pPage, const SkinButtonPlace* pPlaces, int nCount);
    CSkinButton* Find(UINT nId);
    // UM_BUTTONHOVER: that button hot, the previous one normal, both repainted.
    void OnButtonHover(UINT nId);
    // The mouse moved over the page itself: no button is hot.
    void OnPageMouseMove() { OnButtonHover(0); }
    UINT HotId() const { return m_nHotId; }

private:
    void SetLook(UINT nId, int nLook);

    std::vector<std::unique_ptr<CSkinButton>> m_buttons;
    UINT m_nHotId = 0;
};
