#include <QTest>
class Testfieldtable : public QObject { Q_OBJECT };
QTEST_GUILESS_MAIN(Testfieldtable)
#include "test_fieldtable.moc"
