#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace tvx {

// SIGINT, SIGTERM and SIGHUP (on Windows: Ctrl+C, Ctrl+Break and the console closing) asking the run to
// stop. The handler itself only writes the signal's number into a pipe; stop_requested() follows from
// the event loop, where stopping is safe. A second SIGINT while the first is being acted on ends the
// process at once with 130, for an operator who will not wait for the lines in flight.
// One instance at a time; the handlers stay installed until it is destroyed.
class StopSignals : public QObject {
    Q_OBJECT

  public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

    // False when the handlers could not be installed (the run goes on without them).
    bool installed() const { return installed_; }

    // 128 + the signal's number, the exit status of a run a signal stopped.
    static int exit_status(int signal) { return 128 + signal; }

  signals:
    void stop_requested(int signal);

  private:
    void on_readable();

    bool installed_ = false;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tvx
