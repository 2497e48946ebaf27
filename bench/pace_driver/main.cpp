// Runs the desktop tool's own read-back or full send (its sequence controller, its serial or TCP link,
// its 100 ms link tick and its dialog timer at the chosen pace) against a unit, without windows, and
// prints how long it took and how many bytes crossed the link. bench/desktop_pace.sh runs it.
//
//   tvx230-pace-driver (--serial DEVICE | --tcp HOST:PORT) --pace standard|fast read-back|full-send
//
// Output, one line: "<seconds> <bytes sent> <bytes received> <state>".
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "config/notices.h"
#include "editors/full_send_controller.h"
#include "editors/read_back_controller.h"
#include "link/link_dispatch.h"
#include "link/serial_link.h"
#include "link/tcp_link.h"
#include "model/tool_state.h"
#include "protocol/link_tick.h"

namespace {

// The operator's answers: yes to every question; notices go to the error stream.
class BenchNotices : public tvx::Notices {
  public:
    void notify_success(std::string_view) override {}
    void notify_error(std::string_view text) override { tell("error", text); }
    void notify_warning(std::string_view text) override { tell("warning", text); }
    void show_box(std::string_view text, std::string_view, tvx::BoxIcon) override { tell("box", text); }
    bool ask_yes_no(std::string_view) override { return true; }
    bool confirm_not_auto_switching() override { return true; }
    bool confirm_make_other_sizes() override { return true; }

  private:
    static void tell(const char* kind, std::string_view text) {
        std::cerr << "tvx230-pace-driver: " << kind << ": " << text << "\n";
    }
};

int usage() {
    std::cerr << "usage: tvx230-pace-driver (--serial DEVICE | --tcp HOST:PORT) --pace standard|fast "
                 "read-back|full-send\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::string serial;
    std::string tcp;
    std::string pace = "standard";
    std::string command;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--serial" || arg == "--tcp" || arg == "--pace") && i + 1 < argc) {
            (arg == "--serial" ? serial : arg == "--tcp" ? tcp : pace) = argv[++i];
        } else if (arg == "read-back" || arg == "full-send") {
            command = arg;
        } else {
            return usage();
        }
    }
    if (command.empty() || serial.empty() == tcp.empty() || (pace != "standard" && pace != "fast")) return usage();

    tvx::ToolState tool;
    tvx::reset_settings(tool);
    tool.link.app_running = 1;
    tool.config.pace = pace == "fast" ? 1 : 0;
    BenchNotices notices;
    tvx::LinkDispatch dispatch(tool, notices);
    std::size_t sent = 0;
    std::size_t received = 0;
    const auto count = [&](tvx::TrafficDirection direction, std::string_view, std::string_view bytes) {
        if (direction == tvx::TrafficDirection::kSent) sent += bytes.size();
        if (direction == tvx::TrafficDirection::kReceived) received += bytes.size();
    };

    std::unique_ptr<tvx::SerialLink> serial_link;
    std::unique_ptr<tvx::TcpLink> tcp_link;
    bool ready = true;
    if (!serial.empty()) {
        tool.config.link_interface = 0;
        serial_link = std::make_unique<tvx::SerialLink>(tool, notices);
        serial_link->set_traffic_observer(count);
        serial_link->open_serial_port(serial);
        if (!serial_link->is_open()) return 1;
        dispatch.set_serial(serial_link.get());
    } else {
        const std::size_t colon = tcp.rfind(':');
        if (colon == std::string::npos) return usage();
        tool.config.link_interface = 1;
        tool.config.client_server = 0;
        tool.config.list_count = 1;
        unsigned a = 0, b = 0, c = 0, d = 0;
        if (std::sscanf(tcp.substr(0, colon).c_str(), "%u.%u.%u.%u", &a, &b, &c, &d) != 4) return usage();
        tool.config.host_list[0] = {static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b),
                                    static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(d)};
        tool.model.network.port_number = tcp.substr(colon + 1);
        tcp_link = std::make_unique<tvx::TcpLink>(tool, notices);
        tcp_link->set_traffic_observer(count);
        dispatch.set_tcp(tcp_link.get());
        ready = false;
        QObject::connect(tcp_link.get(), &tvx::TcpLink::connected_changed, &app, [&] {
            if (tcp_link->tcp_connected()) ready = true;
        });
        if (tcp_link->tcp_connect() != 1) return 1;
    }

    std::unique_ptr<tvx::UnitSequenceController> controller =
        command == "read-back" ? tvx::make_read_back_controller(tool, dispatch, notices)
                               : tvx::make_full_send_controller(tool, dispatch, notices);
    QTimer link_timer;  // the main window's tick: the serial reply time-out
    link_timer.setInterval(100);
    QObject::connect(&link_timer, &QTimer::timeout, [&] { tvx::link_tick(tool.link, notices); });
    QTimer sequence_timer;  // the dialog's timer
    QElapsedTimer clock;
    const char* end = "running";
    QObject::connect(&sequence_timer, &QTimer::timeout, [&] {
        const auto outcome = controller->tick();
        if (outcome == tvx::UnitSequenceController::Outcome::kRunning) return;
        end = outcome == tvx::UnitSequenceController::Outcome::kCompleted ? "completed" : "stopped";
        sequence_timer.stop();
        app.quit();
    });
    QTimer starter;
    starter.setInterval(10);
    QObject::connect(&starter, &QTimer::timeout, [&] {
        if (!ready) return;
        starter.stop();
        controller->open();
        if (!controller->start()) {
            end = "refused";
            app.quit();
            return;
        }
        clock.start();
        sequence_timer.setTimerType(Qt::PreciseTimer);
        sequence_timer.start(controller->tick_ms());
        link_timer.start();
    });
    starter.start();
    QTimer::singleShot(600000, &app, [&] { app.quit(); });
    app.exec();
    std::printf("%.3f %zu %zu %s\n", clock.isValid() ? clock.elapsed() / 1000.0 : 0.0, sent, received, end);
    return std::string(end) == "completed" ? 0 : 1;
}
