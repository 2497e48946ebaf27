#include "protocol/line_assembler.h"

#include <gtest/gtest.h>

#include <vector>

namespace tvx {
namespace {

std::vector<std::string> feed_all(LineAssembler& a, std::initializer_list<std::string> chunks) {
    std::vector<std::string> lines;
    for (const std::string& c : chunks) a.feed(c, [&](const std::string& l) { lines.push_back(l); });
    return lines;
}

TEST(LineAssembler, JoinsPiecesAndSplitsAtEveryLf) {
    LineAssembler a(1023);
    EXPECT_EQ(feed_all(a, {"G", "O\r\n"}), std::vector<std::string>{"GO\r\n"});
    EXPECT_EQ(feed_all(a, {"GO\r\nE3\r\nCF", "S"}), (std::vector<std::string>{"GO\r\n", "E3\r\n"}));
    EXPECT_EQ(a.pending(), 3u);
    EXPECT_EQ(feed_all(a, {"M\r\n"}), std::vector<std::string>{"CFSM\r\n"});
    EXPECT_TRUE(a.empty());
}

TEST(LineAssembler, OverlongLineIsDroppedUpToItsLf) {
    LineAssembler a(1023);
    const std::string exact(1021, 'A');
    EXPECT_EQ(feed_all(a, {exact + "\r\n"}), std::vector<std::string>{exact + "\r\n"});
    EXPECT_EQ(feed_all(a, {std::string(600, 'B'), std::string(600, 'B'), "tail\r\nGO\r\n"}),
              std::vector<std::string>{"GO\r\n"});
    EXPECT_EQ(feed_all(a, {std::string(5000, 'C'), "\nE0\r\n"}), std::vector<std::string>{"E0\r\n"});
}

TEST(LineAssembler, HandlerMayFeedAgainWhileALineIsBeingHandled) {
    LineAssembler a(64);
    std::vector<std::string> lines;
    LineHandler handler = [&](const std::string& l) {
        lines.push_back(l);
        if (l == "A\n") a.feed("B\n", handler);
    };
    a.feed("A\nC\n", handler);
    EXPECT_EQ(lines, (std::vector<std::string>{"A\n", "B\n", "C\n"}));
}

}  // namespace
}  // namespace tvx
