#pragma once

#include <QApplication>
#include <QString>
#include <ostream>

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tvx::testing {

// The widget tests share one QApplication, made on first use (the tests run on the offscreen platform).
inline QApplication& ui_app() {
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) return *existing;
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    return *new QApplication(argc, argv);
}

}  // namespace tvx::testing
