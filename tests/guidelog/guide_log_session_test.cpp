#include "engine/engine_fixture.h"
#include "guidelog/guide_log_observer.h"
#include "guidelog/guide_log_parser.h"
#include "guiding/number_format.h"
#include "printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const QStringList kFrameColumns =
    QString("Frame,Time,mount,dx,dy,RARawDistance,DECRawDistance,RAGuideDistance,"
            "DECGuideDistance,RADuration,RADirection,DECDuration,DECDirection,XStep,YStep,"
            "StarMass,SNR,ErrorCode")
        .split(',');

QString pair(QPointF p) {
    return formatFixed(p.x(), 3) + ", " + formatFixed(p.y(), 3);
}

QString letter(const std::optional<PulseRequest>& pulse) {
    return pulse ? QString(QChar(guideDirectionName(pulse->direction)[0])) : QString();
}

// An engine on the sky simulator and the built-in telescope, its guide log in a fresh folder.
class GuideLogSession : public EngineTest {
protected:
    GuideLogSession() {
        fp.store.set("Calibration Options", "Use Calibration", "1");
        fp.store.set("Guide Log Options", "Enabled", "1");
        fp.store.set("Guide Log Options", "Folder", logs.filePath("logs"));
    }
    // Loop, lock the bright star, calibrate.
    void calibrate() {
        GuideEngine& e = *engine;
        e.toggleLoop();
        cycle();
        ASSERT_TRUE(e.selectStarAutomatically());
        ASSERT_TRUE(e.startCalibration(true));
        for (int exposures = 0; e.calibrating() && exposures < 400; ++exposures)
            cycle();
        ASSERT_NE(e.calibrationInUse(), nullptr);
    }
    QStringList files() const { return QDir(logs.filePath("logs")).entryList(QDir::Files); }
    // The log as written once the engine is gone.
    ParsedLog closeAndRead() {
        const QString path = engine->guideLog()->writer().filePath();
        engine.reset();
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        return parseGuideLog(QString::fromUtf8(file.readAll()));
    }

    QTemporaryDir logs;
};

// Each direction's places, numbered from 1 where it began, are the calibrator's path.
void expectCalibrationPath(const LogSection& s, const CalibrationPath& path) {
    size_t row = 0;
    const std::vector<QStringList> rows = s.rows();
    for (GuideDirection d : {guideWest, guideEast, guideNorth, guideSouth}) {
        const std::vector<QPointF>& places = path.leg(d).points;
        ASSERT_GE(places.size(), 2u) << guideDirectionName(d);
        for (size_t k = 0; k < places.size(); ++k, ++row) {
            ASSERT_LT(row, rows.size());
            const QStringList& f = rows[row];
            ASSERT_EQ(f.size(), 7);
            EXPECT_EQ(f[0], guideDirectionName(d));
            EXPECT_EQ(f[1].toInt(), static_cast<int>(k) + 1);
            EXPECT_EQ(f[4] + ", " + f[5], pair(places[k]));
            EXPECT_EQ(f[2] + ", " + f[3], pair(places[k] - places.front()));
        }
    }
    EXPECT_EQ(row, rows.size());
}

// A guide frame line against its record: the same frame, numbers as the record has them.
void expectFrame(const QStringList& f, int number, const GuideRecord& r) {
    EXPECT_EQ(f[0].toInt(), number);
    if (!r.found) {
        ASSERT_EQ(f.size(), 19);
        EXPECT_EQ(f[2], "DROP");
        EXPECT_EQ(f.mid(3, 12).join(""), "");
        EXPECT_EQ(f[17], "2");
        return;
    }
    ASSERT_EQ(f.size(), 18);
    EXPECT_EQ(f[2], "Mount");
    EXPECT_EQ(f[3] + ", " + f[4], pair(QPointF(-r.raPx, -r.decPx)));
    EXPECT_EQ(f[9].toInt(), r.raPulse ? r.raPulse->ms : 0);
    EXPECT_EQ(f[10], letter(r.raPulse));
    EXPECT_EQ(f[11].toInt(), r.decPulse ? r.decPulse->ms : 0);
    EXPECT_EQ(f[12], letter(r.decPulse));
    EXPECT_EQ(f[15], formatFixed(r.star.flux, 0));
    EXPECT_EQ(f[16], formatFixed(r.star.snr, 2));
    EXPECT_EQ(f[17], "0");
}
} // namespace

// A night in short: calibrate, guide, lose the star behind a cloud, dither and settle, pause,
// change a parameter, stop. The log read back holds it all, frame for frame.
TEST_F(GuideLogSession, ReadsBackACalibrationAndAGuidingSession) {
    GuideEngine& e = open();
    ASSERT_NO_FATAL_FAILURE(calibrate());
    const CalibrationPath path = e.calibrator().path();
    std::vector<GuideRecord> guided;
    QObject::connect(&e.guideHistory(), &GuideHistory::appended, [&](const GuideRecord& r) {
        if (r.guiding)
            guided.push_back(r);
    });
    ASSERT_TRUE(e.startGuiding());
    const QPointF lockAtStart(e.state.targetX, e.state.targetY);
    for (int i = 0; i < 3; ++i)
        cycle();
    SkyOptions cloudy = sky.options();
    cloudy.starBrightness = 0;
    sky.setOptions(cloudy);
    cycle();
    ASSERT_TRUE(e.state.lockLost);
    sky.setOptions(SkyOptions{});
    cycle();
    ASSERT_FALSE(e.state.lockLost);
    const size_t beforeDither = guided.size();
    const QPointF moved = e.dither(3, false);
    const QPointF newLock(e.state.targetX, e.state.targetY);
    e.beginSettle(SettleParams{1.5, 0, 30});
    bool settled = false;
    QObject::connect(&e, &GuideEngine::settleDone, [&] { settled = true; });
    for (int i = 0; i < 30 && !settled; ++i)
        cycle();
    ASSERT_TRUE(settled);
    e.setGuidingPaused(true, false);
    cycle();
    e.setGuidingPaused(false, false);
    e.setAggressiveness(120);
    cycle();
    ASSERT_TRUE(e.chooseLaw(true, "Hysteresis"));
    const QPointF star(Globals::starX, Globals::starY);
    ASSERT_TRUE(e.lockAt(star.x() + 1, star.y()));
    const QPointF relocked(e.state.targetX, e.state.targetY);
    cycle();
    e.stopGuiding();
    ASSERT_TRUE(e.startGuiding());
    cycle();
    e.stopGuiding();

    const ParsedLog log = closeAndRead();
    EXPECT_TRUE(log.opening.startsWith("Orvalis version ")) << log.opening.toStdString();
    EXPECT_TRUE(log.stray.isEmpty()) << log.stray.join(" | ").toStdString();
    ASSERT_EQ(log.sections.size(), 3u);
    const LogSection& cal = log.sections[0];
    ASSERT_EQ(cal.kind, LogSection::Calibration);
    EXPECT_EQ(cal.columns, QString("Direction,Step,dx,dy,x,y,Dist").split(','));
    expectCalibrationPath(cal, path);
    EXPECT_EQ(cal.texts(LogEntry::Summary).size(), 4)
        << cal.texts(LogEntry::Summary).join(" | ").toStdString();
    EXPECT_TRUE(cal.texts(LogEntry::Other).isEmpty())
        << cal.texts(LogEntry::Other).join(" | ").toStdString();
    EXPECT_TRUE(cal.end.startsWith("Calibration complete")) << cal.end.toStdString();

    const LogSection& g = log.sections[1];
    ASSERT_EQ(g.kind, LogSection::Guiding);
    EXPECT_EQ(g.columns, kFrameColumns);
    EXPECT_EQ(g.header.value("Lock position"), formatFixed(lockAtStart.x(), 3));
    EXPECT_TRUE(g.header.contains("xAngle")) << g.headerLines.join(" | ").toStdString();
    EXPECT_TRUE(g.texts(LogEntry::Other).isEmpty())
        << g.texts(LogEntry::Other).join(" | ").toStdString();
    EXPECT_TRUE(g.end.startsWith("Guiding Ends at ")) << g.end.toStdString();
    const std::vector<QStringList> rows = g.rows();
    ASSERT_EQ(rows.size() + 1, guided.size());
    int drops = 0;
    double lastTime = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].join(',').toStdString());
        expectFrame(rows[i], static_cast<int>(i) + 1, guided[i]);
        EXPECT_GE(rows[i][1].toDouble(), lastTime);
        lastTime = rows[i][1].toDouble();
        drops += rows[i][2] == "DROP";
    }
    EXPECT_EQ(drops, 1);

    const QStringList infos = g.texts(LogEntry::Info);
    EXPECT_EQ(infos.value(0),
              "INFO: DITHER by " + pair(moved) + ", new lock pos = " + pair(newLock));
    EXPECT_EQ(infos.mid(1),
              (QStringList{"INFO: SETTLING STATE CHANGE, Settling started",
                           "INFO: SETTLING STATE CHANGE, Settling complete",
                           "INFO: Server received PAUSE", "INFO: Server received RESUME",
                           "INFO: Guiding parameter change, X Aggressiveness = 120%",
                           "INFO: Guiding parameter change, Y Aggressiveness = 120%",
                           "INFO: Guiding parameter change, Y guide algorithm = Hysteresis",
                           "INFO: Guiding parameter change, Y Aggressiveness = 70%",
                           "INFO: Guiding parameter change, Y Hysteresis = 10%",
                           "INFO: Guiding parameter change, Y Minimum Move = 0.2 arcsec",
                           "INFO: SET LOCK POSITION, new lock pos = " + pair(relocked)}));
    // The dither falls between the frame before it and the one after.
    size_t framesBeforeDither = 0;
    for (const LogEntry& entry : g.entries) {
        if (entry.kind == LogEntry::Info)
            break;
        framesBeforeDither += entry.kind == LogEntry::Row;
    }
    EXPECT_EQ(framesBeforeDither, beforeDither);
    // Guiding again: a section of its own, counting from 1.
    const LogSection& again = log.sections[2];
    ASSERT_EQ(again.kind, LogSection::Guiding);
    ASSERT_EQ(again.rows().size(), 1u);
    expectFrame(again.rows()[0], 1, guided.back());
}

// A run that never calibrates or guides leaves no file, not even its folder; a switched-off
// log none either.
TEST_F(GuideLogSession, WritesNothingUntilASectionBegins) {
    GuideEngine& e = open();
    e.toggleLoop();
    cycle();
    ASSERT_TRUE(e.selectStarAutomatically());
    cycle();
    engine.reset();
    EXPECT_FALSE(QDir(logs.filePath("logs")).exists());

    fp.store.set("Guide Log Options", "Enabled", "0");
    open();
    EXPECT_EQ(engine->guideLog(), nullptr);
    ASSERT_NO_FATAL_FAILURE(calibrate());
    ASSERT_TRUE(engine->startGuiding());
    cycle();
    engine.reset();
    EXPECT_FALSE(QDir(logs.filePath("logs")).exists());
}

// A log that cannot be written stops with one note and a lasting condition; guiding goes on.
TEST_F(GuideLogSession, AFailedWriteStopsTheLogNotGuiding) {
    QFile blocker(logs.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    fp.store.set("Guide Log Options", "Folder", logs.filePath("file/logs"));
    GuideEngine& e = open();
    QStringList notes;
    QObject::connect(&e, &GuideEngine::noted, [&](const QString& text) {
        if (text.startsWith("Guide log stopped"))
            notes << text;
    });
    ASSERT_NO_FATAL_FAILURE(calibrate());
    ASSERT_TRUE(e.startGuiding());
    const size_t records = e.guideHistory().size();
    for (int i = 0; i < 3; ++i)
        cycle();
    EXPECT_EQ(notes.size(), 1) << notes.join(" | ").toStdString();
    EXPECT_TRUE(e.hasCondition(GuideLogObserver::kConditionKey));
    EXPECT_TRUE(e.state.guiding);
    EXPECT_EQ(e.guideHistory().size(), records + 3);
}
