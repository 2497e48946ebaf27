#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace tvx {

// Code page 932, the unit's character set for titles and names: what the operator types becomes its
// bytes, and the unit's bytes become text again. On Windows the system's own code page converts (Qt
// converts only Unicode and Latin-1 there); elsewhere Qt's converter of that name does.
struct CodePage932Bytes {
    QByteArray bytes;
    bool available = true;  // false: no converter here at all; bytes is empty
    bool error = false;     // a character the code page lacks came out as 0xFCFC
};

struct CodePage932Text {
    QString text;
    bool available = true;  // false: no converter here at all; text is empty
    bool error = false;     // a byte sequence that is no character came out as U+FFFD
};

CodePage932Bytes encode_code_page_932(QStringView text);
CodePage932Text decode_code_page_932(QByteArrayView bytes);

}  // namespace tvx
