#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

// A test that needs a pseudo-terminal begins with this: on Windows, which has none, it skips and says why.
// The serial line on Windows is tested through a COM port instead (the serial_com1 test).
#ifdef _WIN32
#define TVX_NEEDS_PTY() GTEST_SKIP() << "needs a pseudo-terminal, which Windows does not have"
#else
#define TVX_NEEDS_PTY() static_cast<void>(0)
#endif

namespace tvx::testing {

// A pseudo-terminal standing in for a serial line: the code under test opens slave_path() as its port,
// the test plays the far end on the master. Both ends start in raw mode. The helper keeps its own slave
// descriptor open, so the master never sees a hang-up while the port is closed and reopened.
//
// Waiting for bytes pumps the Qt event loop when there is one, so that a QSerialPort on the slave gets
// to write what it has queued.
class PtyPair {
  public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return master_ >= 0; }
    int master_fd() const { return master_; }
    const std::string& slave_path() const { return slave_path_; }

    // Writes all of bytes to the master (what the slave will read). False on failure.
    bool write(std::string_view bytes);

    // What the slave wrote, once count bytes have arrived or the deadline has passed.
    std::string read(std::size_t count, std::chrono::milliseconds deadline = std::chrono::seconds(3));
    // Everything that arrives until the deadline; for checking that nothing (more) was written.
    std::string read_for(std::chrono::milliseconds deadline);

    // Bytes written to the master that no one on the slave side has read yet.
    int unread_by_slave() const;

    // The far end goes away: reads on the slave then fail.
    void close_master();

  private:
    int master_ = -1;
    int slave_ = -1;
    std::string slave_path_;
};

}  // namespace tvx::testing
