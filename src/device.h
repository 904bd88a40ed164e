// DeviceContext: the device the renderer and its font are made for, as an opaque handle that
// names no platform type.
#pragma once

// On Linux the host fills one of these and passes its address. On Windows the handle is the
// GL window's HDC itself, cast; no PlatformDevice is ever made there.
struct PlatformDevice
{
    // Vertical pixels per logical inch; 0 when not known (96 is used then).
    int logical_dpi_y = 0;
};
typedef PlatformDevice* DeviceContext;
