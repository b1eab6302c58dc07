#pragma once

class CaptureWindow;
class frmMain;

// Surveys the capture drivers at indices 0..8 into the Camera menu of `form`: entry 0 is
// renamed, further entries are added, each captioned "name version", enabled. Returns the
// number found.
int fillDriverMenu(frmMain& form);

// Connects driver `index` to `window`, sets the Camera menu from the driver's capabilities
// (when it reports them) and the preview rate. false when the driver does not connect.
bool connectDriver(frmMain& form, CaptureWindow* window, int index);
