// Field colours: the "InColor" setting and the colour a page's own palette gives the shading.
#include "pages/pages.h"

#include <gtest/gtest.h>

namespace {

TEST(FieldColor, InColorIsWrittenWhenMissing)
{
    DWORD saved = 0;
    int had = ReadRegistryValue(&saved, REG_SCOPE_YEAR, 0, "InColor", sizeof(saved), REG_DWORD);
    DeleteRegistryValue(REG_SCOPE_YEAR, "InColor");
    EXPECT_EQ((COLORREF)0xCCFFCC, GetFieldShadeColor(NULL, NULL));
    DWORD written = 0;
    ASSERT_TRUE(ReadRegistryValue(&written, REG_SCOPE_YEAR, 0, "InColor", sizeof(written), REG_DWORD));
    EXPECT_EQ(0xCCFFCCu, written);
    // A value the user chose is used as it is (its low 24 bits).
    DWORD chosen = 0x12FFEEDD;
    WriteRegistryValue(REG_SCOPE_YEAR, "InColor", REG_DWORD, &chosen, sizeof(chosen));
    EXPECT_EQ((COLORREF)0xFFEEDD, GetFieldShadeColor(NULL, NULL));
    if (had)
        WriteRegistryValue(REG_SCOPE_YEAR, "InColor", REG_DWORD, &saved, sizeof(saved));
    else
        DeleteRegistryValue(REG_SCOPE_YEAR, "InColor");
}

TEST(FieldColor, PageColourFromThePalette)
{
    RGBQUAD table[16];
    memcpy(table, gVgaPalette, sizeof(table));
    // The VGA palette: the darkest non-grey colour that is not the text colour is maroon /
    // navy / green (lightness 60 each); the first of equals wins, lightened to 225.
    COLORREF picked = PickPageShadeColor(table, 16, 0xC00000);
    uint16_t rgb[3] = {GetRValue(picked), GetGValue(picked), GetBValue(picked)}, hls[3];
    RgbToHls(rgb, hls);
    EXPECT_EQ(0, hls[0]);           // the hue of maroon (red)
    EXPECT_NEAR(225, hls[2], 1);    // lightness 225
    // Greys and the text colour only: nothing qualifies.
    RGBQUAD greys[4] = {{0, 0, 0, 0}, {128, 128, 128, 0}, {0, 0, 0xC0, 0}, {255, 255, 255, 0}};
    EXPECT_EQ(CLR_INVALID, PickPageShadeColor(greys, 4, RGB(0xC0, 0, 0)));
    // Near-greys (spread of at most 5) are greys.
    RGBQUAD nearGrey[1] = {{100, 103, 105, 0}};
    EXPECT_EQ(CLR_INVALID, PickPageShadeColor(nearGrey, 1, 0));
    EXPECT_EQ(CLR_INVALID, PickPageShadeColor(NULL, 0, 0));
}

} // namespace
