#include "platform/capture/fits_decode.h"

#include <QByteArray>
#include <algorithm>
#include <cmath>
#include <map>

namespace {
constexpr size_t kCard = 80;
constexpr size_t kBlock = 2880;

// The header's keyword values, as text without quotes; ends at END.
struct Header {
    std::map<QByteArray, QByteArray> values;
    size_t dataOffset = 0;

    bool has(const char* key) const { return values.count(key) != 0; }
    QByteArray text(const char* key) const {
        const auto found = values.find(key);
        return found == values.end() ? QByteArray() : found->second;
    }
    bool integer(const char* key, long long& value) const {
        bool ok = false;
        value = text(key).toLongLong(&ok);
        return ok;
    }
    double real(const char* key, double fallback) const {
        if (!has(key))
            return fallback;
        bool ok = false;
        const double value = text(key).replace('D', 'E').toDouble(&ok);
        return ok ? value : fallback;
    }
};

QByteArray cardValue(const QByteArray& card) {
    QByteArray value = card.mid(10);
    if (value.trimmed().startsWith('\'')) {
        value = value.trimmed().mid(1);
        const qsizetype end = value.indexOf('\'');
        return (end < 0 ? value : value.left(end)).trimmed();
    }
    const qsizetype comment = value.indexOf('/');
    return (comment < 0 ? value : value.left(comment)).trimmed();
}

bool readHeader(const char* data, size_t size, Header& header, QString& error) {
    if (size < kBlock || QByteArray(data, 9) != "SIMPLE  =") {
        error = QStringLiteral("the frame is not a FITS file");
        return false;
    }
    for (size_t at = 0; at + kCard <= size; at += kCard) {
        const QByteArray card(data + at, kCard);
        const QByteArray key = card.left(8).trimmed();
        if (key == "END") {
            header.dataOffset = (at / kBlock + 1) * kBlock;
            return true;
        }
        if (card.mid(8, 2) == "= ")
            header.values.emplace(key, cardValue(card));
    }
    error = QStringLiteral("the FITS header has no end: the frame is truncated");
    return false;
}

bool readShape(const Header& h, RawFrame& frame, QString& error) {
    long long bitpix = 0, axes = 0, width = 0, height = 0, depth = 1;
    if (!h.integer("BITPIX", bitpix) || !h.integer("NAXIS", axes) || !h.integer("NAXIS1", width) ||
        !h.integer("NAXIS2", height) || (axes == 3 && !h.integer("NAXIS3", depth))) {
        error = QStringLiteral("the FITS header lacks BITPIX, NAXIS, NAXIS1 or NAXIS2");
        return false;
    }
    if (bitpix != 8 && bitpix != 16) {
        error =
            QStringLiteral("FITS frames of BITPIX %1 are not supported (8 or 16 only)").arg(bitpix);
        return false;
    }
    if ((axes != 2 && axes != 3) || depth != 1 || width < 1 || height < 1 || width > 65535 ||
        height > 65535) {
        error = QStringLiteral("the FITS frame is not one mono image");
        return false;
    }
    frame.width = int(width);
    frame.height = int(height);
    frame.bitDepth = int(bitpix);
    frame.maxValue = bitpix == 8 ? 255 : 65535;
    return true;
}

// Physical value of each stored sample, held to 0..maxValue.
void readSamples(const unsigned char* in, const Header& h, RawFrame& frame) {
    const double zero = h.real("BZERO", 0), scale = h.real("BSCALE", 1);
    const size_t count = frame.pixels.size();
    const bool identity16 = frame.bitDepth == 16 && zero == 32768 && scale == 1;
    const double top = frame.bitDepth == 8 ? 255 : 65535;
    for (size_t i = 0; i < count; ++i) {
        if (frame.bitDepth == 8) {
            const double v = std::nearbyint(zero + scale * in[i]);
            frame.pixels[i] = uint16_t(std::clamp(v, 0.0, top));
            continue;
        }
        const auto stored = uint16_t(in[2 * i] << 8 | in[2 * i + 1]);
        if (identity16) { // the common unsigned case, without floating point
            frame.pixels[i] = uint16_t(stored ^ 0x8000);
            continue;
        }
        const double v = std::nearbyint(zero + scale * int16_t(stored));
        frame.pixels[i] = uint16_t(std::clamp(v, 0.0, top));
    }
}

void flipRows(RawFrame& frame) {
    const auto w = size_t(frame.width);
    for (size_t top = 0, bottom = size_t(frame.height) - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(frame.pixels.begin() + long(top * w),
                         frame.pixels.begin() + long(top * w + w),
                         frame.pixels.begin() + long(bottom * w));
}

void mergeBayerCells(RawFrame& frame) {
    const int w = frame.width, h = frame.height;
    std::vector<uint16_t> mono(frame.pixels.size());
    for (int y = 0; y < h; ++y) {
        const int y2 = y + 1 < h ? y + 1 : std::max(0, y - 1);
        for (int x = 0; x < w; ++x) {
            const int x2 = x + 1 < w ? x + 1 : std::max(0, x - 1);
            const unsigned sum =
                frame.at(x, y) + frame.at(x2, y) + frame.at(x, y2) + frame.at(x2, y2);
            mono[size_t(y) * size_t(w) + size_t(x)] = uint16_t((sum + 2) / 4);
        }
    }
    frame.pixels = std::move(mono);
}
} // namespace

bool decodeFits(const char* data, size_t size, RawFrame& frame, QString& error) {
    Header header;
    if (!readHeader(data, size, header, error) || !readShape(header, frame, error))
        return false;
    const size_t count = size_t(frame.width) * size_t(frame.height);
    const size_t bytes = count * size_t(frame.bitDepth / 8);
    if (header.dataOffset + bytes > size) {
        error = QStringLiteral("the FITS frame is truncated (%1 of %2 data bytes)")
                    .arg(size > header.dataOffset ? size - header.dataOffset : 0)
                    .arg(bytes);
        return false;
    }
    frame.pixels.resize(count);
    readSamples(reinterpret_cast<const unsigned char*>(data) + header.dataOffset, header, frame);
    if (header.text("ROWORDER").toUpper() == "BOTTOM-UP")
        flipRows(frame);
    frame.exposureSec = header.real("EXPTIME", -1);
    frame.bayerPattern = QString::fromLatin1(header.text("BAYERPAT")).trimmed().toUpper();
    if (!frame.bayerPattern.isEmpty())
        mergeBayerCells(frame);
    return true;
}
