#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {
template <typename T> T at(const QByteArray& bytes, qsizetype offset) {
    return qFromLittleEndian<T>(bytes.constData() + offset);
}

// Rising zero crossings per second of the 16-bit samples in [first, first + count).
double frequency(const QByteArray& data, qsizetype first, qsizetype count, double rate) {
    int rising = 0;
    for (qsizetype i = first + 1; i < first + count; ++i)
        rising += at<int16_t>(data, 2 * (i - 1)) < 0 && at<int16_t>(data, 2 * i) >= 0;
    return rising * rate / static_cast<double>(count);
}
} // namespace

// The copy next to the built program: 16-bit mono PCM at 22050 Hz in the plain 44-byte
// layout, about 0.4 s, a higher tone followed by a lower one.
TEST(LockLostSound, ShortDescendingTwoToneBeepNextToTheProgram) {
    QFile file(QStringLiteral(ORVALIS_SOUND_FILE));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << ORVALIS_SOUND_FILE;
    const QByteArray bytes = file.readAll();
    ASSERT_GE(bytes.size(), 44);
    EXPECT_EQ(bytes.left(4), "RIFF");
    EXPECT_EQ(bytes.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(at<uint16_t>(bytes, 20), 1); // PCM
    EXPECT_EQ(at<uint16_t>(bytes, 22), 1); // mono
    EXPECT_EQ(at<uint32_t>(bytes, 24), 22050u);
    EXPECT_EQ(at<uint16_t>(bytes, 34), 16);
    ASSERT_EQ(bytes.mid(36, 4), "data");
    const QByteArray data = bytes.mid(44, at<uint32_t>(bytes, 40));
    const qsizetype samples = data.size() / 2;
    EXPECT_NEAR(samples / 22050.0, 0.4, 0.05);
    ASSERT_GT(samples, 22050 / 4);
    const qsizetype window = 22050 / 10;
    EXPECT_NEAR(frequency(data, 0, window, 22050.0), 880.0, 20.0);
    EXPECT_NEAR(frequency(data, samples - window, window, 22050.0), 660.0, 20.0);
    // Faded in and out: no click at either end.
    EXPECT_LT(std::abs(at<int16_t>(data, 0)), 500);
    EXPECT_LT(std::abs(at<int16_t>(data, 2 * (samples - 1))), 500);
}
