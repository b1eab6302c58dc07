#include "platform/serial/com_ports.h"

#include <QStringList>

namespace {

std::optional<QSerialPort::Parity> parityOf(const QString& field) {
    if (field.size() != 1)
        return std::nullopt;
    switch (field.at(0).toUpper().unicode()) {
    case 'N':
        return QSerialPort::NoParity;
    case 'E':
        return QSerialPort::EvenParity;
    case 'O':
        return QSerialPort::OddParity;
    case 'M':
        return QSerialPort::MarkParity;
    case 'S':
        return QSerialPort::SpaceParity;
    default:
        return std::nullopt;
    }
}

std::optional<QSerialPort::StopBits> stopBitsOf(const QString& field) {
    if (field == QLatin1String("1"))
        return QSerialPort::OneStop;
    if (field == QLatin1String("1.5"))
        return QSerialPort::OneAndHalfStop;
    if (field == QLatin1String("2"))
        return QSerialPort::TwoStop;
    return std::nullopt;
}

} // namespace

QString comPortDevice(int com) {
    if (com >= 1 && com <= 4)
        return QStringLiteral("/dev/ttyS%1").arg(com - 1);
    if (com >= 5 && com <= 12)
        return QStringLiteral("/dev/ttyUSB%1").arg(com - 5);
    if (com >= 13 && com <= 16)
        return QStringLiteral("/dev/ttyACM%1").arg(com - 13);
    return QString();
}

std::optional<LineSettings> parseLineSettings(const QString& text) {
    QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 4)
        return std::nullopt;
    for (QString& field : fields)
        field = field.trimmed();
    bool baudOk = false;
    bool dataOk = false;
    const qint32 baud = fields[0].toInt(&baudOk);
    const int data = fields[2].toInt(&dataOk);
    const auto parity = parityOf(fields[1]);
    const auto stop = stopBitsOf(fields[3]);
    if (!baudOk || baud <= 0 || !dataOk || data < 5 || data > 8 || !parity || !stop)
        return std::nullopt;
    return LineSettings{baud, *parity, QSerialPort::DataBits(data), *stop};
}
