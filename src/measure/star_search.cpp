#include "measure/star_search.h"

#include "measure/raw_star.h"

void findStar(StarPicture& picture, const RawFrame* raw, const float& x, const float& y) {
    if (!raw) {
        findStar(picture, x, y);
        return;
    }
    picture.refresh();
    findStar(*raw, x, y);
}

StarMeasures measureStarAt(const StarPicture& picture, const RawFrame* raw, float cx, float cy,
                           int side) {
    return raw ? measureRawStarAt(*raw, cx, cy, side) : measureStarAt(picture, cx, cy, side);
}
