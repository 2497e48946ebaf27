#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "editors/editor_unit_link.h"
#include "model/tool_state.h"
#include "protocol/command_link.h"
#include "support/recording_notices.h"
#include "ui_test_app.h"

namespace tvx::testing {

// A setting editor's dialog on its own, talking to a virtual unit; no TCP host is chosen.
class EditorDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ui_app();
        tool.config.select_number = -1;
    }

    ToolState tool;
    RecordingNotices notices;
    EditorUnitLink link{tool, notices};
};

// A link that keeps every command line sent and has nothing on the other end.
struct RecordingLine : CommandLink {
    void send_command(std::string_view line) override { lines.emplace_back(line); }
    bool tcp_is_connected() const override { return true; }
    std::vector<std::string> lines;
};

}  // namespace tvx::testing
