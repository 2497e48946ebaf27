#include "unit/unit_serial_host.h"

namespace tvx {

UnitSerialHost::UnitSerialHost(VirtualUnit& unit, QObject* parent)
    : QObject(parent), session_(unit, [this](const QByteArray& bytes) { port_.write(bytes); }) {
    connect(&port_, &QSerialPort::readyRead, this, [this] { session_.feed(port_.readAll()); });
}

bool UnitSerialHost::open(const QString& device, QString& error, QString& warnings) {
    port_.setPortName(device);
    if (!port_.open(QIODevice::ReadWrite)) {
        error = port_.errorString();
        return false;
    }
    const auto check = [&](bool ok, const char* what) {
        if (!ok) warnings += QString::fromLatin1(what) + ": " + port_.errorString() + "\n";
    };
    check(port_.setBaudRate(QSerialPort::Baud38400), "baud rate");
    check(port_.setDataBits(QSerialPort::Data8), "data bits");
    check(port_.setParity(QSerialPort::EvenParity), "parity");
    check(port_.setStopBits(QSerialPort::OneStop), "stop bits");
    check(port_.setFlowControl(QSerialPort::HardwareControl), "flow control");
    port_.clearError();
    return true;
}

UnitPtyHost::UnitPtyHost(VirtualUnit& unit, QObject* parent)
    : QObject(parent), session_(unit, [this](const QByteArray& bytes) { port_.write(bytes); }) {
    connect(&port_, &PtyPort::received, &session_, &UnitSession::feed);
}

bool UnitPtyHost::open(QString& error) {
    if (port_.open()) return true;
    error = QString::fromStdString(port_.error());
    return false;
}

}  // namespace tvx
