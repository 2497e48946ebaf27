#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <memory>
#include <string>

namespace tvx {

// A pseudo-terminal the virtual unit listens on: the tool opens slave_path() as its serial port. The
// slave side is kept open here too, so the unit keeps running while the tool closes and reopens the port.
// Only where the platform has pseudo-terminals; elsewhere open() fails.
class PtyPort : public QObject {
    Q_OBJECT

  public:
    explicit PtyPort(QObject* parent = nullptr);
    ~PtyPort() override;

    bool open();
    const std::string& slave_path() const { return slave_path_; }
    const std::string& error() const { return error_; }

    void write(const QByteArray& bytes);

  signals:
    void received(const QByteArray& bytes);

  private:
    void on_readable();
    void flush();

    int master_ = -1;
    int slave_ = -1;
    std::string slave_path_;
    std::string error_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::unique_ptr<QSocketNotifier> write_notifier_;
    QByteArray unwritten_;  // what the terminal could not take yet
};

}  // namespace tvx
