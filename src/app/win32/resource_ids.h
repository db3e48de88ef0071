#pragma once

// Shared by the resource script and the code; plain defines so that windres reads them too.
#define IDI_TALVORINE 1
// The frames of the tray icon's animation (ImageList1).
#define IDI_TRAY_FRAME0 11
#define IDI_TRAY_FRAME1 12
#define IDI_TRAY_FRAME2 13
#define IDI_TRAY_FRAME3 14
#define TRAY_FRAME_COUNT 4
