#include "app/application.h"

#include "app/compare_and_ports_install.h"
#include "app/connection_dialogs.h"
#include "app/glyph_dialogs_install.h"
#include "app/main_window.h"
#include "app/operator_tools_install.h"
#include "app/page_overview_install.h"
#include "app/sequence_dialogs_install.h"
#include "app/setting_editors_install.h"
#include "config/configuration.h"
#include "config/path_text.h"
#include "link/config_location.h"
#include "link/serial_link.h"
#include "link/tcp_link.h"

namespace tvx {

Application::Application(Notices& notices, Options options)
    : status_notices_(notices),
      notices_(status_notices_),
      options_(std::move(options)),
      lock_(options_.lock_path.isEmpty() ? InstanceLock::default_path() : options_.lock_path),
      dispatch_(tool_, notices_) {}

Application::~Application() {
    // The window goes first (its close handling may still reach the links through the dispatch, and it
    // takes the TCP link with it); the rest goes in the reverse order of the members' declaration: the
    // serial link, then the log both links reported to.
    status_notices_.set_result_sink({});
    status_notices_.set_note_sink({});
    window_.reset();
    attach_tcp(nullptr);
    dispatch_.set_serial(nullptr);
}

Application::Start Application::start() {
    if (!lock_.try_lock()) {
        notices_.show_box("２重に起動はできません", "TVX-230", BoxIcon::kNone);
        return Start::kSecondInstance;
    }

    reset_settings(tool_);
    const std::filesystem::path ini = options_.ini_path.empty() ? default_ini_path() : options_.ini_path;
    // An operator who replaces the earlier tool keeps the connection choices and the hosts typed there.
    std::string takeover_problem;
    const auto taken_from = options_.ini_path.empty()
                                ? take_over_configuration(ini, earlier_configuration(), takeover_problem)
                                : std::nullopt;
    load_configuration(tool_.config, tool_.model.network.port_number, ini);
    if (taken_from) {
        log_.record(TrafficDirection::kNote, "設定",
                    path_to_utf8(*taken_from) + " の設定を " + path_to_utf8(ini) + " に引き継ぎました");
    }
    if (!takeover_problem.empty()) log_.record(TrafficDirection::kNote, "設定", takeover_problem);
    for (const std::string& note : tool_.config.load_notes)
        log_.record(TrafficDirection::kNote, "設定", note);
    tool_.config.on_write_failed = [this] { notices_.notify_warning("Can't file open"); };

    // The serial link exists whichever interface is chosen, so that a later switch to the serial
    // interface sends through it (and a port that was never opened shows as "No Connect").
    serial_ = std::make_unique<SerialLink>(tool_, notices_);
    dispatch_.set_serial(serial_.get());

    window_ = std::make_unique<MainWindow>(tool_, notices_);
    window_->set_tcp_connected_query([this] { return tcp_ != nullptr && tcp_->tcp_connected(); });
    status_notices_.set_result_sink([this](const std::string& text) { window_->show_result(text); });
    status_notices_.set_note_sink(
        [this](const std::string& text) { log_.record(TrafficDirection::kNote, "作業", text); });
    window_->set_link_note(
        [this](const std::string& text) { log_.record(TrafficDirection::kNote, "接続", text); });
    window_->set_link_query([this] { return current_link(); });
    attach_tcp(install_connection_dialogs(*window_, tool_, notices_));
    install_setting_editors(*window_, tool_, notices_, dispatch_);
    install_sequence_dialogs(*window_, tool_, notices_, dispatch_);
    install_glyph_dialogs(*window_, tool_, notices_, dispatch_);
    install_compare_and_ports(*window_, tool_, notices_);
    install_page_overview(*window_, tool_);
    install_operator_tools(*window_, tool_, notices_, dispatch_, serial_.get(), log_);
    if (options_.show_window) window_->show();
    tool_.link.app_running = 1;

    // A TCP link is never opened here: the operator connects or starts the server in its dialog.
    if (tool_.config.link_interface == 0) {
        serial_requested_ = true;
        serial_->open_serial_port();
    }
    return Start::kRunning;
}

LinkSnapshot Application::current_link() const {
    LinkSnapshot link = configured_link(tool_);
    if (link.kind == LinkSnapshot::Kind::kSerial) {
        link.open = serial_ && serial_->is_open();
        link.awaiting_device = serial_ && serial_->waiting_for_device();
        return link;
    }
    const TcpLink* tcp = window_ ? window_->findChild<TcpLink*>() : nullptr;
    if (!tcp) return link;
    // What the status bar shows is the socket as it is: a unit that closed its end is no longer connected.
    link.connected = tcp->tcp_connected() && tcp->client_socket_open();
    link.listening = tcp->is_listening();
    link.clients = tcp->clients_in_use();
    return link;
}

void Application::attach_tcp(TcpSender* tcp) {
    tcp_ = tcp;
    dispatch_.set_tcp(tcp);
}

}  // namespace tvx
