#include "ui/fleet_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <utility>

#include "config/safe_file.h"
#include "ui/window_modal.h"
#include "glyphs/glyph_bank_file.h"

namespace tvx {
namespace {

QString text_of(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// How often the table is repainted while the sessions run: at the fast pace they tick every millisecond.
constexpr int kRefreshMs = 100;

enum Column { kIndex, kAddress, kProgress, kResult, kTime, kColumns };

}  // namespace

FleetDialog::FleetDialog(std::unique_ptr<FleetController> controller, QWidget* owner)
    : QDialog(owner), controller_(std::move(controller)) {
    const FleetController::Request& request = controller_->request();
    setWindowTitle(text_of(request.caption) + QStringLiteral(" - 選択した %1 台").arg(controller_->unit_count()));
    setModal(true);
    resize(720, 520);

    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("fleet_summary"));
    auto* pace = new QLabel(text_of(controller_->pace_text()), this);
    verify_ = new QCheckBox(QStringLiteral("送信後に照合"), this);
    verify_->setObjectName(QStringLiteral("verify_after_send"));
    verify_->setVisible(request.command == FleetController::Command::kFullSend);
    connect(verify_, &QCheckBox::toggled, this, [this](bool on) { controller_->set_verify(on); });
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    progress_->setValue(0);

    table_ = new QTableWidget(0, kColumns, this);
    table_->setObjectName(QStringLiteral("fleet_results"));
    table_->setHorizontalHeaderLabels({QStringLiteral("No."), QStringLiteral("アドレス:ポート"),
                                       QStringLiteral("進行"), QStringLiteral("結果"), QStringLiteral("時間")});
    table_->verticalHeader()->setVisible(false);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setSectionResizeMode(kResult, QHeaderView::Stretch);
    table_->horizontalHeader()->setSectionResizeMode(kAddress, QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(kIndex, QHeaderView::ResizeToContents);
    // A row a line, so that many units fit; a long reason shows in full as the cell's tooltip.
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    table_->setWordWrap(false);

    const bool reads = request.command == FleetController::Command::kCompare;
    start_ = new QPushButton(reads ? QStringLiteral("読み込み") : QStringLiteral("設定"), this);
    cancel_ = new QPushButton(QStringLiteral("中止"), this);
    copy_ = new QPushButton(QStringLiteral("コピー"), this);
    save_ = new QPushButton(QStringLiteral("保存..."), this);
    close_ = new QPushButton(QStringLiteral("Close"), this);

    auto* top = new QHBoxLayout;
    top->addWidget(summary_, 1);
    top->addWidget(pace);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start_);
    buttons->addWidget(cancel_);
    buttons->addStretch();
    buttons->addWidget(copy_);
    buttons->addWidget(save_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(verify_);
    layout->addWidget(progress_);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);

    ticker_.setTimerType(Qt::PreciseTimer);
    connect(&ticker_, &QTimer::timeout, this, &FleetDialog::tick);
    refresher_.setInterval(kRefreshMs);
    connect(&refresher_, &QTimer::timeout, this, &FleetDialog::refresh);
    connect(controller_.get(), &FleetController::finished, this, [this] {
        ticker_.stop();
        refresher_.stop();
        refresh();
    });
    connect(start_, &QPushButton::clicked, this, &FleetDialog::start);
    connect(cancel_, &QPushButton::clicked, this, [this] {
        controller_->cancel();
        refresh();
    });
    connect(copy_, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(text_of(controller_->result_text())); });
    connect(save_, &QPushButton::clicked, this, &FleetDialog::save);
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    refresh();
    // An editor's lines: its button press was the operator's start.
    if (request.command == FleetController::Command::kLines) QTimer::singleShot(0, this, &FleetDialog::start);
}

FleetDialog::~FleetDialog() {
    ticker_.stop();
    refresher_.stop();
    controller_->cancel();
}

void FleetDialog::start() {
    if (controller_->started()) return;
    if (!controller_->start()) {
        refresh();
        return;
    }
    if (controller_->running()) {
        ticker_.start(controller_->tick_ms());
        refresher_.start();
    }
    refresh();
}

void FleetDialog::tick() {
    controller_->tick();
}

void FleetDialog::reject() {
    // Like Close, the close box does nothing while units are being sent to: "中止" stops them.
    if (controller_->running()) return;
    QDialog::reject();
}

void FleetDialog::refresh() {
    const bool started = controller_->started();
    const bool running = controller_->running();
    start_->setEnabled(!started);
    verify_->setEnabled(!started);
    cancel_->setEnabled(running);
    close_->setEnabled(!running);
    copy_->setEnabled(started && !running);
    save_->setEnabled(started && !running);
    progress_->setValue(controller_->percent());

    const std::vector<FleetController::UnitRow> rows = controller_->rows();
    summary_->setText(started ? text_of(controller_->summary())
                              : QStringLiteral("選択した %1 台").arg(controller_->unit_count()));
    table_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const FleetController::UnitRow& row = rows[static_cast<std::size_t>(r)];
        const auto set = [this, r](int column, const QString& text) {
            QTableWidgetItem* item = table_->item(r, column);
            if (!item) {
                item = new QTableWidgetItem;
                table_->setItem(r, column, item);
            }
            if (item->text() != text) item->setText(text);
        };
        set(kIndex, QString::number(row.index));
        set(kAddress, QString::fromStdString(row.label));
        set(kProgress, QStringLiteral("%1 %").arg(row.percent));
        QString result = text_of(fleet_state_name(row.state));
        if (!row.result.empty() && row.result != "OK") result += QStringLiteral(": ") + text_of(row.result);
        set(kResult, result);
        if (table_->item(r, kResult)->toolTip() != result) table_->item(r, kResult)->setToolTip(result);
        set(kTime, QString::number(row.seconds, 'f', 1) + QStringLiteral(" 秒"));
    }
}

bool FleetDialog::save_results(const QString& path) {
    std::string text;
    for (const char c : controller_->result_text()) {
        if (c == '\n') text += '\r';
        text += c;
    }
    return write_file_replacing(path.toStdString(), text);
}

void FleetDialog::save() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("結果の保存"), QString(),
                                                      QStringLiteral("テキスト (*.txt)"));
    if (path.isEmpty()) return;
    if (!save_results(path)) controller_->notices().notify_warning(kCantFileOpen);
}

ChosenUnitsLink::ChosenUnitsLink(const ToolState& tool, Notices& notices, CommandLink& link, QWidget* window)
    : QObject(window), tool_(tool), notices_(notices), link_(link), window_(window) {}

void ChosenUnitsLink::send_command(std::string_view line) {
    const TcpLink* link = window_ ? window_->findChild<TcpLink*>() : nullptr;
    const bool several = tool_.config.link_interface == 1 && tool_.config.client_server == 1 && link &&
                         link->chosen_clients().size() > 1;
    if (!several) {
        link_.send_command(line);
        return;
    }
    // The lines of one button press go together, once the press is over.
    if (gathered_.empty()) QTimer::singleShot(0, this, &ChosenUnitsLink::run_gathered);
    gathered_.emplace_back(line);
}

void ChosenUnitsLink::run_gathered() {
    FleetController::Request request{FleetController::Command::kLines, "設定"};
    request.lines = std::exchange(gathered_, {});
    QWidget* editor = QApplication::activeModalWidget();
    if (editor) request.caption = editor->windowTitle().section(QLatin1Char(' '), 0, 0).toStdString();
    run_on_chosen_units(editor ? editor : window_, tool_, notices_, std::move(request));
}

bool run_on_chosen_units(QWidget* from, const ToolState& tool, Notices& notices, FleetController::Request request) {
    if (tool.config.link_interface != 1 || tool.config.client_server != 1) return false;
    TcpLink* link = nullptr;
    for (QObject* up = from; up && !link; up = up->parent()) link = up->findChild<TcpLink*>();
    if (!link) return false;
    const std::vector<int> chosen = link->chosen_clients();
    if (chosen.size() < 2) return false;
    FleetDialog dialog(std::make_unique<FleetController>(tool, *link, notices, chosen, std::move(request)), from);
    exec_window_modal(dialog);
    return true;
}

}  // namespace tvx
