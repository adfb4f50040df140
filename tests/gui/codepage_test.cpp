#include "text/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QtTest>

#include <string>

using namespace pelkorl;

namespace {

std::string byteString(int b) {
    return std::string(1, static_cast<char>(b));
}

QString decodeWithQt(const std::string& bytes) {
    QStringDecoder decoder("windows-1257");
    return decoder.decode(QByteArray(bytes.data(), qsizetype(bytes.size())));
}

} // namespace

class CodepageTest : public QObject {
    Q_OBJECT

private slots:
    void decoderIsAvailable() { QVERIFY(QStringDecoder("windows-1257").isValid()); }

    void decodesEveryByteLikeQt_data() {
        QTest::addColumn<int>("byte");
        for (int b = 0; b < 256; ++b) {
            QTest::addRow("0x%02X", b) << b;
        }
    }
    void decodesEveryByteLikeQt() {
        QFETCH(int, byte);
        const std::string utf8 = cp1257ToUtf8(byteString(byte));
        const QString ours = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
        QCOMPARE(ours, decodeWithQt(byteString(byte)));
        // Every defined byte comes back unchanged, and Qt's encoder agrees.
        if (ours != QString(QChar(0xFFFD))) {
            QCOMPARE(utf8ToCp1257(utf8), byteString(byte));
            QCOMPARE(QStringEncoder("windows-1257").encode(ours),
                     QByteArray(1, static_cast<char>(byte)));
        }
    }

    void decodesAWholeText() {
        std::string all;
        for (int b = 1; b < 256; ++b) {
            all += static_cast<char>(b);
        }
        all += std::string("\0x", 2); // an embedded NUL is a character like any other
        const std::string utf8 = cp1257ToUtf8(all);
        QCOMPARE(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())), decodeWithQt(all));
    }

    void encodesLithuanianLetters() {
        const std::string lower = "ąčęėįšųūž";
        const std::string upper = "ĄČĘĖĮŠŲŪŽ";
        QCOMPARE(utf8ToCp1257(lower), std::string("\xE0\xE8\xE6\xEB\xE1\xF0\xF8\xFB\xFE"));
        QCOMPARE(utf8ToCp1257(upper), std::string("\xC0\xC8\xC6\xCB\xC1\xD0\xD8\xDB\xDE"));
        QCOMPARE(cp1257ToUtf8(utf8ToCp1257("Žemaitė, Šiauliai")), std::string("Žemaitė, Šiauliai"));
    }

    void marksWhatCannotBeEncoded_data() {
        QTest::addColumn<QByteArray>("utf8");
        QTest::addColumn<QByteArray>("expected");
        const auto row = [](const char* name, const QByteArray& in, const QByteArray& out) {
            QTest::newRow(name) << in << out;
        };
        row("empty", "", "");
        row("not in the code page",
            "a\xE4\xB8\xAD"
            "b",
            "a?b");
        row("four-byte character", "\xF0\x9F\x98\x80", "?");
        row("replacement character", "\xEF\xBF\xBD", "?");
        row("truncated two-byte at end", "a\xC4", "a?");
        row("truncated two-byte before ASCII",
            "\xC4"
            "a",
            "?a");
        row("truncated three-byte", "\xE2\x82", "?");
        row("truncated four-byte then letter",
            "\xF0\x9F\x98"
            "x",
            "?x");
        row("lone continuation bytes", "\x80\xBF", "??");
        row("overlong NUL", "\xC0\x80", "??");
        row("overlong two-byte", "\xC1\xBF", "??");
        row("overlong three-byte", "\xE0\x80\x80", "???");
        row("overlong four-byte", "\xF0\x80\x80\x80", "????");
        row("surrogate", "\xED\xA0\x80", "???");
        row("beyond U+10FFFF", "\xF4\x90\x80\x80", "????");
        row("invalid lead bytes", "\xF5\xFE\xFF", "???");
        row("valid after invalid", "\xFF\xC4\x85", "?\xE0");
        row("euro sign", "\xE2\x82\xAC", "\x80");
        row("embedded NUL", QByteArray("a\0b", 3), QByteArray("a\0b", 3));
    }
    void marksWhatCannotBeEncoded() {
        QFETCH(QByteArray, utf8);
        QFETCH(QByteArray, expected);
        const std::string out = utf8ToCp1257(std::string(utf8.constData(), size_t(utf8.size())));
        QCOMPARE(QByteArray(out.data(), qsizetype(out.size())), expected);
    }
};

QTEST_MAIN(CodepageTest)
#include "codepage_test.moc"
