#include "aktblokitem.h"
#include "blockplan.h"
#include "copyplan.h"

#include <QtTest>

Q_DECLARE_METATYPE(BlockReply::Kind)

namespace {
// index, page, offset, size
using Row = QList<int>;
}

class TestBlockPlan : public QObject
{
    Q_OBJECT
private slots:
    void planBlocks_quarterPagesThenClosingItem_data();
    void planBlocks_quarterPagesThenClosingItem();
    void planBlocks_largeMemory_neverStraddlesPages();
    void planWithCopy_verifiesThenFetchesFromStableEnd_data();
    void planWithCopy_verifiesThenFetchesFromStableEnd();
    void readBlockReply_classifiesAndCuts_data();
    void readBlockReply_classifiesAndCuts();
    void aktBlokItem_startsEmptyAndKeepsWhatIsSet();
};

void TestBlockPlan::planBlocks_quarterPagesThenClosingItem_data()
{
    QTest::addColumn<qint64>("used");
    QTest::addColumn<QList<Row>>("plan");
    QTest::newRow("one page") << qint64(1056)
        << QList<Row>{{0, 0, 0, 264}, {1, 0, 264, 264}, {2, 0, 528, 264}, {3, 0, 792, 264}, {4, 0, 0, 6}};
    QTest::newRow("1000 bytes") << qint64(1000)
        << QList<Row>{{0, 0, 0, 264}, {1, 0, 264, 264}, {2, 0, 528, 264}, {3, 0, 792, 208}, {4, 0, 0, 6}};
    QTest::newRow("264 x 4 + 1") << qint64(264 * 4 + 1)
        << QList<Row>{{0, 0, 0, 264}, {1, 0, 264, 264}, {2, 0, 528, 264}, {3, 0, 792, 264},
                      {4, 1, 0, 1}, {5, 0, 0, 6}};
    QTest::newRow("264 x 5 + 1") << qint64(264 * 5 + 1)
        << QList<Row>{{0, 0, 0, 264}, {1, 0, 264, 264}, {2, 0, 528, 264}, {3, 0, 792, 264},
                      {4, 1, 0, 264}, {5, 1, 264, 1}, {6, 0, 0, 6}};
    QTest::newRow("one byte") << qint64(1) << QList<Row>{{0, 0, 0, 1}, {1, 0, 0, 6}};
    QTest::newRow("one block") << qint64(264) << QList<Row>{{0, 0, 0, 264}, {1, 0, 0, 6}};
    QTest::newRow("0 bytes: closing item only") << qint64(0) << QList<Row>{{0, 0, 0, 6}};
    QTest::newRow("negative: closing item only") << qint64(-5) << QList<Row>{{0, 0, 0, 6}};
}

void TestBlockPlan::planBlocks_quarterPagesThenClosingItem()
{
    QFETCH(qint64, used);
    QFETCH(QList<Row>, plan);
    const QList<BlockSpec> blocks = planBlocks(used);
    QCOMPARE(blocks.size(), plan.size());
    for (int i = 0; i < blocks.size(); ++i) {
        QCOMPARE(blocks.at(i).index, plan.at(i).at(0));
        QCOMPARE(blocks.at(i).page, plan.at(i).at(1));
        QCOMPARE(blocks.at(i).offset, plan.at(i).at(2));
        QCOMPARE(blocks.at(i).size, plan.at(i).at(3));
    }
}

void TestBlockPlan::planBlocks_largeMemory_neverStraddlesPages()
{
    const qint64 used = 9863168;
    const QList<BlockSpec> blocks = planBlocks(used);
    // 37360.48 blocks: 37361 data blocks and the closing item.
    QCOMPARE(blocks.size(), 37362);
    qint64 covered = 0;
    for (int i = 0; i + 1 < blocks.size(); ++i) {
        const BlockSpec &b = blocks.at(i);
        QCOMPARE(qint64(b.page) * 1056 + b.offset, qint64(i) * 264);
        QVERIFY(b.offset + b.size <= 1056);
        covered += b.size;
    }
    QCOMPARE(covered, used);
    QCOMPARE(blocks.last().size, 6);
    QCOMPARE(blocks.at(blocks.size() - 2).size, int(used - 37360LL * 264));
}

void TestBlockPlan::planWithCopy_verifiesThenFetchesFromStableEnd_data()
{
    QTest::addColumn<qint64>("used");
    QTest::addColumn<qint64>("stableEnd");
    QTest::addColumn<QList<int>>("blockNumbers");   // in request order
    QTest::addColumn<QString>("uses");              // per block: V verify, B verify and keep, F fetch
    QTest::addColumn<int>("firstFetched");
    // 2000 bytes: blocks 0 to 7, the last of 152 bytes.
    QTest::newRow("no copy") << qint64(1000) << qint64(0) << QList<int>{0, 1, 2, 3} << "FFFF" << 0;
    QTest::newRow("stable end inside block 3") << qint64(2000) << qint64(1000)
                                               << QList<int>{0, 3, 4, 5, 6, 7} << "VBFFFF" << 3;
    QTest::newRow("stable end on the boundary of block 3") << qint64(2000) << qint64(792)
                                                           << QList<int>{0, 2, 3, 4, 5, 6, 7} << "VVFFFFF" << 3;
    QTest::newRow("stable end inside block 0") << qint64(1000) << qint64(100)
                                               << QList<int>{0, 1, 2, 3} << "BFFF" << 0;
    QTest::newRow("stable end at the end of block 0") << qint64(1000) << qint64(264)
                                                      << QList<int>{0, 1, 2, 3} << "VFFF" << 1;
    QTest::newRow("nothing new: only the erased end mark") << qint64(1000) << qint64(992)
                                                           << QList<int>{0, 3} << "VB" << 3;
    QTest::newRow("stable end at the used memory's end") << qint64(792) << qint64(792)
                                                         << QList<int>{0, 2} << "VV" << 3;
    QTest::newRow("stable end past the used memory: erased") << qint64(500) << qint64(1000)
                                                             << QList<int>{0, 1} << "FF" << 0;
    QTest::newRow("last block of a full memory") << qint64(9863168) << qint64(9863100)
                                                 << QList<int>{0, 37360} << "VB" << 37360;
}

void TestBlockPlan::planWithCopy_verifiesThenFetchesFromStableEnd()
{
    QFETCH(qint64, used);
    QFETCH(qint64, stableEnd);
    QFETCH(QList<int>, blockNumbers);
    QFETCH(QString, uses);
    QFETCH(int, firstFetched);
    const CopyPlan plan = planWithCopy(used, stableEnd);
    const QList<BlockSpec> whole = planBlocks(used);
    QCOMPARE(plan.blocks.size(), blockNumbers.size() + 1);
    QString shown;
    for (int i = 0; i < blockNumbers.size(); ++i) {
        const BlockSpec &b = plan.blocks.at(i);
        QCOMPARE(b.index, i);
        QCOMPARE(blockNumberAt(b.page, b.offset), blockNumbers.at(i));
        QCOMPARE(b.size, whole.at(blockNumbers.at(i)).size);
        const BlockUse use = plan.uses.at(i);
        shown += use == BlockUse::Verify ? 'V' : use == BlockUse::VerifyAndFetch ? 'B' : 'F';
    }
    QCOMPARE(shown, uses);
    QCOMPARE(plan.blocks.last().index, int(blockNumbers.size()));
    QCOMPARE(plan.blocks.last().size, 6);
    QCOMPARE(plan.verifyCount, int(uses.count(QLatin1Char('V')) + uses.count(QLatin1Char('B'))));
    QCOMPARE(plan.firstFetched, firstFetched);
}

void TestBlockPlan::readBlockReply_classifiesAndCuts_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<BlockReply::Kind>("kind");
    QTest::addColumn<int>("blockNo");
    QTest::addColumn<QByteArray>("payload");
    const QByteArray end("\xFB\xFB\xFB");
    QTest::newRow("block 0x0102") << QByteArray("D\x01\x02" "abc") + end << BlockReply::Data << 0x0102
                                  << QByteArray("abc");
    QTest::newRow("block 0 full payload") << QByteArray("D\x00\x00", 3) + QByteArray(264, 'x') + end
                                          << BlockReply::Data << 0 << QByteArray(264, 'x');
    QTest::newRow("block 0xFFFF unsigned") << QByteArray("D\xFF\xFF" "z") + end << BlockReply::Data << 0xFFFF
                                           << QByteArray("z");
    QTest::newRow("payload may hold FB and STX") << QByteArray("D\x00\x05\xFB\x02\x00", 6) + end
                                                 << BlockReply::Data << 5 << QByteArray("\xFB\x02\x00", 3);
    QTest::newRow("end marker alone") << QByteArray("BITTI\x02") << BlockReply::EndMarker << -1 << QByteArray();
    QTest::newRow("end marker in the middle") << QByteArray("D\x00\x01xxBITTI\x02yy", 13) + end
                                              << BlockReply::EndMarker << -1 << QByteArray();
    QTest::newRow("BITTI without STX is no end marker") << QByteArray("BITTI") << BlockReply::NotData << -1
                                                        << QByteArray();
    QTest::newRow("not beginning with D") << QByteArray("E\x00\x01xyz", 6) + end << BlockReply::NotData << -1
                                          << QByteArray();
    QTest::newRow("empty") << QByteArray() << BlockReply::NotData << -1 << QByteArray();
    QTest::newRow("D alone") << QByteArray("D") << BlockReply::Data << -1 << QByteArray();
    QTest::newRow("D and one byte") << QByteArray("D\x01") << BlockReply::Data << -1 << QByteArray();
    QTest::newRow("D and number only") << QByteArray("D\x00\x07", 3) << BlockReply::Data << 7 << QByteArray();
    QTest::newRow("D, number, terminator, no payload") << QByteArray("D\x00\x07", 3) + end << BlockReply::Data << 7
                                                       << QByteArray();
    QTest::newRow("five bytes") << QByteArray("D\x00\x07\xFB\xFB", 5) << BlockReply::Data << 7 << QByteArray();
}

void TestBlockPlan::readBlockReply_classifiesAndCuts()
{
    QFETCH(QByteArray, message);
    QFETCH(BlockReply::Kind, kind);
    QFETCH(int, blockNo);
    QFETCH(QByteArray, payload);
    const BlockReply reply = readBlockReply(message);
    QCOMPARE(reply.kind, kind);
    if (kind == BlockReply::Data)
        QCOMPARE(reply.blockNo, blockNo);
    QCOMPARE(reply.payload, payload);
}

void TestBlockPlan::aktBlokItem_startsEmptyAndKeepsWhatIsSet()
{
    AKTBlokItem item;
    QCOMPARE(item.index(), 0);
    QCOMPARE(item.page(), 0);
    QCOMPARE(item.offset(), 0);
    QCOMPARE(item.size(), 0);
    QVERIFY(item.data().isEmpty());

    item.setIndex(3);
    item.setPage(9339);
    item.setOffset(792);
    item.setSize(208);
    item.setData("xy");
    QCOMPARE(item.index(), 3);
    QCOMPARE(item.page(), 9339);
    QCOMPARE(item.offset(), 792);
    QCOMPARE(item.size(), 208);
    QCOMPARE(item.data(), QByteArray("xy"));
}

QTEST_GUILESS_MAIN(TestBlockPlan)
#include "tst_blockplan.moc"
