#include "net/Cipher.h"

#include <QtTest>

class TestCipher : public QObject
{
    Q_OBJECT

private slots:
    void fipsKnownAnswer();
    void programKeyIsZeroFilled();
    void encryptLength_data();
    void encryptLength();
    void roundTrip_data();
    void roundTrip();
    void decryptWithoutMarker_data();
    void decryptWithoutMarker();
    void messageEndTag_data();
    void messageEndTag();
    void encodeBase64_data();
    void encodeBase64();
    void decodeBase64_data();
    void decodeBase64();
    void storedCredentialForm();
};

// FIPS-197 appendix C.3: AES-256 with key 00 01 .. 1f.
void TestCipher::fipsKnownAnswer()
{
    const QByteArray key =
        QByteArray::fromHex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f");
    const QByteArray plain = QByteArray::fromHex("00112233445566778899aabbccddeeff");
    const QByteArray cipher = QByteArray::fromHex("8ea2b7ca516745bfeafc49904b496089");

    QCOMPARE(EncryptString(plain, key), QByteArray("{02}") + cipher);
    // The plain text holds a zero byte first, so decryption returns nothing; the block
    // itself is checked through a plain text without zeros.
    QCOMPARE(DecryptString(QByteArray("{02}") + cipher, key), QByteArray());
    // Two equal blocks give two equal cipher blocks: no chaining.
    QCOMPARE(EncryptString(plain + plain, key), QByteArray("{02}") + cipher + cipher);
    // A key longer than 32 bytes is cut to 32.
    QCOMPARE(EncryptString(plain, key + "extra"), QByteArray("{02}") + cipher);
}

void TestCipher::programKeyIsZeroFilled()
{
    QCOMPARE(ProgramKey(), QByteArray("Fq8%Wd3!Nx7&Rb2#"));
    QByteArray padded = ProgramKey();
    padded.append(16, '\0');
    const QByteArray plain("sixteen byte txt");
    QCOMPARE(EncryptString(plain), EncryptString(plain, padded));
    QVERIFY(EncryptString(plain) != EncryptString(plain, QByteArray("Fq8%Wd3!Nx7&Rb2$")));
}

void TestCipher::encryptLength_data()
{
    QTest::addColumn<int>("plainLength");
    QTest::addColumn<int>("cipherLength");
    QTest::newRow("empty") << 0 << 4;
    QTest::newRow("one byte") << 1 << 20;
    QTest::newRow("16 bytes") << 16 << 20;
    QTest::newRow("17 bytes") << 17 << 36;
    QTest::newRow("32 bytes") << 32 << 36;
    QTest::newRow("33 bytes") << 33 << 52;
}

void TestCipher::encryptLength()
{
    QFETCH(int, plainLength);
    QFETCH(int, cipherLength);
    const QByteArray cipher = EncryptString(QByteArray(plainLength, 'x'));
    QCOMPARE(cipher.size(), cipherLength);
    QVERIFY(cipher.startsWith("{02}"));
}

void TestCipher::roundTrip_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("short") << QByteArray("mario") << QByteArray("mario");
    QTest::newRow("16 bytes") << QByteArray("0123456789abcdef") << QByteArray("0123456789abcdef");
    QTest::newRow("17 bytes") << QByteArray("0123456789abcdefg") << QByteArray("0123456789abcdefg");
    QTest::newRow("8-bit bytes") << QByteArray("\x80\xE0\xFF") << QByteArray("\x80\xE0\xFF");
    QTest::newRow("trailing zeros") << QByteArray("abc\0\0\0", 6) << QByteArray("abc");
    QTest::newRow("embedded zero") << QByteArray("abc\0def", 7) << QByteArray("abc");
}

void TestCipher::roundTrip()
{
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, expected);
    QCOMPARE(DecryptString(EncryptString(plain)), expected);
}

void TestCipher::decryptWithoutMarker_data()
{
    QTest::addColumn<QByteArray>("text");
    const QByteArray cipher = EncryptString("hello").mid(4);
    QTest::newRow("no marker") << cipher;
    QTest::newRow("other version") << QByteArray("{01}") + cipher;
    QTest::newRow("short") << QByteArray("{02");
    QTest::newRow("empty") << QByteArray();
}

void TestCipher::decryptWithoutMarker()
{
    QFETCH(QByteArray, text);
    QCOMPARE(DecryptString(text), QByteArray());
}

void TestCipher::messageEndTag_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("text after the tag is cut")
        << QByteArray("<MESSAGE>ok</MESSAGE>trailing junk") << QByteArray("<MESSAGE>ok</MESSAGE>");
    QTest::newRow("only the first tag counts")
        << QByteArray("<MESSAGE>a</MESSAGE>b</MESSAGE>") << QByteArray("<MESSAGE>a</MESSAGE>");
    QTest::newRow("tag at the very start is left alone")
        << QByteArray("</MESSAGE>rest") << QByteArray("</MESSAGE>rest");
    // 16 bytes exactly: nothing follows the tag, not even zero filling.
    QTest::newRow("tag at the end") << QByteArray("123456</MESSAGE>") << QByteArray("123456</MESSAGE>");
}

void TestCipher::messageEndTag()
{
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, expected);
    QCOMPARE(DecryptString(EncryptString(plain)), expected);
}

void TestCipher::encodeBase64_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("one byte") << QByteArray("M");
    QTest::newRow("two bytes") << QByteArray("Ma");
    QTest::newRow("three bytes") << QByteArray("Man");
    QTest::newRow("zero bytes") << QByteArray(5, '\0');
    QTest::newRow("high bytes") << QByteArray("\xFB\xFF\xFE\x80", 4);
    QTest::newRow("cipher text") << EncryptString("mario");
}

void TestCipher::encodeBase64()
{
    QFETCH(QByteArray, data);
    QCOMPARE(EncodeBase64(data), data.toBase64());
    QCOMPARE(DecodeBase64(EncodeBase64(data)), data);
}

void TestCipher::decodeBase64_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("empty data") << EncodeBase64({}) << QByteArray();
    QTest::newRow("one byte") << QByteArray("TQ==") << QByteArray("M");
    QTest::newRow("six characters") << QByteArray("TWFuTW") << QByteArray();
    QTest::newRow("three characters") << QByteArray("TWF") << QByteArray();
    QTest::newRow("empty text") << QByteArray() << QByteArray();
    // A character outside the alphabet counts as 61 ("9"): "*" decodes like "9".
    QTest::newRow("foreign character") << QByteArray("AAA*") << QByteArray::fromBase64("AAA9");
    QTest::newRow("padding inside counts as 61") << QByteArray("A=AA") << QByteArray::fromBase64("A9AA");
}

void TestCipher::decodeBase64()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(DecodeBase64(text), expected);
}

void TestCipher::storedCredentialForm()
{
    QCOMPARE(EncodeBase64({}), QByteArray("A==="));
    QCOMPARE(EncodeBase64(EncryptString({})), QByteArray("ezAyfQ=="));
    QCOMPARE(DecryptString(DecodeBase64("ezAyfQ==")), QByteArray());
    const QByteArray stored = EncodeBase64(EncryptString("mario.rossi"));
    QCOMPARE(DecryptString(DecodeBase64(stored)), QByteArray("mario.rossi"));
}

QTEST_GUILESS_MAIN(TestCipher)
#include "TestCipher.moc"
