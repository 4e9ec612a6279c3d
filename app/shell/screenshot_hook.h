#pragma once
// For scripts/screenshot: when QUILLON_SCREENSHOT names a file, the program
// saves a picture of the whole screen there and ends.
//
// Without more, the picture is taken once the program has been up for
// QUILLON_SCREENSHOT_DELAY_MS milliseconds (default 3500). When
// QUILLON_SCREENSHOT_OPEN names a BKF file, the program opens and scans it by
// itself at that time (Standard mode, the whole file, every message answered
// OK), then opens the folder named by QUILLON_SCREENSHOT_FOLDER (the first
// folder of that name in the result, its parents opened on the way) and takes
// the picture a moment later. With QUILLON_SCREENSHOT_DURING_SCAN set, the
// picture is taken a moment after the scan started, while it runs.

class CMainFrame;

// Arms the hook when the variable is set.
void ArmScreenshotHook(CMainFrame* frame);
