#include <QTest>
class Testsetupreader : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(Testsetupreader)
#include "test_setupreader.moc"
