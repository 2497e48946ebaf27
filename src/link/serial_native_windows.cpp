// The driver side of the serial port settings on Windows: queues, time-outs and the DCB.
#ifdef _WIN32

#include <QSerialPort>

#include <windows.h>

#include "link/serial_native.h"

namespace tvx {
namespace {

HANDLE open_handle(QSerialPort& port) {
    return port.isOpen() ? static_cast<HANDLE>(port.handle()) : INVALID_HANDLE_VALUE;
}

}  // namespace

bool set_native_queues(QSerialPort& port, int input_bytes, int output_bytes) {
    const HANDLE h = open_handle(port);
    return h != INVALID_HANDLE_VALUE &&
           ::SetupComm(h, static_cast<DWORD>(input_bytes), static_cast<DWORD>(output_bytes)) != 0;
}

bool set_native_timeouts(QSerialPort& port) {
    const HANDLE h = open_handle(port);
    COMMTIMEOUTS timeouts{};
    if (h == INVALID_HANDLE_VALUE || ::GetCommTimeouts(h, &timeouts) == 0) return false;
    // QSerialPort's own read time-outs already hand over whatever is queued without waiting for a full
    // buffer, and its overlapped reads depend on them: only the write bound is ours.
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 1000;
    return ::SetCommTimeouts(h, &timeouts) != 0;
}

NativeLine set_native_line_extras(QSerialPort& port) {
    const HANDLE h = open_handle(port);
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    if (h == INVALID_HANDLE_VALUE || ::GetCommState(h, &dcb) == 0) return NativeLine::kRefused;
    dcb.BaudRate = CBR_38400;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.ByteSize = 8;
    dcb.Parity = EVENPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fOutxCtsFlow = TRUE;
    dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
    dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    dcb.fOutX = TRUE;
    dcb.fInX = TRUE;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    dcb.XonLim = 256;
    dcb.XoffLim = 256;
    return ::SetCommState(h, &dcb) != 0 ? NativeLine::kHeld : NativeLine::kRefused;
}

bool is_pseudo_terminal(QSerialPort&) {
    return false;  // every COM port may be a real line
}

}  // namespace tvx

#endif
