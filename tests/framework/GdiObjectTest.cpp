// Drawing-object wrappers: an owning CBitmap deletes its bitmap and never
// takes a second one; the wrappers that SelectObject returns own nothing.
#include "framework/afxwin.h"
#include <gtest/gtest.h>

TEST(CBitmap, OwnsOneBitmapAndDeletesItWithItself)
{
    HGDIOBJ hFirst = nullptr;
    {
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.CreateBitmap(8, 8, 1, 1, nullptr));
        hFirst = bitmap.GetSafeHandle();
        EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), ::GetObjectType(hFirst));

        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
        EXPECT_FALSE(bitmap.CreateBitmap(4, 4, 1, 1, nullptr));
        EXPECT_FALSE(bitmap.CreateCompatibleBitmap(&dc, 4, 4));
        EXPECT_EQ(hFirst, bitmap.GetSafeHandle());
        BITMAP info = {};
        ASSERT_EQ(static_cast<int>(sizeof(info)), bitmap.GetBitmap(&info));
        EXPECT_EQ(8, info.bmWidth);
    }
    EXPECT_EQ(0u, ::GetObjectType(hFirst)) << "the bitmap outlived its object";
}

TEST(CBitmap, SelectedOutBitmapComesBackAsAWrapperThatOwnsNothing)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&dc, 16, 4));

    CBitmap* pOld = dc.SelectObject(&bitmap);
    ASSERT_NE(nullptr, pOld);
    const HGDIOBJ hOld = pOld->GetSafeHandle();
    EXPECT_EQ(pOld, CBitmap::FromHandle(static_cast<HBITMAP>(hOld)));
    CBitmap* pMine = dc.SelectObject(pOld);
    ASSERT_NE(nullptr, pMine);
    EXPECT_EQ(bitmap.GetSafeHandle(), pMine->GetSafeHandle());
    EXPECT_NE(&bitmap, pMine);
    EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), ::GetObjectType(hOld));

    dc.FillSolidRect(0, 0, 1, 1, RGB(1, 2, 3));
    EXPECT_EQ(RGB(1, 2, 3), dc.GetBkColor());
}
