#include "app/dialog/file_name_text.h"

namespace tinta {
namespace {

constexpr char16_t kFirstEscape = 0xDC80;  // stands for byte 0x80
constexpr char16_t kLastEscape = 0xDCFF;   // stands for byte 0xFF

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence at bytes[0], or 0 when there is none
// (stray continuation byte, overlong form, surrogate, beyond U+10FFFF, cut
// short).
size_t SequenceLength(std::string_view bytes) {
    const auto at = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(0);
    if (lead < 0x80) {
        return 1;
    }
    size_t length = 0;
    unsigned char low = 0x80;  // allowed range of the second byte
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (bytes.size() < length || at(1) < low || at(1) > high) {
        return 0;
    }
    for (size_t i = 2; i < length; ++i) {
        if (!IsContinuation(at(i))) {
            return 0;
        }
    }
    return length;
}

}  // namespace

QString FileNameText(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    size_t validStart = 0;
    size_t i = 0;
    const auto flushValid = [&] {
        text +=
            QString::fromUtf8(bytes.data() + validStart, static_cast<qsizetype>(i - validStart));
    };
    while (i < bytes.size()) {
        const size_t length = SequenceLength(bytes.substr(i));
        if (length > 0) {
            i += length;
            continue;
        }
        flushValid();
        text += QChar(
            static_cast<char16_t>(kFirstEscape - 0x80 + static_cast<unsigned char>(bytes[i])));
        validStart = ++i;
    }
    flushValid();
    return text;
}

std::string FileNameBytes(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    qsizetype runStart = 0;
    const auto flushRun = [&](qsizetype end) {
        bytes += QStringView(text).mid(runStart, end - runStart).toUtf8().toStdString();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (unit >= kFirstEscape && unit <= kLastEscape) {
            flushRun(i);
            bytes += static_cast<char>(unit - kFirstEscape + 0x80);
            runStart = i + 1;
        }
    }
    flushRun(text.size());
    return bytes;
}

QString DisplayName(const QString& text) {
    QString shown = text;
    for (QChar& c : shown) {
        if (c.unicode() >= kFirstEscape && c.unicode() <= kLastEscape) {
            c = QChar::ReplacementCharacter;
        }
    }
    return shown;
}

}  // namespace tinta
