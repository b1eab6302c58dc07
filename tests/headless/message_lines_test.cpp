#include "platform/dialogs/stderr_message_boxes.h"

#include <cstdio>
#include <gtest/gtest.h>

TEST(StderrMessageBoxes, EveryMessageIsOnePrefixedLine) {
    EXPECT_EQ(messageLine("Guiding stopped"), "Orvalis: Guiding stopped");
    EXPECT_EQ(messageLine("Sorry...This scope can not be guided!\r\nThe scope must"),
              "Orvalis: Sorry...This scope can not be guided! The scope must");
    EXPECT_EQ(messageLine("a\nb\rc\r\n\nd"), "Orvalis: a b c  d");
    EXPECT_EQ(messageLine(QString("x") + QChar(0x2028) + "y"), "Orvalis: x y");
}

TEST(StderrMessageBoxes, ShowWritesTheLinesAndReturns) {
    char* buffer = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    ASSERT_NE(out, nullptr);
    StderrMessageBoxes boxes(out);
    boxes.show(QString::fromUtf8("Stern \xc2\xb0\nverloren"), MessageIcon::Critical);
    boxes.show("Second", MessageIcon::None);
    std::fclose(out);
    EXPECT_EQ(std::string(buffer, size), "Orvalis: Stern \xc2\xb0 verloren\nOrvalis: Second\n");
    std::free(buffer);
}
