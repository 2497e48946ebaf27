#pragma once

#include <QString>
#include <filesystem>
#include <memory>

#include "app/instance_lock.h"
#include "app/status_notices.h"
#include "editors/link_status.h"
#include "config/notices.h"
#include "link/comm_log.h"
#include "link/link_dispatch.h"
#include "model/tool_state.h"

namespace tvx {

class MainWindow;
class SerialLink;

// The running tool: its state, the links and the main window, from start-up to exit.
class Application {
  public:
    enum class Start { kRunning, kSecondInstance };

    struct Options {
        QString lock_path;               // empty: the per-user runtime folder
        std::filesystem::path ini_path;  // empty: the per-user configuration folder
        bool show_window = true;
    };

    explicit Application(Notices& notices) : Application(notices, Options{}) {}
    Application(Notices& notices, Options options);
    ~Application();

    // Start-up in the tool's order: one copy only, the settings reset, the configuration, the main
    // window, then the serial port when the configured interface is serial. A second copy shows
    // "２重に起動はできません" and must end with exit code 0.
    Start start();

    // A TCP link once it exists: send_command reaches it and Exit asks it whether it is connected.
    void attach_tcp(TcpSender* tcp);

    ToolState& tool() { return tool_; }
    LinkDispatch& dispatch() { return dispatch_; }
    MainWindow* main_window() const { return window_.get(); }
    SerialLink* serial_link() const { return serial_.get(); }
    // The traffic of every link since start-up.
    CommLog& comm_log() { return log_; }
    // What every part of the tool is given to reach the operator (see StatusNotices).
    Notices& notices() { return notices_; }
    // Whether start-up opened (or tried to open) the serial port.
    bool serial_port_requested() const { return serial_requested_; }

  private:
    // The link as the status bar tells it.
    LinkSnapshot current_link() const;

    // Members are destroyed in the reverse of this order, so whatever is observed or used by another
    // member is declared before it: the state before everything that works on it, the log before the
    // links that report every line to it (the serial link here, the TCP link with the main window), and
    // the main window, whose dialogs and menu entries reach the links, last of all, so it goes first.
    // Every part is given the status notices, which pass each notice on to the operator's and tell the
    // status bar about it.
    StatusNotices status_notices_;
    Notices& notices_;
    Options options_;
    InstanceLock lock_;
    ToolState tool_;
    CommLog log_;
    LinkDispatch dispatch_;
    TcpSender* tcp_ = nullptr;  // owned by the main window
    std::unique_ptr<SerialLink> serial_;
    std::unique_ptr<MainWindow> window_;
    bool serial_requested_ = false;
};

}  // namespace tvx
