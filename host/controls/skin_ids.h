#pragma once
// Resource numbers of the six button skins, in the order of Skin (plain macros: the
// resource compiler reads them too).

#define LR_BITMAP_SKIN_NORMAL 201
#define LR_BITMAP_SKIN_HIGHLIGHT 202
#define LR_BITMAP_SKIN_HIGHLIGHTSELECT 203
#define LR_BITMAP_SKIN_SELECTED 204
#define LR_BITMAP_SKIN_PRESSED 205
#define LR_BITMAP_SKIN_DISABLE 206
