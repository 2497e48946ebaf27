#include "editors/link_status.h"

#include "link/serial_port_names.h"

namespace tvx {
namespace {

std::string two_digits(int value) {
    std::string text;
    text += static_cast<char>('0' + value / 10 % 10);
    text += static_cast<char>('0' + value % 10);
    return text;
}

// The port as a number is read ("09004" is port 9004).
std::string port_text(const std::string& port) {
    const std::size_t first = port.find_first_not_of('0');
    return first == std::string::npos ? (port.empty() ? port : "0") : port.substr(first);
}

std::string serial_name(const LinkSnapshot& link) {
    return link.device.empty() || link.device == link.port ? link.port : link.port + " " + link.device;
}

std::string tcp_name(const LinkSnapshot& link) {
    return "TCP " + (link.host.empty() ? std::string("(ホスト未選択)") : link.host) + ":" + port_text(link.tcp_port);
}

}  // namespace

LinkSnapshot configured_link(const ToolState& tool) {
    const Configuration& config = tool.config;
    LinkSnapshot link;
    if (config.link_interface == 1) {
        link.kind = config.client_server == 1 ? LinkSnapshot::Kind::kTcpServer : LinkSnapshot::Kind::kTcpClient;
        link.tcp_port = tool.model.network.port_number;
        if (link.kind == LinkSnapshot::Kind::kTcpClient && config.select_number >= 0 &&
            config.select_number < config.list_count && config.select_number < kMaxHosts) {
            const HostAddress& host = config.host_list[static_cast<std::size_t>(config.select_number)];
            link.host = std::to_string(host[0]) + "." + std::to_string(host[1]) + "." + std::to_string(host[2]) +
                        "." + std::to_string(host[3]);
        }
        return link;
    }
    link.port = com_port_key(config.com_port);
    link.device = serial_device_for(config);
    link.rs_control = config.rs_control;
    link.slave_address = tool.model.run.slave_address;
    return link;
}

std::string link_status_text(const LinkSnapshot& link) {
    switch (link.kind) {
        case LinkSnapshot::Kind::kSerial: {
            const std::string name = serial_name(link);
            if (link.awaiting_device) return name + " 外れています (戻れば開き直します)";
            if (!link.open) return name + " 閉じています";
            // The line settings are fixed: 38400 baud, 8 data bits, even parity, 1 stop bit.
            std::string text = name + " 38400 8E1 ";
            if (link.rs_control != 1) return text + "RS-232C";
            text += "RS-485 ";
            return text + (link.slave_address >= kBroadcastAddress ? std::string("Bloadcast")
                                                                    : two_digits(link.slave_address));
        }
        case LinkSnapshot::Kind::kTcpClient:
            return tcp_name(link) + (link.connected ? " 接続中" : " 未接続");
        case LinkSnapshot::Kind::kTcpServer:
            if (!link.listening) return "サーバー 停止中";
            return "サーバー :" + port_text(link.tcp_port) + " " + std::to_string(link.clients) + " 台接続";
    }
    return {};
}

std::optional<std::string> LinkStatusWatch::update(const LinkSnapshot& link) {
    const std::optional<LinkSnapshot> last = last_;
    last_ = link;
    if (!last || *last == link) return std::nullopt;
    const bool same_choice = last->kind == link.kind && last->port == link.port && last->device == link.device &&
                             last->host == link.host && last->tcp_port == link.tcp_port;
    if (!same_choice) return std::nullopt;
    switch (link.kind) {
        case LinkSnapshot::Kind::kSerial:
            if (last->open && !link.open) return serial_name(link) + " が外れました";
            if (!last->open && link.open) return serial_name(link) + " を開き直しました";
            return std::nullopt;
        case LinkSnapshot::Kind::kTcpClient:
            if (!last->connected && link.connected) return tcp_name(link) + " に接続しました";
            if (last->connected && !link.connected) return tcp_name(link) + " の接続が切れました";
            return std::nullopt;
        case LinkSnapshot::Kind::kTcpServer:
            if (!last->listening && link.listening) return "サーバーを開始しました";
            if (last->listening && !link.listening) return "サーバーを停止しました";
            if (link.clients > last->clients) return "ユニットが接続しました (" + std::to_string(link.clients) + " 台)";
            if (link.clients < last->clients) return "ユニットが切断しました (" + std::to_string(link.clients) + " 台)";
            return std::nullopt;
    }
    return std::nullopt;
}

std::string result_text(std::string_view title, std::string_view text) {
    const std::string_view first = text.substr(0, text.find_first_of("\r\n"));
    if (title.empty() || first == title) return std::string(first);
    return std::string(title) + ": " + std::string(first);
}

std::string document_status_text(const std::string& path, bool modified) {
    std::string name = path;
    const std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name = name.substr(slash + 1);
    if (name.empty()) name = "(無題)";
    return modified ? name + " *" : name;
}

}  // namespace tvx
