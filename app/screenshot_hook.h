#pragma once
// For scripts/screenshot: when QUILLON_SCREENSHOT names a file, the program
// saves a picture of the whole screen there once it has been up for
// QUILLON_SCREENSHOT_DELAY_MS milliseconds (default 3500), then ends.

// Arms the hook when the variable is set.
void ArmScreenshotHook();
