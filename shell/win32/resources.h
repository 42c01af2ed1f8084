// What Tarnwick.exe says about itself, shared by the resource script and
// the code: the identifiers of its resources and the texts of its version
// resource and about box. Only #define lines: the resource compiler reads
// this file too.
#pragma once

// The icon group Explorer shows for the file and the windows use.
#define TARNWICK_ICON_ID 1
// The string the Screen Saver Settings list the screensaver by.
#define TARNWICK_NAME_STRING_ID 1

#define TARNWICK_PRODUCT_NAME "Tarnwick 3D Screensaver"
#define TARNWICK_COMPANY_NAME "Moonquill"
#define TARNWICK_COPYRIGHT "Copyright (C) 2026 Moonquill"
