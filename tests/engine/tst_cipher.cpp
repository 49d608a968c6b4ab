// Cipher primitives and the page cipher against
// the published known answers; the portable code and the processor's
// instructions against each other. (AES known answers on both paths: tst_aes.)
#include "Aes.h"
#include "BuiltinPassphrase.h"
#include "CipherPage.h"
#include "CipherTestKit.h"
#include "Md5.h"
#include "Sha256.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QtTest>

#include <cstring>

using namespace ciphertest;

namespace {

QByteArray sha256(const QByteArray &data)
{
    uint8_t out[32];
    sha256Digest(data.constData(), size_t(data.size()), out);
    return toArray(out, 32);
}

QByteArray md5(const QByteArray &data)
{
    uint8_t out[16];
    md5Digest(data.constData(), size_t(data.size()), out);
    return toArray(out, 16);
}

QByteArray randomBytes(QRandomGenerator &random, int n)
{
    QByteArray a(n, 0);
    for (int i = 0; i < n; ++i)
        a[i] = char(random.bounded(256));
    return a;
}

// One AES call on one code path: the set-up context, the result and the
// output (trailing bytes of a part block must keep their 0xA5).
struct PathRun
{
    AesContext context;
    int result = 0;
    QByteArray output;
};

PathRun runOnPath(bool hardware, int mode, int direction, const QByteArray &key, int keyCode, const QByteArray &iv,
                  const QByteArray &input, int bits)
{
    aesForceTables(!hardware);
    PathRun run;
    run.output = QByteArray(input.size(), char(0xA5));
    if (aesSetup(&run.context, mode, direction, bytes(key), keyCode, bytes(iv)) == 0)
        run.result = direction == aesEncrypt ? aesEncryptBlocks(&run.context, bytes(input), bits, bytes(run.output))
                                             : aesDecryptBlocks(&run.context, bytes(input), bits, bytes(run.output));
    aesForceTables(false);
    return run;
}

// Runs later SHA-256 compressions on the instructions (hardware) or on the
// portable code; false when the processor has no SHA instructions.
bool useShaPath(bool hardware)
{
    sha256ForcePortable(!hardware);
    return !hardware || sha256HardwareAvailable();
}

void addPathRows()
{
    QTest::addColumn<bool>("hardware");
    QTest::newRow("portable") << false;
    QTest::newRow("hardware") << true;
}

// Empty when the two runs agree in every detail, else what differs.
QString difference(const PathRun &tables, const PathRun &hardware)
{
    if (toArray(tables.context.roundKeys, sizeof tables.context.roundKeys)
        != toArray(hardware.context.roundKeys, sizeof hardware.context.roundKeys))
        return QStringLiteral("round keys");
    if (toArray(tables.context.roundKeyBytes, sizeof tables.context.roundKeyBytes)
        != toArray(hardware.context.roundKeyBytes, sizeof hardware.context.roundKeyBytes))
        return QStringLiteral("round key bytes");
    if (tables.result != hardware.result)
        return QStringLiteral("result %1 / %2").arg(tables.result).arg(hardware.result);
    if (tables.output != hardware.output)
        return QStringLiteral("output");
    return QString();
}

} // namespace

class TestCipher : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { forcePortableCode(false); }

    void sha256Fips180_data() { addPathRows(); }
    void sha256Fips180()
    {
        QFETCH(bool, hardware);
        if (!useShaPath(hardware))
            QSKIP("this processor has no SHA instructions");
        QCOMPARE(sha256(""), hex("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
        QCOMPARE(sha256("abc"), hex("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
        QCOMPARE(sha256("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
                 hex("248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"));
        QCOMPARE(sha256(QByteArray(1000000, 'a')),
                 hex("cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"));
        // The same through Update in odd pieces.
        Sha256Context c;
        sha256Init(&c);
        const QByteArray a(1000000, 'a');
        for (int done = 0; done < a.size();) {
            const int n = qMin(a.size() - done, 1 + done % 97);
            sha256Update(&c, bytes(a) + done, size_t(n));
            done += n;
        }
        uint8_t out[32];
        sha256Final(&c, out);
        QCOMPARE(toArray(out, 32), hex("cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"));
    }

    void md5Rfc1321()
    {
        QCOMPARE(md5(""), hex("d41d8cd98f00b204e9800998ecf8427e"));
        QCOMPARE(md5("a"), hex("0cc175b9c0f1b6a831c399e269772661"));
        QCOMPARE(md5("abc"), hex("900150983cd24fb0d6963f7d28e17f72"));
        QCOMPARE(md5("message digest"), hex("f96b697d7cb7938d525a2f31aaf161d0"));
        QCOMPARE(md5("abcdefghijklmnopqrstuvwxyz"), hex("c3fcd3d76192e4007dfb496cca67e13b"));
        QCOMPARE(md5("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
                 hex("d174ab98d277d9f5a5611c2c9f419d9f"));
        QCOMPARE(md5("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
                 hex("57edf4a22be3c955ac49da2e2107b67a"));
    }

    void pageIvWorkedExample()
    {
        uint8_t seed[16], iv[16];
        cipherPageIvSeed(1, seed);
        QCOMPARE(toArray(seed, 16), hex("e83d010019326445a7fdbe7a31172b5f"));
        cipherPageIv(1, iv);
        QCOMPARE(toArray(iv, 16), hex("20d7420f9c37a35dca6fe92a1c6999a9"));
        cipherPageIvSeed(2, seed);
        QCOMPARE(toArray(seed, 16), hex("dcdc0100a24b1628f77c1e7846a3c04e"));
        cipherPageIv(2, iv);
        QCOMPARE(toArray(iv, 16), hex("b2547aac5270eef583e1d267a725d988"));
        // z1..z4 of page 1: 81384, 1164194329, 2059337127, 1596659505.
        cipherPageIvSeed(1, seed);
        uint32_t z[4];
        for (int i = 0; i < 4; ++i)
            z[i] = uint32_t(seed[4 * i]) | uint32_t(seed[4 * i + 1]) << 8 | uint32_t(seed[4 * i + 2]) << 16
                   | uint32_t(seed[4 * i + 3]) << 24;
        QCOMPARE(z[0], 81384u);
        QCOMPARE(z[1], 1164194329u);
        QCOMPARE(z[2], 2059337127u);
        QCOMPARE(z[3], 1596659505u);
    }

    void sha256PathsAgree()
    {
        // The compression from random states over random blocks, then whole
        // messages of every length up to a few blocks, on both paths.
        if (!sha256HardwareAvailable())
            QSKIP("this processor has no SHA instructions");
        QRandomGenerator random(0x5ba25600);
        for (int i = 0; i < 10000; ++i) {
            uint32_t portable[8], hardware[8];
            random.fillRange(portable);
            std::memcpy(hardware, portable, sizeof hardware);
            const QByteArray block = randomBytes(random, 64);
            useShaPath(false);
            sha256Transform(portable, bytes(block));
            useShaPath(true);
            sha256Transform(hardware, bytes(block));
            QVERIFY2(std::memcmp(portable, hardware, sizeof portable) == 0, qPrintable(QString::number(i)));
        }
        for (int length = 0; length <= 300; ++length) {
            const QByteArray message = randomBytes(random, length);
            useShaPath(false);
            const QByteArray portable = sha256(message);
            useShaPath(true);
            QCOMPARE(sha256(message), portable);
        }
    }

    void deriveBuiltinKey_data() { addPathRows(); }
    void deriveBuiltinKey()
    {
        QFETCH(bool, hardware);
        if (!useShaPath(hardware))
            QSKIP("this processor has no SHA instructions");
        uint8_t key[32];
        cipherDeriveKey(builtinPassphrase, builtinPassphraseLength, key);
        QCOMPARE(toArray(key, 32), hex("1fedd4c6240db05ae0fbc28111a9fb13af102f32a47e2b9360fcb69d8d17c348"));
        // The derivation is SHA-256 of the padded phrase, then 4,001 more.
        uint8_t padded[32];
        cipherPadPassphrase(builtinPassphrase, builtinPassphraseLength, padded);
        QCOMPARE(toArray(padded, 32),
                 QByteArray(builtinPassphrase) + hex("28BF4E5E4E"));
        QByteArray d = sha256(toArray(padded, 32));
        for (int i = 0; i < 4001; ++i)
            d = sha256(d);
        QCOMPARE(d, toArray(key, 32));
    }

    void deriveLongPhrases()
    {
        const QByteArray p32("0123456789abcdefghijklmnopqrstuv");
        QCOMPARE(p32.size(), 32);
        uint8_t padded[32];
        cipherPadPassphrase(p32.constData(), 32, padded);
        QCOMPARE(toArray(padded, 32), p32);  // no padding bytes
        uint8_t k32[32], k33[32], k40[32];
        cipherDeriveKey(p32.constData(), 32, k32);
        cipherDeriveKey((p32 + "w").constData(), 33, k33);
        cipherDeriveKey((p32 + "wxyz1234").constData(), 40, k40);
        QCOMPARE(toArray(k33, 32), toArray(k32, 32));
        QCOMPARE(toArray(k40, 32), toArray(k32, 32));
        uint8_t k31[32];
        cipherDeriveKey(p32.constData(), 31, k31);
        QVERIFY(toArray(k31, 32) != toArray(k32, 32));
        // One byte: the phrase byte and 31 padding bytes.
        cipherPadPassphrase("x", 1, padded);
        QCOMPARE(toArray(padded, 32), QByteArray("x") + hex("28BF4E5E4E758A4164004E56FFFA01082E2E00B6D0683E802F0CA9FE6453697A").left(31));
    }

    void pagerHookModes()
    {
        Record rec;
        CipherRecord *r = rec.r;
        QByteArray page(1024, 'q');
        auto *data = reinterpret_cast<uint8_t *>(page.data());
        r->pageSize = 1024;
        // A record not encrypted leaves everything as it is.
        QCOMPARE(cipherPagerHook(r, data, 1, cipherModeWrite), static_cast<void *>(data));
        QCOMPARE(cipherPagerHook(nullptr, data, 1, cipherModeRead), static_cast<void *>(data));
        r->encrypted = 1;
        r->hasReadKey = r->hasWriteKey = 1;
        cipherDeriveKey("old", 3, r->readKey);
        cipherDeriveKey("new", 3, r->writeKey);
        // Mode 6: an encrypted copy under the write key, data untouched.
        void *out = cipherPagerHook(r, data, 7, cipherModeWrite);
        QCOMPARE(out, static_cast<void *>(r->pageBuffer));
        QCOMPARE(page, QByteArray(1024, 'q'));
        QByteArray stored = toArray(r->pageBuffer, 1024);
        // Mode 7: under the read key.
        cipherPagerHook(r, data, 7, cipherModeJournal);
        QByteArray journal = toArray(r->pageBuffer, 1024);
        QVERIFY(journal != stored);
        // Mode 3 decrypts in place with the read key.
        QByteArray back = journal;
        QCOMPARE(cipherPagerHook(r, back.data(), 7, cipherModeRead), static_cast<void *>(back.data()));
        QCOMPARE(back, page);
        // Other modes and missing keys pass data unchanged.
        QCOMPARE(cipherPagerHook(r, data, 7, 1), static_cast<void *>(data));
        QCOMPARE(cipherPagerHook(r, data, 7, 8), static_cast<void *>(data));
        r->hasWriteKey = 0;
        QCOMPARE(cipherPagerHook(r, data, 7, cipherModeWrite), static_cast<void *>(data));
        r->hasReadKey = 0;
        QCOMPARE(cipherPagerHook(r, data, 7, cipherModeJournal), static_cast<void *>(data));
        QCOMPARE(page, QByteArray(1024, 'q'));
    }

    void aesPathsAgree()
    {
        // Random keys, IVs and lengths (part blocks included) through both
        // paths, both directions, ECB and CBC, every key length; the seed
        // is fixed so that a failure repeats.
        if (!aesHardwareAvailable())
            QSKIP("this processor has no AES instructions");
        QRandomGenerator random(0x5eed2015);
        for (int i = 0; i < 10000; ++i) {
            const int keyCode = i % 3;
            const int mode = (i / 3) % 2 ? aesModeCbc : aesModeEcb;
            const QByteArray key = randomBytes(random, 16 + 8 * keyCode);
            const QByteArray iv = randomBytes(random, 16);
            const int bits = random.bounded(1, 41 * 128);
            const QByteArray plain = randomBytes(random, (bits + 7) / 8);
            const PathRun encTables = runOnPath(false, mode, aesEncrypt, key, keyCode, iv, plain, bits);
            const PathRun encHardware = runOnPath(true, mode, aesEncrypt, key, keyCode, iv, plain, bits);
            QString diff = difference(encTables, encHardware);
            QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("case %1 encrypt: %2").arg(i).arg(diff)));
            const PathRun decTables = runOnPath(false, mode, aesDecrypt, key, keyCode, iv, encTables.output, bits);
            const PathRun decHardware = runOnPath(true, mode, aesDecrypt, key, keyCode, iv, encTables.output, bits);
            diff = difference(decTables, decHardware);
            QVERIFY2(diff.isEmpty(), qPrintable(QStringLiteral("case %1 decrypt: %2").arg(i).arg(diff)));
            const int whole = bits / 128 * 16;
            QVERIFY2(decHardware.output.left(whole) == plain.left(whole), qPrintable(QString::number(i)));
        }
    }
};

QTEST_GUILESS_MAIN(TestCipher)
#include "tst_cipher.moc"
