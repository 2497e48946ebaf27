#pragma once

class QSerialPort;

namespace tvx {

// Port settings that QSerialPort cannot express, applied on its native handle (termios on Unix, the
// driver's queues, time-outs and DCB on Windows). QSerialPort's own setters rewrite the line settings
// from their own copy, so these are applied again after every setter. Each returns false when the port
// is not open, refused the setting, or did not keep it.

// Input and output queues of the driver, where the platform lets them be sized.
bool set_native_queues(QSerialPort& port, int input_bytes, int output_bytes);

// Reads return at once with what is queued; a write is given up after 1000 ms.
bool set_native_timeouts(QSerialPort& port);

// What the port holds after set_native_line_extras.
enum class NativeLine {
    kHeld,               // every setting the line needs
    kHeldWithoutParity,  // all of them but even parity, which the device dropped
    kRefused,            // anything else missing, or the port not open
};

// Hardware (RTS/CTS) and XON/XOFF flow control at once, XON 0x11 and XOFF 0x13, no input parity check;
// then checks that 38400 baud, 8 data bits, even parity and one stop bit are what the port now holds.
NativeLine set_native_line_extras(QSerialPort& port);

// True for a pseudo-terminal (the virtual unit, a test bench): a stand-in, never a real line.
bool is_pseudo_terminal(QSerialPort& port);

}  // namespace tvx
