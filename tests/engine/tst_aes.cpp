// AES and the page cipher on both code paths: every test runs once on the
// portable code (AES tables) and once on the processor's AES instructions
// (skipped where the processor has none) and SHA instructions (where it has
// them).
#include "Aes.h"
#include "BuiltinPassphrase.h"
#include "CipherTestKit.h"
#include "CodecTestKit.h"
#include "Sha256.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <new>

using namespace ciphertest;

namespace {

// NIST SP 800-38A, Appendix F: key, IV and plaintext of the AES-256 examples.
const char *const nistKey256 = "603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4";
const char *const nistIv = "000102030405060708090a0b0c0d0e0f";
const char *const nistPlain = "6bc1bee22e409f96e93d7e117393172a"
                              "ae2d8a571e03ac9c9eb76fac45af8e51"
                              "30c81c46a35ce411e5fbc1191a0a52ef"
                              "f69f2445df4f9b17ad2b417be66c3710";
// SP 800-38A F.2.5 (CBC-AES256.Encrypt).
const char *const nistCbc256 = "f58c4c04d6e5f1ba779eabfb5f7bfbd6"
                               "9cfc4e967edb808d679f777bc6702c7d"
                               "39f23369a9d9bacfa530e26304231461"
                               "b2eb05e2c39be9fcda6c19078c6a9d1b";

QByteArray sha256(const QByteArray &data)
{
    uint8_t out[32];
    sha256Digest(data.constData(), size_t(data.size()), out);
    return toArray(out, 32);
}

// A table of rows spanning many pages, with an index for interior pages.
void fillRows(codectest::Db &db)
{
    QCOMPARE(db.exec("CREATE TABLE t(id INTEGER PRIMARY KEY, body TEXT, n INTEGER);"
                     "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 600)"
                     " INSERT INTO t(body, n) SELECT printf('%d ', i) || substr(replace(hex(zeroblob(700)), '0',"
                     " char(97 + i % 26)), 1, 50 + i * 37 % 1200), i * 7 FROM c;"
                     "CREATE INDEX t_body ON t(body)"),
             SQLITE_OK);
}

// Every row in one text: equal only when every byte read back is the same.
QString content(codectest::Db &db)
{
    return db.scalar("SELECT group_concat(id || ':' || n || ':' || body, '|') FROM (SELECT * FROM t ORDER BY id)");
}

} // namespace

class TestAes : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase_data()
    {
        QTest::addColumn<bool>("hardware");
        QTest::newRow("portable") << false;
        QTest::newRow("hardware") << true;
    }

    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QCOMPARE(cipherRegisterVfs(), SQLITE_OK);
    }

    void init()
    {
        QFETCH_GLOBAL(bool, hardware);
        if (hardware && !aesHardwareAvailable())
            QSKIP("this processor has no AES instructions");
        forcePortableCode(!hardware);
        QCOMPARE(aesUsesHardware(), hardware);
        QCOMPARE(sha256UsesHardware(), hardware && sha256HardwareAvailable());
    }

    void cleanup() { forcePortableCode(false); }

    void aesFips197_data()
    {
        QTest::addColumn<int>("keyCode");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("cipher");
        // FIPS-197 Appendix C.1 to C.3, plaintext 00112233445566778899aabbccddeeff.
        QTest::newRow("AES-128") << 0 << hex("000102030405060708090a0b0c0d0e0f")
                                 << hex("69c4e0d86a7b0430d8cdb78070b4c55a");
        QTest::newRow("AES-192") << 1 << hex("000102030405060708090a0b0c0d0e0f1011121314151617")
                                 << hex("dda97ca4864cdfe06eaf70a0ec0d7191");
        QTest::newRow("AES-256") << 2
                                 << hex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f")
                                 << hex("8ea2b7ca516745bfeafc49904b496089");
    }
    void aesFips197()
    {
        QFETCH(int, keyCode);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, cipher);
        const QByteArray plain = hex("00112233445566778899aabbccddeeff");
        AesContext enc;
        QCOMPARE(aesSetup(&enc, aesModeEcb, aesEncrypt, bytes(key), keyCode, nullptr), 0);
        QCOMPARE(enc.rounds, 10 + 2 * keyCode);
        uint8_t out[16];
        QCOMPARE(aesEncryptBlocks(&enc, bytes(plain), 128, out), 128);
        QCOMPARE(toArray(out, 16), cipher);
        AesContext dec;
        QCOMPARE(aesSetup(&dec, aesModeEcb, aesDecrypt, bytes(key), keyCode, nullptr), 0);
        QCOMPARE(aesDecryptBlocks(&dec, out, 128, out), 128);
        QCOMPARE(toArray(out, 16), plain);
    }

    void roundKeysAsTheStandardGives()
    {
        // FIPS-197 A.3: the last words of the AES-256 schedule; the
        // decrypting schedule keeps the first and last key as they are and
        // holds InvMixColumns of the others. Both key forms agree.
        const QByteArray key = hex("603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4");
        AesContext enc, dec;
        QCOMPARE(aesSetup(&enc, aesModeCbc, aesEncrypt, bytes(key), 2, nullptr), 0);
        QCOMPARE(aesSetup(&dec, aesModeCbc, aesDecrypt, bytes(key), 2, nullptr), 0);
        QCOMPARE(enc.roundKeys[14][0], 0xfe4890d1u);
        QCOMPARE(enc.roundKeys[14][3], 0x706c631eu);
        QCOMPARE(toArray(enc.roundKeyBytes[14], 16), hex("fe4890d1e6188d0b046df344706c631e"));
        QCOMPARE(toArray(enc.roundKeyBytes[0], 16), key.left(16));
        for (int r = 0; r <= 14; ++r)
            for (int k = 0; k < 4; ++k) {
                uint8_t word[4];
                std::memcpy(word, dec.roundKeyBytes[r] + 4 * k, 4);
                const uint32_t fromBytes = uint32_t(word[0]) << 24 | uint32_t(word[1]) << 16
                                           | uint32_t(word[2]) << 8 | word[3];
                QCOMPARE(fromBytes, dec.roundKeys[r][k]);
            }
        QCOMPARE(toArray(dec.roundKeys[0], 16), toArray(enc.roundKeys[0], 16));
        QCOMPARE(toArray(dec.roundKeys[14], 16), toArray(enc.roundKeys[14], 16));
        // InvMixColumns of the second key's first word 1f352c07.
        QCOMPARE(dec.roundKeys[1][0], 0x8ec6bff6u);
    }

    void aes256Ecb()
    {
        // SP 800-38A F.1.5 / F.1.6.
        const QByteArray expected = hex("f3eed1bdb5d2a03c064b5a7e3db181f8"
                                        "591ccb10d410ed26dc5ba74a31362870"
                                        "b6ed21b99ca6f4f9f153e7b1beafed1d"
                                        "23304b7a39f9f3ff067d8d8f9e24ecc7");
        const QByteArray key = hex(nistKey256), plain = hex(nistPlain);
        AesContext c;
        QCOMPARE(aesSetup(&c, aesModeEcb, aesEncrypt, bytes(key), 2, nullptr), 0);
        uint8_t out[64];
        QCOMPARE(aesEncryptBlocks(&c, bytes(plain), 512, out), 512);
        QCOMPARE(toArray(out, 64), expected);
        QCOMPARE(aesSetup(&c, aesModeEcb, aesDecrypt, bytes(key), 2, nullptr), 0);
        QCOMPARE(aesDecryptBlocks(&c, out, 512, out), 512);
        QCOMPARE(toArray(out, 64), plain);
    }

    void aes256Cbc()
    {
        // SP 800-38A F.2.5 (CBC-AES256.Encrypt) and F.2.6 (.Decrypt).
        const QByteArray expected = hex(nistCbc256);
        const QByteArray key = hex(nistKey256), iv = hex(nistIv), plain = hex(nistPlain);
        AesContext c;
        QCOMPARE(aesSetup(&c, aesModeCbc, aesEncrypt, bytes(key), 2, bytes(iv)), 0);
        uint8_t out[64];
        QCOMPARE(aesEncryptBlocks(&c, bytes(plain), 512, out), 512);
        QCOMPARE(toArray(out, 64), expected);
        QCOMPARE(toArray(c.iv, 16), iv);  // the context's IV is not updated
        // Encrypting in place gives the same.
        QByteArray inPlace = plain;
        QCOMPARE(aesEncryptBlocks(&c, bytes(inPlace), 512, bytes(inPlace)), 512);
        QCOMPARE(inPlace, expected);

        AesContext d;
        QCOMPARE(aesSetup(&d, aesModeCbc, aesDecrypt, bytes(key), 2, bytes(iv)), 0);
        QCOMPARE(aesDecryptBlocks(&d, bytes(inPlace), 512, bytes(inPlace)), 512);  // in place
        QCOMPARE(inPlace, plain);
        // Decrypting only the first k blocks returns the first k input blocks.
        for (int k = 1; k <= 4; ++k) {
            uint8_t part[64];
            QCOMPARE(aesDecryptBlocks(&d, out, 128 * k, part), 128 * k);
            QCOMPARE(toArray(part, 16 * k), plain.left(16 * k));
        }
    }

    void cbcAtAnyAddress_data()
    {
        QTest::addColumn<int>("offset");
        QTest::newRow("1") << 1;
        QTest::newRow("7") << 7;
        QTest::newRow("8") << 8;
    }
    void cbcAtAnyAddress()
    {
        // Blocks and IV at odd addresses, the context at one that suits its
        // words only: 20 copies of the example (more than one group of
        // blocks in flight), in place.
        QFETCH(int, offset);
        const QByteArray key = hex(nistKey256), plain = hex(nistPlain).repeated(20);
        QByteArray ivStore = QByteArray(offset, 'x') + hex(nistIv);
        QByteArray buffer = QByteArray(offset, 'x') + plain + "tail";
        uint8_t *data = bytes(buffer) + offset;
        const int contextOffset = offset - offset % int(alignof(AesContext));
        QByteArray contextStore(int(sizeof(AesContext)) + contextOffset, 0);
        auto *c = new (contextStore.data() + contextOffset) AesContext();
        QCOMPARE(aesSetup(c, aesModeCbc, aesEncrypt, bytes(key), 2, bytes(ivStore) + offset), 0);
        QCOMPARE(aesEncryptBlocks(c, data, plain.size() * 8, data), plain.size() * 8);
        QCOMPARE(buffer.mid(offset, 64), hex(nistCbc256));
        QCOMPARE(aesSetup(c, aesModeCbc, aesDecrypt, bytes(key), 2, bytes(ivStore) + offset), 0);
        QCOMPARE(aesDecryptBlocks(c, data, plain.size() * 8, data), plain.size() * 8);
        QCOMPARE(buffer, QByteArray(offset, 'x') + plain + "tail");
    }

    void aes256Cfb1()
    {
        // CFB-1 over whole blocks; SP 800-38A F.3.5 lists the first 16 bits
        // (1001 0000 0010 1001), the rest is the same computation (OpenSSL).
        // It always runs on the tables, whatever the path.
        const QByteArray expected = hex("9029c2ba5b7d440b562023deec3de592"
                                        "8e4fd76528e8cc3a548a0a49edf001d0");
        const QByteArray key = hex(nistKey256), iv = hex(nistIv), plain = hex(nistPlain).left(32);
        AesContext c;
        QCOMPARE(aesSetup(&c, aesModeCfb1, aesEncrypt, bytes(key), 2, bytes(iv)), 0);
        uint8_t out[32];
        QCOMPARE(aesEncryptBlocks(&c, bytes(plain), 256, out), 256);
        QCOMPARE(toArray(out, 32), expected);
        // Decryption runs the cipher forwards: an encrypting context.
        QCOMPARE(aesDecryptBlocks(&c, out, 256, out), 256);
        QCOMPARE(toArray(out, 32), plain);
    }

    void aesResultCodes()
    {
        const QByteArray key(32, 'k');
        AesContext c;
        QCOMPARE(c.state, 1);
        QCOMPARE(aesSetup(&c, 3, aesEncrypt, bytes(key), 2, nullptr), -1);
        QCOMPARE(aesSetup(&c, aesModeCbc, 2, bytes(key), 2, nullptr), -2);
        QCOMPARE(aesSetup(&c, aesModeCbc, aesEncrypt, bytes(key), 3, nullptr), -3);
        QCOMPARE(aesSetup(&c, aesModeCbc, aesEncrypt, nullptr, 2, nullptr), -4);
        QCOMPARE(c.state, 1);
        uint8_t in[16] = {}, out[16];
        std::memset(out, 0xAA, sizeof out);
        QCOMPARE(aesEncryptBlocks(&c, in, 128, out), -5);  // set-up failed
        QCOMPARE(aesDecryptBlocks(&c, in, 128, out), -5);

        QCOMPARE(aesSetup(&c, aesModeCbc, aesDecrypt, bytes(key), 2, nullptr), 0);
        QCOMPARE(c.state, 0);
        QCOMPARE(aesEncryptBlocks(&c, in, 128, out), -6);
        QCOMPARE(toArray(out, 16), QByteArray(16, char(0xAA)));  // nothing written
        QCOMPARE(aesEncryptBlocks(&c, nullptr, 128, out), 0);
        QCOMPARE(aesDecryptBlocks(&c, in, 0, out), 0);
        QCOMPARE(aesDecryptBlocks(&c, in, -128, out), 0);
        QCOMPARE(aesDecryptBlocks(&c, in, 127, out), 0);  // no whole block
        QCOMPARE(toArray(out, 16), QByteArray(16, char(0xAA)));
        QCOMPARE(aesSetup(&c, aesModeCbc, aesEncrypt, bytes(key), 2, nullptr), 0);
        QCOMPARE(aesDecryptBlocks(&c, in, 128, out), -6);
        QCOMPARE(toArray(out, 16), QByteArray(16, char(0xAA)));

        // A length of 4,096 x 8 bits processes 256 blocks.
        QByteArray page(4096, 'p');
        QCOMPARE(aesEncryptBlocks(&c, bytes(page), 4096 * 8, bytes(page)), 32768);
    }

    void pageKeyAndReference()
    {
        // Page 3 of 1,024 bytes under the built-in key, against an
        // independent computation (Python hashlib + OpenSSL AES-256-CBC):
        // page key SHA-256(key || LE32(3) || "Vlmr"), IV MD5(seed of 3).
        uint8_t key[32];
        cipherDeriveKey(builtinPassphrase, builtinPassphraseLength, key);
        QByteArray material = toArray(key, 32) + hex("03000000") + QByteArray("Vlmr");
        uint8_t pageKey[32];
        cipherPageKey(key, 3, pageKey);
        QCOMPARE(toArray(pageKey, 32), sha256(material));

        QByteArray page(1024, 0);
        for (int i = 0; i < page.size(); ++i)
            page[i] = char((i * 7 + 3) & 0xff);
        Record rec;
        QVERIFY(rec.r);
        QByteArray out(1024, 0);
        QCOMPARE(cipherCryptPage(rec.r, 3, true, key, bytes(page), 1024, bytes(out)), 8192);
        QCOMPARE(out.left(32), hex("fe66036733efb4e1f18e8ee1d0efbef3f4d24a8b03d2f0f0f7463d1d9ed50d4f"));
        QCOMPARE(sha256(out), hex("b525c4a5c39036d403a9f8a5610ee4ac881a293ac538335762cbdac6453873a3"));
        // And back, in place.
        QCOMPARE(cipherCryptPage(rec.r, 3, false, key, bytes(out), 1024, bytes(out)), 8192);
        QCOMPARE(out, page);
    }

    void pageRoundTripAndDeterminism()
    {
        uint8_t key[32];
        cipherDeriveKey("phrase", 6, key);
        Record rec;
        for (int size : {512, 1024, 4096, 65536}) {
            QByteArray page(size, 0);
            for (int i = 0; i < size; ++i)
                page[i] = char(i * 31 + size);
            QByteArray a = page, b = page, c = page;
            cipherCryptPage(rec.r, 5, true, key, bytes(a), size, bytes(a));
            cipherCryptPage(rec.r, 6, true, key, bytes(b), size, bytes(b));
            cipherCryptPage(rec.r, 5, true, key, bytes(c), size, bytes(c));
            QVERIFY(a != page);
            QVERIFY(a != b);  // same content, other page: stored differently
            QCOMPARE(a, c);   // same page, same content: stored the same
            // The first k x 16 bytes decrypt to the first k x 16 plain bytes.
            QByteArray prefix = a.left(1024 < size ? 1024 : size);
            cipherCryptPage(rec.r, 5, false, key, bytes(prefix), prefix.size(), bytes(prefix));
            QCOMPARE(prefix, page.left(prefix.size()));
            cipherCryptPage(rec.r, 5, false, key, bytes(a), size, bytes(a));
            QCOMPARE(a, page);
        }
    }

    void bankReadsOnOtherPath_data()
    {
        QTest::addColumn<int>("pageSize");
        QTest::newRow("1024") << 1024;
        QTest::newRow("4096") << 4096;
    }
    void bankReadsOnOtherPath()
    {
        // Written on this row's path, read and changed on the other one,
        // read again on this one.
        QFETCH_GLOBAL(bool, hardware);
        QFETCH(int, pageSize);
        if (!aesHardwareAvailable())
            QSKIP("this processor has no AES instructions");
        const QString file = dir.filePath(QStringLiteral("bank-%1-%2.db").arg(int(hardware)).arg(pageSize));
        QString written;
        {
            codectest::Db db(file);
            QCOMPARE(db.key(codectest::builtin), 0);
            QCOMPARE(db.exec(QStringLiteral("PRAGMA page_size=%1").arg(pageSize)), SQLITE_OK);
            fillRows(db);
            written = content(db);
        }
        forcePortableCode(hardware);
        QCOMPARE(aesUsesHardware(), !hardware);
        {
            codectest::Db db(file);
            QCOMPARE(db.key(codectest::builtin), 0);
            QCOMPARE(db.scalar("PRAGMA integrity_check"), QString("ok"));
            QCOMPARE(db.scalar("PRAGMA page_size"), QString::number(pageSize));
            QCOMPARE(content(db), written);
            QCOMPARE(db.exec("UPDATE t SET body = body || 'x' WHERE id % 3 = 0"), SQLITE_OK);
            written = content(db);
        }
        forcePortableCode(!hardware);
        codectest::Db db(file);
        QCOMPARE(db.key(codectest::builtin), 0);
        QCOMPARE(db.scalar("PRAGMA integrity_check"), QString("ok"));
        QCOMPARE(content(db), written);
    }
};

QTEST_GUILESS_MAIN(TestAes)
#include "tst_aes.moc"
