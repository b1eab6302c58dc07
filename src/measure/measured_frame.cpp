#include "app/frame_picture.h"
#include "app/frmMain.h"
#include "measure/star_search.h"

// The picture is made from the raw frame, so the two have one size; a raw frame of another
// size is not the frame shown and is not measured.
const RawFrame* frmMain::measuredRawFrame() const {
    const RawFrame* raw = clipboard_.raw().get();
    return raw && QSize(raw->width, raw->height) == picFrame->image().size() ? raw : nullptr;
}

void frmMain::searchStar(const float& x, const float& y) {
    findStar(*picFrame, measuredRawFrame(), x, y);
}
