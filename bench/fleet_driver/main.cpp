// Runs the desktop tool's own fleet code (its TCP server link and the fleet controller, ticked by a timer
// as the fleet dialog does) against units that connect to it, without windows: a full send to every unit
// at the chosen pace. bench/desktop_fleet.sh runs it.
//
//   tvx230-fleet-driver --port PORT --units N --pace standard|fast [--verify] [--document FILE]
//
// It listens on PORT, waits for N units, chooses them all, sends, and prints one line:
// "<seconds> <units ok> <units failed> <peak resident memory in KiB>". The time runs from the start of the
// send to the last unit's end, so the units' connecting does not count.
#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#if defined(__unix__) || defined(__APPLE__)
#include <sys/resource.h>
#endif

#include "config/notices.h"
#include "editors/fleet_controller.h"
#include "link/tcp_link.h"
#include "editors/document_commands.h"
#include "model/tool_state.h"

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
        std::cerr << "tvx230-fleet-driver: " << kind << ": " << text << "\n";
    }
};

long peak_kib() {
#if defined(__unix__) || defined(__APPLE__)
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
#if defined(__APPLE__)
    return usage.ru_maxrss / 1024;
#else
    return usage.ru_maxrss;
#endif
#else
    return 0;
#endif
}

int usage() {
    std::cerr << "usage: tvx230-fleet-driver --port PORT --units N --pace standard|fast [--verify] "
                 "[--document FILE]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::string port;
    int units = 0;
    std::string pace = "standard";
    std::string document;
    bool verify = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--verify") {
            verify = true;
        } else if ((arg == "--port" || arg == "--pace" || arg == "--document") && i + 1 < argc) {
            (arg == "--port" ? port : arg == "--pace" ? pace : document) = argv[++i];
        } else if (arg == "--units" && i + 1 < argc) {
            units = std::atoi(argv[++i]);
        } else {
            return usage();
        }
    }
    if (port.empty() || units < 1 || units > tvx::kMaxClients || (pace != "standard" && pace != "fast"))
        return usage();

    tvx::ToolState tool;
    tvx::reset_settings(tool);
    BenchNotices notices;
    if (!document.empty()) {
        tvx::SettingsModel model;
        if (!tvx::read_document_file(document, model, notices, tvx::DocumentUse::kOpen)) return 1;
        tool.model = model;
    }
    tool.link.app_running = 1;
    tool.config.link_interface = 1;
    tool.config.client_server = 1;
    tool.config.pace = pace == "fast" ? 1 : 0;
    tool.model.network.port_number = port;
    tvx::TcpLink link(tool, notices);
    if (link.tcp_start_server() != 1) return 1;

    std::unique_ptr<tvx::FleetController> fleet;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] { fleet->tick(); });
    const auto start = [&] {
        std::vector<int> all;
        for (int i = 1; i <= tvx::kMaxClients; ++i)
            if (link.connection_of(i) != 0) all.push_back(i);
        link.choose_clients(all);
        tvx::FleetController::Request request{tvx::FleetController::Command::kFullSend, "全項目の設定"};
        request.verify = verify;
        fleet = std::make_unique<tvx::FleetController>(tool, link, notices, link.chosen_clients(), request);
        QObject::connect(fleet.get(), &tvx::FleetController::finished, &app, [&] {
            ticker.stop();
            app.quit();
        });
        if (!fleet->start()) {
            app.exit(1);
            return;
        }
        if (fleet->running()) ticker.start(fleet->tick_ms());
    };
    bool starting = false;
    QObject::connect(&link, &tvx::TcpLink::clients_changed, &app, [&] {
        if (starting || link.clients_in_use() != units) return;
        starting = true;
        start();
    });
    QTimer::singleShot(900000, &app, [&] { app.exit(1); });
    std::printf("listening\n");
    std::fflush(stdout);
    const int status = app.exec();
    if (!fleet || !fleet->started()) return status == 0 ? 1 : status;
    int ok = 0;
    int failed = 0;
    for (const auto& row : fleet->rows()) {
        ok += row.state == tvx::FleetController::UnitState::kOk;
        failed += row.state != tvx::FleetController::UnitState::kOk;
        if (row.state != tvx::FleetController::UnitState::kOk)
            std::cerr << "tvx230-fleet-driver: " << row.label << ": " << row.result << "\n";
    }
    std::printf("%.3f %d %d %ld\n", fleet->seconds(), ok, failed, peak_kib());
    return failed == 0 ? 0 : 1;
}
