#pragma once
// Resource numbers of the embedded pictures (plain macros: the resource compiler reads them).

#define LR_ICON_MAIN 1        // lumen_ribbon.ico, the settings dialog's window icon
#define LR_JPEG_PREVIEW 101   // preview.jpg, Img_Prev of the preview window
#define LR_JPEG_MARK_OFF 102  // mark_off.jpg, Img_Ra(0): a kind not chosen
#define LR_JPEG_MARK_ON 103   // mark_on.jpg, Img_Ra(1): the chosen kind
