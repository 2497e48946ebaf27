#pragma once

#include <QObject>
#include <QSerialPort>
#include <QString>

#include "unit/pty_port.h"
#include "unit/unit_session.h"
#include "unit/virtual_unit.h"

namespace tvx {

// A virtual unit on a serial device: a real port, or the slave end of a pseudo-terminal made elsewhere.
// The line is set up as the unit's (38400 baud, 8 data bits, even parity, one stop bit, hardware flow
// control); a setting the device refuses (a pseudo-terminal has no parity) is reported and skipped.
class UnitSerialHost : public QObject {
    Q_OBJECT

  public:
    explicit UnitSerialHost(VirtualUnit& unit, QObject* parent = nullptr);

    // False with the reason when the device cannot be opened. Refused line settings go to warnings.
    bool open(const QString& device, QString& error, QString& warnings);

    UnitSession& session() { return session_; }

  private:
    QSerialPort port_;
    UnitSession session_;
};

// A virtual unit on a pseudo-terminal of its own; the tool opens slave_path().
class UnitPtyHost : public QObject {
    Q_OBJECT

  public:
    explicit UnitPtyHost(VirtualUnit& unit, QObject* parent = nullptr);

    bool open(QString& error);
    QString slave_path() const { return QString::fromStdString(port_.slave_path()); }

    UnitSession& session() { return session_; }

  private:
    PtyPort port_;
    UnitSession session_;
};

}  // namespace tvx
