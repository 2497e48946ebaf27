#include "unit/unit_session.h"

namespace tvx {

UnitSession::UnitSession(VirtualUnit& unit, Writer writer, QObject* parent)
    : QObject(parent), unit_(unit), writer_(std::move(writer)) {
    timer_.setSingleShot(true);
    // An emulated line's time is counted in milliseconds: a coarse timer would add its slack to each.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &UnitSession::pump);
}

void UnitSession::feed(const QByteArray& bytes) {
    bool handled = false;
    assembler_.feed(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
        [this, &handled](const std::string& line) {
            handled = true;
            const std::optional<std::string> answer = unit_.answer_line(line);
            if (!answer) return;
            const std::vector<std::string> pieces = answer_pieces(*answer, unit_.faults.piece_size);
            // The command and its answer cross the line one after the other, 11 bits a byte.
            const int line_ms =
                unit_.faults.line_baud > 0
                    ? static_cast<int>(((line.size() + answer->size()) * 11 * 1000 + unit_.faults.line_baud - 1) /
                                       static_cast<std::size_t>(unit_.faults.line_baud))
                    : 0;
            for (std::size_t i = 0; i < pieces.size(); ++i) {
                const int wait = i == 0 ? unit_.faults.delay_ms + line_ms : unit_.faults.piece_gap_ms;
                queue_.push_back(
                    {QByteArray(pieces[i].data(), static_cast<qsizetype>(pieces[i].size())), wait});
            }
        });
    if (!timer_.isActive()) pump();
    if (handled) emit lines_handled();
}

void UnitSession::pump() {
    while (!queue_.empty()) {
        Pending& next = queue_.front();
        if (next.wait_ms > 0) {
            timer_.start(next.wait_ms);
            next.wait_ms = 0;
            return;
        }
        const QByteArray bytes = next.bytes;
        queue_.pop_front();
        writer_(bytes);
    }
}

}  // namespace tvx
