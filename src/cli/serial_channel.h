#pragma once

#include <QTimer>
#include <string>

#include "link/unit_channel.h"
#include "link/serial_link.h"

namespace tvx {

// One unit, or on RS-485 one address or the broadcast, on a serial device: the tool's serial link
// (framing, line settings, line assembly) with the answer count of every session. A broadcast expects
// no answer.
class SerialChannel : public UnitChannel {
    Q_OBJECT

  public:
    SerialChannel(ToolState& tool, Notices& notices, std::string device, QObject* parent = nullptr);

    void open() override;
    std::string label() const override;
    bool tcp_is_connected() const override { return true; }
    // Told of every frame sent and every line received, for the communication log.
    void set_traffic_observer(TrafficObserver observer) { link_.set_traffic_observer(std::move(observer)); }
    void drain(std::function<void(bool)> done) override;
    void close() override;

  protected:
    bool write_line(std::string_view line) override;
    bool answer_expected() const override;
    void handle_line(std::string_view line) override;
    std::string_view no_answer_notice() const override;

  private:
    void check_drained();

    std::string device_;
    SerialLink link_;
    QTimer drain_poll_;
    int drain_polls_left_ = 0;
    std::function<void(bool)> drained_;
};

}  // namespace tvx
