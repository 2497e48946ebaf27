#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>

#include "protocol/line_assembler.h"
#include "unit/virtual_unit.h"

namespace tvx {

// One connection of a virtual unit: received bytes are joined into lines for the unit, its answers go out
// through the writer, delayed and split as the unit's faults ask. Answers keep their order whatever the
// delays. Several sessions may share one unit; each joins its own lines.
class UnitSession : public QObject {
    Q_OBJECT

  public:
    using Writer = std::function<void(const QByteArray& bytes)>;

    UnitSession(VirtualUnit& unit, Writer writer, QObject* parent = nullptr);

    void feed(const QByteArray& bytes);

    // Answer bytes not written yet.
    bool idle() const { return queue_.empty(); }

  signals:
    // A line was handled (answered or not); for hosts that log or save.
    void lines_handled();

  private:
    struct Pending {
        QByteArray bytes;
        int wait_ms;
    };
    void pump();

    VirtualUnit& unit_;
    Writer writer_;
    LineAssembler assembler_{4096};
    std::deque<Pending> queue_;
    QTimer timer_;
};

}  // namespace tvx
