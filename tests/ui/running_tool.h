#pragma once

#include <QApplication>
#include <QDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/main_window.h"
#include "support/recording_notices.h"
#include "ui_test_app.h"

namespace tvx::testing {

// The running tool, started in a folder of its own (instance lock and INI file), as the operator reaches
// its dialogs: through their menu ids. Start-up tries the machine's first serial port, which a test
// running beside this one may hold (or, under Wine, which may be no port at all), so what start-up
// reported is cleared.
struct RunningTool {
    void start(bool show_window = false) {
        ui_app();
        ASSERT_TRUE(dir.isValid());
        options.lock_path = dir.filePath("instance.lock");
        options.ini_path = dir.filePath("tvx230.ini").toStdString();
        options.show_window = show_window;
        app.reset();
        app = std::make_unique<Application>(notices, options);
        ASSERT_EQ(app->start(), Application::Start::kRunning);
#ifdef _WIN32
        // On Windows the port's own thread tells of a port that failed after opening a moment later.
        QTest::qWait(300);
#endif
        notices.clear();
        window = app->main_window();
    }

    // Runs the command; inspect() sees the modal dialog it opened, which is then closed. The dialog's
    // caption, empty when nothing opened.
    QString open(int id, const std::function<void(QDialog*)>& inspect = {}) {
        QString caption;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            caption = dialog->windowTitle();
            if (inspect) inspect(dialog);
            if (dialog->isVisible()) dialog->reject();
        });
        window->run_command(id);
        return caption;
    }

    QTemporaryDir dir;
    Application::Options options;
    RecordingNotices notices;
    std::unique_ptr<Application> app;  // goes before the folder and the notices it uses
    MainWindow* window = nullptr;
};

// The same as a fixture: each test starts with the tool running, its window not shown.
class RunningToolTest : public ::testing::Test, public RunningTool {
  protected:
    void SetUp() override { start(); }
    void TearDown() override { app.reset(); }
};

}  // namespace tvx::testing
