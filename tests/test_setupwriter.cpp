#include <QTest>
class Testsetupwriter : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(Testsetupwriter)
#include "test_setupwriter.moc"
