#pragma once

#include "platform/capture/capture_driver.h"
#include "platform/capture/raw_frame.h"
#include "platform/telescope/indi_address.h"
#include "platform/telescope/indi_client.h"

#include <QSize>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

// The properties of one of a camera's image streams.
struct IndiChip {
    const char* exposure;
    const char* exposureValue;
    const char* abort;
    const char* frame;
    const char* binning;
    const char* frameType;
    const char* frameReset; // null: the chip has none
    const char* blob;
    const char* info; // pixel size: CCD_PIXEL_SIZE_X, _Y (micrometres)
};
inline constexpr IndiChip indiMainChip{
    .exposure = "CCD_EXPOSURE",
    .exposureValue = "CCD_EXPOSURE_VALUE",
    .abort = "CCD_ABORT_EXPOSURE",
    .frame = "CCD_FRAME",
    .binning = "CCD_BINNING",
    .frameType = "CCD_FRAME_TYPE",
    .frameReset = "CCD_FRAME_RESET",
    .blob = "CCD1",
    .info = "CCD_INFO",
};
inline constexpr IndiChip indiGuideChip{
    .exposure = "GUIDER_EXPOSURE",
    .exposureValue = "GUIDER_EXPOSURE_VALUE",
    .abort = "GUIDER_ABORT_EXPOSURE",
    .frame = "GUIDER_FRAME",
    .binning = "GUIDER_BINNING",
    .frameType = "GUIDER_FRAME_TYPE",
    .frameReset = nullptr,
    .blob = "CCD2",
    .info = "GUIDER_INFO",
};

// Which of a camera's chips a camera object exposes. Main: the main chip, or the guide head of
// a device that has nothing else. Guide: the guide chip (a guide head beside the main chip).
enum class IndiChipChoice { Main, Guide };

struct IndiCameraTimeouts {
    int connectMs = 5000;     // reaching the server, and the device showing up on it
    int callMs = 10000;       // the device's answer to a request
    int frameExtraMs = 10000; // a frame may come this long after its exposure has ended
    int abortMs = 1000;       // an unfinished exposure's abort being taken
};

// A camera on an INDI server, exposing on request one of its chips: the main chip
// (CCD_EXPOSURE, BLOB CCD1) or the guide chip (GUIDER_EXPOSURE, BLOB CCD2), as chosen. Two
// camera objects may expose the two chips of one device side by side, each on a link of its
// own. Every member runs on the caller's thread and returns within the stated time-outs;
// failures leave a reason in error() and never throw. A frame that does not come in time from
// a server that does not answer a probe either marks the server as hung: until it answers a
// probe again, the camera counts as not connected and exposures fail at once.
class IndiCamera {
public:
    explicit IndiCamera(IndiAddress address, IndiCameraTimeouts timeouts = {},
                        IndiChipChoice choice = IndiChipChoice::Main);
    // Disconnects as disconnect() does.
    ~IndiCamera();
    IndiCamera(const IndiCamera&) = delete;
    IndiCamera& operator=(const IndiCamera&) = delete;

    // Reaches the server, switches the device's CONNECTION on when it is off (it stays on if
    // another client had switched it on), finds the chosen chip (false with error() when the
    // device has none), asks for this client's BLOBs of the chip and makes
    // sure frames are uploaded to clients as FITS (UPLOAD_LOCAL becomes UPLOAD_BOTH). Connected
    // again after its link was lost, it sets the chip's binning and frame back to what they were
    // (a restarted server's driver starts with its defaults). Fails at once while the server
    // has let a wait run out and does not answer (see indi_server_health.h).
    bool connect();
    // Aborts an unfinished exposure, switches CONNECTION off only when connect() switched it
    // on, and drops the link.
    void disconnect();
    bool connected() const;

    // Frame size the camera announces: the chip's frame divided by its binning. Empty when not
    // connected.
    QSize frameSize() const;

    // The range the chip's exposure property states, seconds; none when it states none.
    std::optional<ExposureRange> exposureLimits() const;
    // Starts an exposure of `seconds` (held to the camera's range). An exposure still unfinished
    // (or given up) is aborted first, so its frame can never be taken for this one's.
    void startExposure(double seconds);
    // The frame of the last exposure started. Waits for it until the exposure's length plus
    // frameExtraMs after its start; once it has come, returns it again without waiting. false
    // with error() when no exposure was started, the frame did not come in time, was no
    // usable FITS, had another size than announced, or the camera or server went away. A
    // failed exposure fails again at once on the next call.
    std::shared_ptr<const RawFrame> takeFrame();
    // true when takeFrame() would return at once: the frame or the exposure's failure has
    // come, its deadline has passed, or no exposure is under way. Never waits.
    bool frameDue() const;
    // An exposure has been started since connect().
    bool exposureStarted() const { return exposure_ != Exposure::None; }

    // The chip's pixel size and binning as the server last published them; null when not
    // connected or either is missing. No request is sent.
    std::optional<CameraPixels> pixels() const;

    QString error() const { return error_; }
    IndiClient& client() { return client_; }
    const IndiAddress& address() const { return address_; }
    const IndiChip& chip() const { return *chip_; }
    QString server() const { return indiServerName(address_); }

private:
    enum class Exposure { None, Running, Delivered, Failed };
    using Clock = std::chrono::steady_clock;
    struct FrameWatch;

    bool openLink();
    bool switchConnection(bool on);
    bool connectionOn() const;
    bool findChip();
    void prepareUploads();
    void abortExposure();
    bool waitForFrame();
    QString lostExposureLink() const;
    bool acceptFrame(const QByteArray& bytes, const QString& format);
    quint64 revisionNow() const;
    bool fail(const QString& message);

    IndiAddress address_;
    IndiCameraTimeouts timeouts_;
    IndiChipChoice choice_;
    IndiClient client_;
    const IndiChip* chip_ = &indiMainChip;
    bool open_ = false;
    bool switchedOn_ = false;               // connect() switched CONNECTION on
    std::vector<IndiVector> frameSettings_; // the chip's binning and frame on the last link

    Exposure exposure_ = Exposure::None;
    bool staleFrameRisk_ = false; // an exposure's frame may still be on its way
    quint64 sentRevision_ = 0;    // client revision just before the exposure was requested
    Clock::time_point deadline_;
    QSize announced_;
    std::shared_ptr<const RawFrame> frame_;
    QString exposureError_;
    QString error_;
};

// A chip's pixel size (its info property) and binning from a snapshot; null when either is
// missing or not positive.
std::optional<CameraPixels> indiCameraPixels(const IndiSnapshot& s, const QString& device,
                                             const IndiChip& chip);
