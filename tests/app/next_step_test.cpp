#include "app/next_step.h"

#include <gtest/gtest.h>

// Each waiting state names its own next step; where the guider works on its own (calibrating,
// guiding) there is none. Focusing and a camera that is off come before everything else.
TEST(NextStep, EachWaitingStateNamesItsStep) {
    NextStepState s;
    EXPECT_EQ(nextStepHint(s), "Press Preview to start the camera");
    s.previewing = true;
    EXPECT_EQ(nextStepHint(s), "Press Lock, then click the guide star");
    s.lockArmed = true;
    EXPECT_EQ(nextStepHint(s), "Click the guide star, or use Guiding > Select Star Automatically");
    s.lockArmed = false;
    s.locked = true;
    EXPECT_EQ(nextStepHint(s),
              "Calibrate (Guiding > Calibrate), or Guide with the typed guide rates");
    s.calibrating = true;
    EXPECT_EQ(nextStepHint(s), "");
    s.calibrating = false;
    s.calibrationReady = true;
    EXPECT_EQ(nextStepHint(s), "Press Guide to start guiding");
    s.guiding = true;
    EXPECT_EQ(nextStepHint(s), "");
    s.lockLost = true;
    EXPECT_TRUE(nextStepHint(s).startsWith("Star lost"));
    s.focusing = true;
    EXPECT_TRUE(nextStepHint(s).contains("press Focus again"));
    s = {};
    s.calibrationReady = true;
    s.locked = true; // an old lock while the camera is off: the camera first
    EXPECT_EQ(nextStepHint(s), "Press Preview to start the camera");
}
