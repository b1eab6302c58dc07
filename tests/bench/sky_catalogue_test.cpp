// The INDI guiding bench's star catalogue: the tests' stand-in catalogue with every star moved
// in RA as a mount's periodic error and drift would move it.

#include <QDateTime>
#include <QProcess>
#include <QStringList>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace {
const QStringList query{"-c", "12.7", "+30.0", "-r", "16.3", "-m", "0", "17.00", "-n", "3000"};

// The catalogue's lines for the query, each split into its fields.
std::vector<QStringList> starsOf(const QString& program, const QProcessEnvironment& environment) {
    QProcess gsc;
    gsc.setProcessEnvironment(environment);
    gsc.start(program, query);
    EXPECT_TRUE(gsc.waitForFinished(10000)) << program.toStdString();
    std::vector<QStringList> stars;
    for (const QString& line : QString::fromLatin1(gsc.readAllStandardOutput()).split('\n'))
        if (!line.isEmpty())
            stars.push_back(line.split(' ', Qt::SkipEmptyParts));
    return stars;
}
} // namespace

// At a quarter and at three quarters of the period the periodic error is at its peak and
// trough, where it changes least while the catalogue runs: 2" peak to peak gives +1" and -1",
// the drift adds 0.01"/s.
TEST(BenchSkyCatalogue, MovesEveryStarInRaByThePeriodicErrorAndTheDrift) {
    const struct {
        double sinceEpochSec;
        double shiftArcsec;
    } cases[] = {{15, 1 + 0.15}, {45, -1 + 0.45}};
    const auto still = starsOf(QStringLiteral(ORVALIS_TEST_GSC_DIR "/gsc"), {});
    ASSERT_GT(still.size(), 10u);
    for (const auto& t : cases) {
        SCOPED_TRACE(t.sinceEpochSec);
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        const double now = static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000;
        e.insert("GSC_EPOCH", QString::number(now - t.sinceEpochSec, 'f', 3));
        e.insert("GSC_PE_PP", "2");
        e.insert("GSC_PE_PERIOD", "60");
        e.insert("GSC_DRIFT", "0.01");
        const auto moved = starsOf(QStringLiteral(ORVALIS_BENCH_GSC_DIR "/gsc"), e);
        ASSERT_EQ(moved.size(), still.size());
        for (size_t i = 0; i < moved.size(); ++i) {
            // The CCD simulator reads twelve fields a line; only RA may differ.
            ASSERT_EQ(moved[i].size(), 12);
            EXPECT_EQ(moved[i].mid(2), still[i].mid(2));
            const double cosDec = std::cos(still[i][2].toDouble() * std::numbers::pi / 180);
            const double shift = (moved[i][1].toDouble() - still[i][1].toDouble()) * 3600 * cosDec;
            // The drift of a few seconds the catalogue may take to run, and 6 decimals of RA.
            EXPECT_NEAR(shift, t.shiftArcsec, 0.05) << moved[i].join(' ').toStdString();
        }
    }
}
