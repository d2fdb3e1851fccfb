// text_colors.cpp - colour conversion between red/green/blue and hue/saturation/lightness on the
// 0..240 scale used by the system colour dialog.
#include "store/store.h"

#define HLS_MAX 240
#define RGB_MAX 255
#define HUE_UNDEFINED (HLS_MAX * 2 / 3)

void RgbToHls(const uint16_t rgb[3], uint16_t hls[3])
{
    int r = rgb[0] > RGB_MAX ? RGB_MAX : rgb[0];
    int g = rgb[1] > RGB_MAX ? RGB_MAX : rgb[1];
    int b = rgb[2] > RGB_MAX ? RGB_MAX : rgb[2];
    int cMax = r > g ? (r > b ? r : b) : (g > b ? g : b);
    int cMin = r < g ? (r < b ? r : b) : (g < b ? g : b);
    int lightness = ((cMax + cMin) * HLS_MAX + RGB_MAX) / (2 * RGB_MAX);
    int hue, saturation;
    if (cMax == cMin) {
        saturation = 0;
        hue = HUE_UNDEFINED;
    } else {
        int spread = cMax - cMin;
        if (lightness <= HLS_MAX / 2)
            saturation = (spread * HLS_MAX + (cMax + cMin) / 2) / (cMax + cMin);
        else
            saturation = (spread * HLS_MAX + (2 * RGB_MAX - cMax - cMin) / 2) /
                         (2 * RGB_MAX - cMax - cMin);
        int rDelta = ((cMax - r) * (HLS_MAX / 6) + spread / 2) / spread;
        int gDelta = ((cMax - g) * (HLS_MAX / 6) + spread / 2) / spread;
        int bDelta = ((cMax - b) * (HLS_MAX / 6) + spread / 2) / spread;
        if (r == cMax)
            hue = bDelta - gDelta;
        else if (g == cMax)
            hue = HLS_MAX / 3 + rDelta - bDelta;
        else
            hue = 2 * HLS_MAX / 3 + gDelta - rDelta;
        if (hue < 0)
            hue += HLS_MAX;
        if (hue > HLS_MAX)
            hue -= HLS_MAX;
    }
    hls[0] = (uint16_t)hue;
    hls[1] = (uint16_t)saturation;
    hls[2] = (uint16_t)lightness;
}

static int HueToRgb(int n1, int n2, int hue)
{
    if (hue < 0)
        hue += HLS_MAX;
    if (hue > HLS_MAX)
        hue -= HLS_MAX;
    if (hue < HLS_MAX / 6)
        return n1 + ((n2 - n1) * hue + HLS_MAX / 12) / (HLS_MAX / 6);
    if (hue < HLS_MAX / 2)
        return n2;
    if (hue < HLS_MAX * 2 / 3)
        return n1 + ((n2 - n1) * (HLS_MAX * 2 / 3 - hue) + HLS_MAX / 12) / (HLS_MAX / 6);
    return n1;
}

static uint16_t ClampComponent(int value)
{
    return (uint16_t)(value < 0 ? 0 : value > RGB_MAX ? RGB_MAX : value);
}

void HlsToRgb(const uint16_t hls[3], uint16_t rgb[3])
{
    int hue = hls[0] > HLS_MAX ? HLS_MAX : hls[0];
    int saturation = hls[1] > HLS_MAX ? HLS_MAX : hls[1];
    int lightness = hls[2] > HLS_MAX ? HLS_MAX : hls[2];
    if (saturation == 0) {
        uint16_t grey = ClampComponent((lightness * RGB_MAX + HLS_MAX / 2) / HLS_MAX);
        rgb[0] = rgb[1] = rgb[2] = grey;
        return;
    }
    int magic2;
    if (lightness <= HLS_MAX / 2)
        magic2 = (lightness * (HLS_MAX + saturation) + HLS_MAX / 2) / HLS_MAX;
    else
        magic2 = lightness + saturation - (lightness * saturation + HLS_MAX / 2) / HLS_MAX;
    int magic1 = 2 * lightness - magic2;
    rgb[0] = ClampComponent((HueToRgb(magic1, magic2, hue + HLS_MAX / 3) * RGB_MAX + HLS_MAX / 2) / HLS_MAX);
    rgb[1] = ClampComponent((HueToRgb(magic1, magic2, hue) * RGB_MAX + HLS_MAX / 2) / HLS_MAX);
    rgb[2] = ClampComponent((HueToRgb(magic1, magic2, hue - HLS_MAX / 3) * RGB_MAX + HLS_MAX / 2) / HLS_MAX);
}
