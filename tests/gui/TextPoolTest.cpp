#include "gui/TextPool.h"

#include <string>

#include <QTest>

namespace qinglan::test {

using gui::TextPool;

class TextPoolTest : public QObject {
  Q_OBJECT

 private slots:
  void eachTextIsKeptOnceAndComesBackWhole() {
    TextPool pool;
    QCOMPARE(pool.intern(std::string_view()), TextPool::kEmpty);
    QCOMPARE(pool.intern(QString()), TextPool::kEmpty);
    const std::string longText(200000, 'x');
    const std::string raw("\xff\x00z", 3);
    const TextPool::Id location = pool.intern(std::string_view("/媒体/缓存/"));
    const TextPool::Id big = pool.intern(longText);
    const TextPool::Id bytes = pool.intern(raw);
    // Enough texts to fill several blocks and grow the table many times.
    for (int i = 0; i < 100000; ++i)
      QCOMPARE(pool.view(pool.intern("file" + std::to_string(i))), "file" + std::to_string(i));
    QCOMPARE(pool.intern(QStringLiteral("/媒体/缓存/")), location);
    QCOMPARE(pool.intern(longText), big);
    QCOMPARE(pool.intern(raw), bytes);
    QCOMPARE(pool.text(location), QStringLiteral("/媒体/缓存/"));
    QVERIFY(pool.view(big) == longText && pool.view(bytes) == raw);
    QCOMPARE(pool.size(), size_t{100004});

    pool.clear();
    QCOMPARE(pool.size(), size_t{1});
    QCOMPARE(pool.intern(std::string_view("a")), TextPool::Id{1});
  }
};

}  // namespace qinglan::test

QTEST_MAIN(qinglan::test::TextPoolTest)
#include "TextPoolTest.moc"
